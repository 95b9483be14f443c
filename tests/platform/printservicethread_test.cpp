// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The thread of every conversation with the print service: work runs in the
// order given; at the end a thread whose work is done is let go of whole,
// its own data included, before its owner's end returns, while work that
// never ends does not hold that end up.
#include "printservicethread.h"

#include <atomic>
#include <chrono>
#include <future>
#include <vector>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

std::atomic<bool> threadDataGone{false};

struct ThreadData
{
    ThreadData(const ThreadData &) = delete;
    ThreadData &operator=(const ThreadData &) = delete;
    ThreadData() = default;
    ~ThreadData() { threadDataGone = true; }
};

} // namespace

TEST(PrintServiceThread, RunsWorkInOrderAndIsGoneWithItsDataWhenItsOwnerEnds)
{
    std::vector<int> order; // touched on the thread only
    std::promise<std::vector<int>> seen;
    {
        PrintServiceThread thread;
        for (int i = 0; i < 3; ++i) {
            thread.post([&order, i] {
                thread_local const ThreadData data; // as Qt keeps fonts for a thread that lays out text
                order.push_back(i);
            });
        }
        thread.post([&] { seen.set_value(order); });
        EXPECT_EQ(seen.get_future().get(), (std::vector<int>{0, 1, 2}));
    }
    EXPECT_TRUE(threadDataGone);
}

TEST(PrintServiceThread, WorkThatNeverEndsDoesNotHoldUpTheEnd)
{
    std::promise<void> answer;
    const auto started = std::chrono::steady_clock::now();
    {
        PrintServiceThread thread;
        thread.post([asked = answer.get_future().share()] { asked.wait(); });
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    answer.set_value(); // as a name look-up answers at last; the thread left behind then ends
}
