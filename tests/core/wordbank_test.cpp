// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wordbank.h"

#include <gtest/gtest.h>

#include <string>

TEST(WordBank, StartsEmptyWithTheFixedWords)
{
    const WordBank bank;
    EXPECT_EQ(bank.BatchCount(), 0);
    for (const std::string &slot : bank.Batch())
        EXPECT_TRUE(slot.empty());
    for (const auto &list : {bank.Verbs, bank.Nouns})
        for (const std::string &word : list)
            EXPECT_TRUE(word.empty());
    EXPECT_EQ(WordBank::Determiners, (std::array<std::string_view, 5>{"a", "your", "the", "your mom's", "your dad's"}));
    EXPECT_EQ(WordBank::Endings, (std::array<std::string_view, 2>{".", "!"}));
}

TEST(WordBank, RecordsInOrderUntilFullThenRefuses)
{
    WordBank bank;
    for (int i = 0; i < BATCH_CAPACITY; ++i) {
        EXPECT_FALSE(bank.IsBatchFull());
        EXPECT_TRUE(bank.Record("sentence " + std::to_string(i)));
    }
    EXPECT_EQ(bank.BatchCount(), BATCH_CAPACITY);
    EXPECT_TRUE(bank.IsBatchFull());

    EXPECT_FALSE(bank.Record("one too many"));
    EXPECT_EQ(bank.BatchCount(), BATCH_CAPACITY);
    for (int i = 0; i < BATCH_CAPACITY; ++i)
        EXPECT_EQ(bank.Batch()[static_cast<std::size_t>(i)], "sentence " + std::to_string(i));
}

TEST(WordBank, EmptySentencesCountAndClearingEmptiesEverySlot)
{
    WordBank bank;
    bank.Record("");
    bank.Record("kept");
    EXPECT_EQ(bank.BatchCount(), 2);
    EXPECT_EQ(bank.Batch()[0], "");
    EXPECT_EQ(bank.Batch()[1], "kept");

    bank.ClearBatch();
    EXPECT_EQ(bank.BatchCount(), 0);
    EXPECT_EQ(bank.Batch()[1], "");
}
