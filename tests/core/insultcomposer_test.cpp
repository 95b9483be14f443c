// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fakeplatform.h"
#include "insultcomposer.h"
#include "wordbank.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <regex>
#include <set>
#include <string>

namespace {

const double justBelowOne = std::nextafter(1.0, 0.0);

WordBank namedBank()
{
    WordBank bank;
    for (std::size_t i = 0; i < bank.Beginnings.size(); ++i)
        bank.Beginnings[i] = "b" + std::to_string(i);
    for (std::size_t i = 0; i < bank.Verbs.size(); ++i) {
        bank.Verbs[i] = "v" + std::to_string(i);
        bank.Nouns[i] = "n" + std::to_string(i);
    }
    return bank;
}

// The uniform value that lands in the middle of a slot.
double middleOf(int slot, int slotCount)
{
    return (slot + 0.5) / slotCount;
}

} // namespace

struct SlotCase
{
    double r;
    int slotCount;
    int expected;
};

class SlotIndexTest : public ::testing::TestWithParam<SlotCase>
{};

TEST_P(SlotIndexTest, MapsUniformValuesOntoSlots)
{
    const SlotCase c = GetParam();
    EXPECT_EQ(SlotIndex(c.r, c.slotCount), c.expected) << "r=" << c.r << " n=" << c.slotCount;
}

INSTANTIATE_TEST_SUITE_P(EveryListSize, SlotIndexTest,
                         ::testing::Values(SlotCase{0.0, 5, 0}, SlotCase{justBelowOne, 5, 4}, SlotCase{0.0, 20, 0},
                                           SlotCase{justBelowOne, 20, 19}, SlotCase{0.0, 2, 0},
                                           SlotCase{justBelowOne, 2, 1}, SlotCase{0.5, 2, 1}, SlotCase{0.2, 5, 1},
                                           SlotCase{0.19999999999999998, 5, 0}, SlotCase{0.05, 20, 1},
                                           // A faulty random source must not index outside the list.
                                           SlotCase{1.0, 20, 19}, SlotCase{-0.25, 5, 0},
                                           SlotCase{std::numeric_limits<double>::quiet_NaN(), 5, 0},
                                           SlotCase{std::numeric_limits<double>::infinity(), 2, 1}));

TEST(NextInsult, DrawsNounBeforeDeterminerAndComposesInSentenceOrder)
{
    WordBank bank = namedBank();
    FakePlatform platform;
    platform.uniforms = {middleOf(2, 5), middleOf(7, 20), middleOf(13, 20), middleOf(3, 5), middleOf(1, 2)};
    InsultComposer composer(bank, platform);

    composer.NextInsult();

    EXPECT_EQ(platform.display, "b2 v7 your mom's n13!");
    EXPECT_EQ(platform.calls,
              (std::vector<std::string>{"Reseed", "NextUniform", "NextUniform", "NextUniform", "NextUniform",
                                        "NextUniform", "SetDisplayText", "GetDisplayText"}));
    ASSERT_EQ(bank.BatchCount(), 1);
    EXPECT_EQ(bank.Batch()[0], "b2 v7 your mom's n13!");
}

TEST(NextInsult, ExtremeDrawsPickTheFirstAndLastSlotOfEveryList)
{
    WordBank bank = namedBank();
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    platform.uniformWhenEmpty = 0.0;
    composer.NextInsult();
    EXPECT_EQ(platform.display, "b0 v0 a n0.");

    platform.uniformWhenEmpty = justBelowOne;
    composer.NextInsult();
    EXPECT_EQ(platform.display, "b4 v19 your dad's n19!");
}

TEST(NextInsult, EmptyWordsKeepTheirBlanks)
{
    WordBank bank;
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    composer.NextInsult();
    EXPECT_EQ(bank.Batch()[0], "  a .");
}

TEST(NextInsult, WordsAreJoinedUnchanged)
{
    WordBank bank;
    bank.Beginnings.fill(" everyone knows that you ");
    bank.Verbs.fill("R\xC3\xBC\x6E");
    bank.Nouns.fill("\xF0\x9F\x90\x95  ");
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    composer.NextInsult();
    EXPECT_EQ(bank.Batch()[0], " everyone knows that you  R\xC3\xBC\x6E a \xF0\x9F\x90\x95  .");
}

TEST(NextInsult, RecordsWhatTheBoxReadsBackNotWhatWasComposed)
{
    WordBank bank = namedBank();
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    platform.display = "typed by the user before the press";
    platform.userEditsBox = [](std::string &box) { box += " (as the box holds it)"; };

    composer.NextInsult();

    EXPECT_EQ(bank.Batch()[0], "b0 v0 a n0. (as the box holds it)");
}

TEST(NextInsult, TextTypedBeforeAPressNeverReachesTheBatch)
{
    WordBank bank = namedBank();
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    platform.display = "typed by the user";
    composer.NextInsult();
    EXPECT_EQ(platform.display, "b0 v0 a n0.");
    EXPECT_EQ(bank.Batch()[0], "b0 v0 a n0.");
}

TEST(NextInsult, HundredthPressFillsTheLastSlotAndLaterPressesOnlyShowTheMessage)
{
    WordBank bank = namedBank();
    FakePlatform platform;
    InsultComposer composer(bank, platform);
    for (int press = 0; press < BATCH_CAPACITY; ++press) {
        platform.uniforms.assign(5, middleOf(press % 5, 5));
        composer.NextInsult();
    }
    ASSERT_EQ(bank.BatchCount(), 100);
    EXPECT_EQ(bank.Batch()[99], "b4 v18 your dad's n18!");
    const auto fullBatch = bank.Batch();

    for (int press = 0; press < 3; ++press) {
        platform.calls.clear();
        platform.display = "typed over the message";
        composer.NextInsult();
        EXPECT_EQ(platform.display, "Can't do more than 100 at a time.");
        EXPECT_EQ(platform.calls, std::vector<std::string>{"SetDisplayText"}) << "no reseed, no draw, no read-back";
        EXPECT_EQ(bank.BatchCount(), 100);
        EXPECT_EQ(bank.Batch(), fullBatch);
    }
}

TEST(NextInsult, ManyPressesReachEveryWordOfEveryList)
{
    const std::regex shape(R"(^(b\d+) (v\d+) (a|your|the|your mom's|your dad's) (n\d+)([.!])$)");
    std::array<std::set<std::string>, 5> seen; // beginnings, verbs, determiners, nouns, endings

    std::mt19937_64 engine(12345);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (int round = 0; round < 20; ++round) {
        WordBank bank = namedBank();
        FakePlatform platform;
        InsultComposer composer(bank, platform);
        for (int i = 0; i < BATCH_CAPACITY * 5; ++i)
            platform.uniforms.push_back(uniform(engine));
        for (int press = 0; press < BATCH_CAPACITY; ++press)
            composer.NextInsult();
        for (const std::string &sentence : bank.Batch()) {
            std::smatch m;
            ASSERT_TRUE(std::regex_match(sentence, m, shape)) << sentence;
            for (std::size_t part = 0; part < seen.size(); ++part)
                seen[part].insert(m[part + 1]);
        }
    }
    const std::array<std::size_t, 5> listSizes{5, 20, 5, 20, 2};
    for (std::size_t part = 0; part < seen.size(); ++part)
        EXPECT_EQ(seen[part].size(), listSizes[part]) << "list " << part;
}
