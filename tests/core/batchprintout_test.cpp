// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "batchprintout.h"
#include "fakeplatform.h"
#include "wordbank.h"

#include <gtest/gtest.h>

TEST(PrintResults, PrintsAllHundredSlotsInOrderWithEmptySlotsAsEmptyLines)
{
    WordBank bank;
    bank.Record("first");
    bank.Record("");
    bank.Record("third");
    FakePlatform platform;
    platform.display = "shown";

    PrintResults(bank, platform);

    ASSERT_EQ(platform.printed.size(), 100U);
    EXPECT_EQ(platform.printed[0], "first");
    EXPECT_EQ(platform.printed[1], "");
    EXPECT_EQ(platform.printed[2], "third");
    for (std::size_t i = 3; i < 100; ++i)
        EXPECT_EQ(platform.printed[i], "") << "line " << i;
    EXPECT_EQ(platform.calls, std::vector<std::string>(100, "PrintLine")) << "the box is neither read nor written";
    EXPECT_EQ(bank.BatchCount(), 3);
}

TEST(PrintResults, EveryPressPrintsTheBatchAsItThenStands)
{
    WordBank bank;
    FakePlatform platform;
    PrintResults(bank, platform);
    for (int i = 0; i < BATCH_CAPACITY; ++i)
        bank.Record("s" + std::to_string(i));
    PrintResults(bank, platform);

    ASSERT_EQ(platform.printed.size(), 200U);
    for (std::size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(platform.printed[i], "");
        EXPECT_EQ(platform.printed[100 + i], "s" + std::to_string(i));
    }
}

TEST(PrintResults, APrinterFailureReachesTheCallerAndLeavesTheBankAsItWas)
{
    WordBank bank;
    bank.Record("kept");
    FakePlatform platform;
    platform.printerFails = true;

    EXPECT_THROW(PrintResults(bank, platform), PlatformError);
    EXPECT_EQ(platform.calls.size(), 1U) << "nothing more is tried after the failure";
    EXPECT_EQ(bank.BatchCount(), 1);
    EXPECT_EQ(bank.Batch()[0], "kept");
}
