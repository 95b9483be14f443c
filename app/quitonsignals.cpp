// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "quitonsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <array>
#include <csignal>
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
        std::array<unsigned char, 16> drained{};
        for (ssize_t count; (count = ::read(m_fds[1], drained.data(), drained.size())) > 0;) {
            m_caught = drained[static_cast<std::size_t>(count - 1)];
            m_count += static_cast<int>(count);
        }
        // Ends every running event loop, a message box's included.
        QCoreApplication::exit(0);
    });

    struct sigaction action = {};
    action.sa_handler = &QuitOnSignals::handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : handledSignals)
        ::sigaction(signal, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals()
{
    for (int signal : handledSignals)
        std::signal(signal, SIG_DFL);
    signalWriteFd = -1;
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
}

bool QuitOnSignals::sessionEnding() const
{
    return m_caught == SIGTERM || m_caught == SIGHUP;
}

void QuitOnSignals::handle(int signal)
{
    const auto byte = static_cast<char>(signal);
    [[maybe_unused]] const auto written = ::write(signalWriteFd, &byte, 1);
}
