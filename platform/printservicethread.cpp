// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printservicethread.h"

#include "printbudget.h"

#include <condition_variable>
#include <deque>
#include <mutex>

struct PrintServiceThread::Queue
{
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Work> work;
    bool ending = false;
    bool served = false; // the thread has left its loop

    static void serve(const std::shared_ptr<Queue> &queue)
    {
        std::unique_lock lock(queue->mutex);
        for (;;) {
            queue->changed.wait(lock, [&] { return queue->ending || !queue->work.empty(); });
            if (queue->work.empty())
                break;
            Work next = std::move(queue->work.front());
            queue->work.pop_front();
            lock.unlock();
            next();
            next = nullptr;
            lock.lock();
        }
        queue->served = true;
        queue->changed.notify_all();
    }
};

PrintServiceThread::PrintServiceThread()
    : m_queue(std::make_shared<Queue>())
{}

// A thread that has done its work is joined, so that what it keeps for
// itself (thread-local data of the libraries it used) is let go before the
// process's own teardown. One with work still under way is left behind.
PrintServiceThread::~PrintServiceThread()
{
    std::unique_lock lock(m_queue->mutex);
    m_queue->ending = true;
    m_queue->changed.notify_all();
    if (!m_thread.joinable())
        return;
    const bool done = m_queue->changed.wait_for(lock, PrintBudget::askEvery, [this] { return m_queue->served; });
    lock.unlock();
    if (done)
        m_thread.join();
    else
        m_thread.detach();
}

void PrintServiceThread::post(Work work)
{
    const std::scoped_lock lock(m_queue->mutex);
    if (!m_thread.joinable())
        m_thread = std::thread([queue = m_queue] { Queue::serve(queue); });
    m_queue->work.push_back(std::move(work));
    m_queue->changed.notify_all();
}
