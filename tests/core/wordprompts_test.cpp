// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "fakeplatform.h"
#include "wordbank.h"
#include "wordprompts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> expectedPrompts()
{
    std::vector<std::string> prompts;
    const auto group = [&prompts](std::string_view first, int count) {
        prompts.emplace_back(first);
        prompts.insert(prompts.end(), static_cast<std::size_t>(count - 1), std::string("Another Please."));
    };
    group("Give me a beginning to a sentence, such as 'you always', 'everyone knows that you', 'I want you to,' etc.",
          5);
    group("Give me a verb, such as 'run', 'play', etc.", 20);
    group("Give me a noun, such as 'ball', 'dog', etc.", 20);
    return prompts;
}

} // namespace

TEST(CollectWords, AsksFortyFivePromptsInOrderAndStoresEachAnswer)
{
    FakePlatform platform;
    for (int i = 0; i < 45; ++i)
        platform.answers.emplace_back("answer " + std::to_string(i));

    WordBank bank;
    CollectWords(bank, platform);

    EXPECT_EQ(platform.prompts, expectedPrompts());
    for (std::size_t i = 0; i < 5; ++i)
        EXPECT_EQ(bank.Beginnings[i], "answer " + std::to_string(i));
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_EQ(bank.Verbs[i], "answer " + std::to_string(5 + i));
        EXPECT_EQ(bank.Nouns[i], "answer " + std::to_string(25 + i));
    }
    EXPECT_EQ(platform.calls, std::vector<std::string>(45, "AskText")) << "the prompts use nothing else";
}

TEST(CollectWords, CancelledPromptsStoreEmptyWordsAndTheBatchStartsEmpty)
{
    FakePlatform platform;
    platform.answers.assign(45, std::nullopt);
    WordBank bank;
    bank.Record("left over");

    CollectWords(bank, platform);

    EXPECT_EQ(platform.prompts.size(), 45U);
    EXPECT_EQ(bank.BatchCount(), 0);
    EXPECT_EQ(bank.Batch()[0], "");
    for (const auto &list : {bank.Verbs, bank.Nouns})
        for (const std::string &word : list)
            EXPECT_EQ(word, "");
}

TEST(CollectWords, AnswersAreStoredExactlyAsTyped)
{
    const std::vector<std::string> odd = {
        "everyone knows that you",
        "  padded  ",
        std::string(100'000, 'x'),
        "\xF0\x9F\x98\x80 e\xCC\x81 \xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",
        "",
    };
    FakePlatform platform;
    for (const std::string &answer : odd)
        platform.answers.emplace_back(answer);

    WordBank bank;
    CollectWords(bank, platform);

    for (std::size_t i = 0; i < odd.size(); ++i)
        EXPECT_EQ(bank.Beginnings[i], odd[i]) << "beginning " << i;
}
