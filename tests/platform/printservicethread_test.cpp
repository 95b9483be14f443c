// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printservicethread.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using namespace std::chrono_literals;
using Clock = PrintServiceThread::Clock;

// Work that never ends by itself (a name look-up that nobody answers) holds
// no caller past its deadline, nor past a keepWaiting that says stop; it
// learns that nobody waits any more, and what comes after it still runs.
TEST(PrintServiceThread, NoWaitOutlastsItsDeadlineOrItsCaller)
{
    PrintServiceThread thread;
    auto release = std::make_shared<std::atomic<bool>>(false);
    auto sawAbandoned = std::make_shared<std::atomic<bool>>(false);
    const auto stuck = [release, sawAbandoned](const PrintServiceThread::Abandoned &abandoned) {
        while (!*release)
            std::this_thread::sleep_for(1ms);
        *sawAbandoned = abandoned.load();
    };

    auto start = Clock::now();
    EXPECT_FALSE(thread.run(stuck, start + 300ms, {}));
    EXPECT_GE(Clock::now() - start, 300ms);
    EXPECT_LT(Clock::now() - start, 2s);

    int asked = 0;
    auto ranLate = std::make_shared<std::atomic<bool>>(false);
    start = Clock::now();
    EXPECT_FALSE(
        thread.run([ranLate](const auto &) { *ranLate = true; }, start + 30s, [&asked] { return ++asked < 3; }));
    EXPECT_EQ(asked, 3);
    EXPECT_LT(Clock::now() - start, 2s);

    *release = true;
    auto ran = std::make_shared<std::atomic<bool>>(false);
    EXPECT_TRUE(thread.run([ran](const auto &abandoned) { *ran = !abandoned; }, Clock::now() + 30s, {}));
    EXPECT_TRUE(*ran);
    EXPECT_TRUE(*sawAbandoned);
    EXPECT_FALSE(*ranLate) << "work given up on before it began is skipped";
}
