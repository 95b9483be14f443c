// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "quitonsignals.h"

#include <QSignalSpy>

#include <cerrno>
#include <csignal>
#include <pthread.h>

#include <gtest/gtest.h>

namespace {

void (*handlerOf(int signal))(int)
{
    struct sigaction now = {};
    ::sigaction(signal, nullptr, &now);
    return now.sa_handler;
}

} // namespace

// As under nohup: an ignored SIGHUP stays ignored, SIGINT is heard at once,
// and what was there before comes back.
TEST(QuitOnSignals, HearsSignalsButKeepsIgnoredOnesAndGivesBackWhatWasThere)
{
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGINT, SIG_DFL);
    {
        QuitOnSignals guard;
        QSignalSpy caught(&guard, &QuitOnSignals::caught);
        ::pthread_kill(::pthread_self(), SIGHUP);
        EXPECT_FALSE(guard.signalled());

        errno = EINTR;
        ::pthread_kill(::pthread_self(), SIGINT);
        EXPECT_EQ(errno, EINTR) << "the handler leaves errno as it found it";
        EXPECT_TRUE(guard.signalled()) << "even before an event loop runs";
        EXPECT_TRUE(caught.wait(5000));
        EXPECT_TRUE(guard.signalled());
    }
    EXPECT_EQ(handlerOf(SIGHUP), SIG_IGN);
    EXPECT_EQ(handlerOf(SIGINT), SIG_DFL);
    std::signal(SIGHUP, SIG_DFL);
}
