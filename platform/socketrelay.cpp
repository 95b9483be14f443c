// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "socketrelay.h"

#include "printbudget.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using std::chrono::milliseconds;

unsigned long inodeOf(int fd)
{
    struct stat status = {};
    return ::fstat(fd, &status) == 0 ? status.st_ino : 0;
}

void closeAll(std::initializer_list<int *> fds)
{
    for (int *fd : fds) {
        if (*fd >= 0)
            ::close(*fd);
        *fd = -1;
    }
}

// Bytes on their way from one socket to the other.
struct Flow
{
    int from;
    int to;
    std::vector<char> buffer = std::vector<char>(std::size_t(64) * 1024);
    std::size_t begin = 0;
    std::size_t end = 0;
    bool over = false; // the sender is done, or the receiver gone

    [[nodiscard]] bool empty() const { return begin == end; }
    [[nodiscard]] short wantsFrom() const { return empty() && !over ? POLLIN : 0; }
    [[nodiscard]] short wantsTo() const { return empty() ? 0 : POLLOUT; }

    // Moves what it can; returns how many bytes came in.
    std::size_t move(short fromEvents, short toEvents)
    {
        std::size_t came = 0;
        if (empty() && !over && (fromEvents & (POLLIN | POLLHUP | POLLERR))) {
            const ssize_t n = ::recv(from, buffer.data(), buffer.size(), 0);
            if (n > 0) {
                begin = 0;
                end = came = static_cast<std::size_t>(n);
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                over = true;
                ::shutdown(to, SHUT_WR);
            }
        }
        if (!empty() && (toEvents & (POLLOUT | POLLHUP | POLLERR))) {
            const ssize_t n = ::send(to, buffer.data() + begin, end - begin, MSG_NOSIGNAL);
            if (n > 0) {
                begin += static_cast<std::size_t>(n);
            } else if (errno != EAGAIN && errno != EINTR) {
                begin = end;
                over = true;
                ::shutdown(from, SHUT_RD);
            }
        }
        return came;
    }
};

} // namespace

SocketRelay::SocketRelay(int fd, Clock::time_point deadline, const std::atomic<bool> &stopped, std::size_t mostReceived)
    : m_deadline(deadline)
    , m_stopped(stopped)
    , m_mostReceived(mostReceived)
{
    int type = 0;
    socklen_t length = sizeof type;
    if (fd < 0 || ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &length) != 0 || type != SOCK_STREAM)
        return;
    std::array<int, 2> pair{-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()) != 0)
        return;
    m_peer = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    const int flags = ::fcntl(fd, F_GETFL);
    // The library's descriptor now names its end of the pair, blocking or not as before.
    if (m_peer < 0 || flags < 0 || ::pipe2(m_wake.data(), O_CLOEXEC | O_NONBLOCK) != 0 ||
        ::fcntl(pair[0], F_SETFL, flags & O_NONBLOCK) != 0 || ::dup3(pair[0], fd, O_CLOEXEC) < 0) {
        closeAll({pair.data(), &pair[1], &m_peer, m_wake.data(), &m_wake[1]});
        return;
    }
    ::close(pair[0]);
    m_near = pair[1];
    m_nearInode = inodeOf(fd);
    for (int side : {m_near, m_peer})
        ::fcntl(side, F_SETFL, ::fcntl(side, F_GETFL) | O_NONBLOCK);
    m_thread = std::thread([this] { relay(); });
}

SocketRelay::~SocketRelay()
{
    if (m_thread.joinable()) {
        const char wake = 0;
        [[maybe_unused]] const ssize_t written = ::write(m_wake[1], &wake, 1);
        m_thread.join();
    }
    closeAll({&m_near, &m_peer, m_wake.data(), &m_wake[1]});
}

bool SocketRelay::relays(int fd) const
{
    return m_near >= 0 && fd >= 0 && inodeOf(fd) == m_nearInode;
}

void SocketRelay::end(Cut why)
{
    m_cut = why;
    ::shutdown(m_near, SHUT_RDWR);
    ::shutdown(m_peer, SHUT_RDWR);
}

// Both ways at once, so that neither side waits on the other, until both
// have said all, or the clock, the caller or the amount says stop.
void SocketRelay::relay()
{
    Flow up{m_near, m_peer};
    Flow down{m_peer, m_near};
    while (!(up.over && up.empty() && down.over && down.empty())) {
        if (m_stopped)
            return end(Cut::Stopped);
        const auto left = std::chrono::ceil<milliseconds>(m_deadline - Clock::now());
        if (left <= milliseconds(0))
            return end(Cut::Deadline);
        // A socket that nothing is wanted of is left out: poll() would report
        // its hang-up at once, again and again, until the deadline.
        const auto watch = [](int fd, short events) { return pollfd{events != 0 ? fd : -1, events, 0}; };
        std::array<pollfd, 3> watched{{watch(m_near, short(up.wantsFrom() | down.wantsTo())),
                                       watch(m_peer, short(down.wantsFrom() | up.wantsTo())),
                                       {m_wake[0], POLLIN, 0}}};
        const auto wait = std::min(left, PrintBudget::askEvery);
        if (::poll(watched.data(), watched.size(), static_cast<int>(wait.count())) < 0 && errno != EINTR)
            return end(Cut::Stopped);
        if (watched[2].revents)
            return;
        up.move(watched[0].revents, watched[1].revents);
        m_received += down.move(watched[1].revents, watched[0].revents);
        if (m_received > m_mostReceived)
            return end(Cut::TooMuch);
    }
}
