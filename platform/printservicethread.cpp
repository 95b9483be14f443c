// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printservicethread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr auto askEvery = 100ms;

} // namespace

struct PrintServiceThread::Shared
{
    struct Task
    {
        Work work;
        Abandoned abandoned{false};
        bool done = false;
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::shared_ptr<Task>> queue;
    bool started = false;
    bool ending = false;

    static void serve(const std::shared_ptr<Shared> &shared)
    {
        std::unique_lock lock(shared->mutex);
        for (;;) {
            shared->changed.wait(lock, [&] { return shared->ending || !shared->queue.empty(); });
            if (shared->queue.empty())
                return;
            const std::shared_ptr<Task> task = shared->queue.front();
            shared->queue.pop_front();
            lock.unlock();
            if (!task->abandoned)
                task->work(task->abandoned);
            task->work = nullptr;
            lock.lock();
            task->done = true;
            shared->changed.notify_all();
        }
    }
};

PrintServiceThread::PrintServiceThread()
    : m_shared(std::make_shared<Shared>())
{}

PrintServiceThread::~PrintServiceThread()
{
    const std::scoped_lock lock(m_shared->mutex);
    m_shared->ending = true;
    for (const auto &task : m_shared->queue)
        task->abandoned = true;
    m_shared->changed.notify_all();
}

bool PrintServiceThread::run(Work work, Clock::time_point deadline, const std::function<bool()> &keepWaiting)
{
    auto task = std::make_shared<Shared::Task>();
    task->work = std::move(work);
    std::unique_lock lock(m_shared->mutex);
    if (!m_shared->started) {
        // Detached: a thread stuck in a name look-up must not hold up the end of the process.
        std::thread([shared = m_shared] { Shared::serve(shared); }).detach();
        m_shared->started = true;
    }
    m_shared->queue.push_back(task);
    m_shared->changed.notify_all();
    for (;;) {
        const auto until = std::min(deadline, Clock::now() + askEvery);
        if (m_shared->changed.wait_until(lock, until, [&] { return task->done; }))
            return true;
        if (Clock::now() >= deadline)
            break;
        lock.unlock();
        const bool goOn = !keepWaiting || keepWaiting();
        lock.lock();
        if (task->done)
            return true;
        if (!goOn)
            break;
    }
    task->abandoned = true;
    return false;
}
