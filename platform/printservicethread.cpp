// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printservicethread.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct PrintServiceThread::Queue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Work> work;
    bool started = false;
    bool ending = false;

    static void serve(const std::shared_ptr<Queue> &queue)
    {
        std::unique_lock lock(queue->mutex);
        for (;;) {
            queue->changed.wait(lock, [&] { return queue->ending || !queue->work.empty(); });
            if (queue->work.empty())
                return;
            const Work next = std::move(queue->work.front());
            queue->work.pop_front();
            lock.unlock();
            next();
            lock.lock();
        }
    }
};

PrintServiceThread::PrintServiceThread()
    : m_queue(std::make_shared<Queue>())
{}

PrintServiceThread::~PrintServiceThread()
{
    const std::scoped_lock lock(m_queue->mutex);
    m_queue->ending = true;
    m_queue->changed.notify_all();
}

void PrintServiceThread::post(Work work)
{
    const std::scoped_lock lock(m_queue->mutex);
    if (!m_queue->started) {
        // Detached: a thread stuck in a name look-up must not hold up the end of the process.
        std::thread([queue = m_queue] { Queue::serve(queue); }).detach();
        m_queue->started = true;
    }
    m_queue->work.push_back(std::move(work));
    m_queue->changed.notify_all();
}
