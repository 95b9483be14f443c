// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

/// One thread of its own for every conversation with the print service, so
/// that nothing the service or a name look-up does can hold the window's
/// thread past a deadline. The thread starts on first use and works through
/// what it is given in order. Work that its caller stopped waiting for goes
/// on there unseen, and is told so; the thread never outlives the process's
/// end by being waited for.
class PrintServiceThread
{
public:
    using Clock = std::chrono::steady_clock;

    /// What the work is handed: true once nobody waits for it any more.
    using Abandoned = std::atomic<bool>;
    using Work = std::function<void(const Abandoned &abandoned)>;

    PrintServiceThread();
    ~PrintServiceThread();
    PrintServiceThread(const PrintServiceThread &) = delete;
    PrintServiceThread &operator=(const PrintServiceThread &) = delete;

    /// Runs work on the thread, after whatever it was given before, and
    /// waits until it is done, the deadline passes, or keepWaiting (asked
    /// about every tenth of a second on this thread) says no. Returns whether
    /// it was done. Whatever the work writes must outlive this call, as work
    /// given up on may still write.
    bool run(Work work, Clock::time_point deadline, const std::function<bool()> &keepWaiting);

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};
