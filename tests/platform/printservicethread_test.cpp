// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The thread of every conversation with the print service: work runs in the
// order given, and at the end a thread whose work is done is let go of
// whole, its own data included, before its owner's end returns. Work that
// never ends holding up no end is the name look-up scenario's to show.
#include "printservicethread.h"

#include <atomic>
#include <future>
#include <vector>

#include <gtest/gtest.h>

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
                thread_local const ThreadData data; // as libraries keep data for each thread that uses them
                order.push_back(i);
            });
        }
        thread.post([&] { seen.set_value(order); });
        EXPECT_EQ(seen.get_future().get(), (std::vector<int>{0, 1, 2}));
    }
    EXPECT_TRUE(threadDataGone);
}
