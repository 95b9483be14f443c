// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "quitonsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach nothing but this: the end of the pipe it writes to.
volatile std::sig_atomic_t signalWriteFd = -1;

} // namespace

QuitOnSignals::QuitOnSignals(QObject *parent)
    : QObject(parent)
{
    Q_ASSERT(signalWriteFd == -1);
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, m_fds.data()) != 0)
        return;
    signalWriteFd = m_fds[0];
    m_notifier = new QSocketNotifier(m_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        std::array<char, 16> drained{};
        while (::read(m_fds[1], drained.data(), drained.size()) > 0)
            m_caught = true;
        // Ends every running event loop, a message box's included.
        QCoreApplication::exit(0);
        Q_EMIT caught();
    });

    struct sigaction action = {};
    action.sa_handler = &QuitOnSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i) {
        ::sigaction(handledSignals[i], nullptr, &m_previous[i]);
        // Started under nohup, or by a parent that ignores it: so be it.
        if (m_previous[i].sa_handler != SIG_IGN)
            ::sigaction(handledSignals[i], &action, nullptr);
    }
}

QuitOnSignals::~QuitOnSignals()
{
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &m_previous[i], nullptr);
    signalWriteFd = -1;
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
}

bool QuitOnSignals::signalled() const
{
    pollfd waiting{m_fds[1], POLLIN, 0};
    return m_caught || (m_fds[1] >= 0 && ::poll(&waiting, 1, 0) > 0);
}

void QuitOnSignals::handle(int signal)
{
    const int savedErrno = errno;
    const auto byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(signalWriteFd, &byte, 1);
    errno = savedErrno;
}
