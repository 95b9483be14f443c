// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <memory>
#include <thread>

/// The one thread on which every conversation with the print service runs,
/// in the order given, so that nothing the service or a name look-up does
/// can hold the window's thread. It starts on first use. At the end, work
/// under way is waited for a tenth of a second; whatever is unfinished then
/// (a name look-up that never returns, a conversation given up on that has
/// not yet noticed) is left behind with the thread, as the process ends.
class PrintServiceThread
{
public:
    using Work = std::function<void()>;

    PrintServiceThread();
    ~PrintServiceThread();
    PrintServiceThread(const PrintServiceThread &) = delete;
    PrintServiceThread &operator=(const PrintServiceThread &) = delete;

    /// Runs work on the thread, after whatever it was given before.
    void post(Work work);

private:
    struct Queue;
    std::shared_ptr<Queue> m_queue;
    std::thread m_thread;
};
