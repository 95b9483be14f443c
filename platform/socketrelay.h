// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>

/// Stands between a library's connected socket and its peer, so that the
/// conversation keeps its bounds however the peer sends: every byte passes
/// through a thread of its own, which cuts the connection at a deadline, as
/// soon as its caller stops waiting, or once the peer has sent more than a
/// sane amount. The library goes on with the same descriptor, which is still
/// its own to close.
class SocketRelay
{
public:
    using Clock = std::chrono::steady_clock;

    enum class Cut { None, Deadline, Stopped, TooMuch };

    /// Relays fd, a connected socket; where it cannot (fd is no socket, or the
    /// system has no descriptor to spare), the library talks to the peer
    /// directly and only the deadline's callbacks bound it.
    SocketRelay(int fd, Clock::time_point deadline, const std::atomic<bool> &stopped, std::size_t mostReceived);
    ~SocketRelay();
    SocketRelay(const SocketRelay &) = delete;
    SocketRelay &operator=(const SocketRelay &) = delete;

    /// Whether fd is still the end that this relays; a library that
    /// connected anew has another socket there.
    [[nodiscard]] bool relays(int fd) const;

    /// Why the connection was cut, if it was.
    [[nodiscard]] Cut cut() const { return m_cut; }

    /// How many bytes the peer has sent.
    [[nodiscard]] std::size_t received() const { return m_received; }

private:
    void relay();
    void end(Cut why);

    Clock::time_point m_deadline;
    const std::atomic<bool> &m_stopped;
    std::size_t m_mostReceived;
    int m_near = -1; // the relay's end of the pair whose other end the library now has
    int m_peer = -1; // the socket to the peer
    std::array<int, 2> m_wake{-1, -1}; // written to when the relay is to end
    unsigned long m_nearInode = 0; // of the library's end
    std::atomic<Cut> m_cut{Cut::None};
    std::atomic<std::size_t> m_received{0};
    std::thread m_thread;
};
