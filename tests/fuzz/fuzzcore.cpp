// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Drives the core through any start-up answers, random draws, user edits of
// the text box and presses of Next Insult and Print Results, and checks after
// every step that the word bank holds what a user of the program has seen.
#include "batchprintout.h"
#include "fakeplatform.h"
#include "insultcomposer.h"
#include "wordbank.h"
#include "wordprompts.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

double drawValue(FuzzedDataProvider &input)
{
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0:
        return 0.0;
    case 1:
        return std::nextafter(1.0, 0.0);
    default:
        return input.ConsumeProbability<double>() * std::nextafter(1.0, 0.0);
    }
}

// Whether the sentence shown, less what the user typed after it, begins
// with one of the beginnings and ends as a sentence does. Which word each
// draw picks is the composer's unit test's to prove.
bool looksComposed(const WordBank &bank, const std::string &shown, const std::string &edit)
{
    if (!shown.ends_with(edit))
        return false;
    const std::string sentence = shown.substr(0, shown.size() - edit.size());
    return (sentence.ends_with('.') || sentence.ends_with('!')) &&
        std::any_of(bank.Beginnings.begin(), bank.Beginnings.end(),
                    [&sentence](const std::string &beginning) { return sentence.starts_with(beginning + ' '); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    FakePlatform platform;
    for (int i = 0; i < 45; ++i)
        platform.answers.emplace_back(input.ConsumeRandomLengthString(64));
    const std::vector<std::optional<std::string>> answers(platform.answers.begin(), platform.answers.end());

    WordBank bank;
    CollectWords(bank, platform);
    require(platform.prompts.size() == 45, "45 prompts");
    for (std::size_t i = 0; i < 5; ++i)
        require(bank.Beginnings[i] == *answers[i], "beginnings as typed");
    for (std::size_t i = 0; i < 20; ++i)
        require(bank.Verbs[i] == *answers[5 + i] && bank.Nouns[i] == *answers[25 + i], "verbs and nouns as typed");

    // Every sentence the box held when it was recorded. Checking the bank
    // against it after each step also shows that the full-batch path and
    // printing change nothing.
    std::vector<std::string> shown;
    InsultComposer composer(bank, platform);
    // Enough steps to fill the batch and press on past it; one in eight prints.
    for (int step = 0; step < 160 && input.remaining_bytes() > 0; ++step) {
        platform.calls.clear();
        platform.printed.clear();

        if (input.ConsumeIntegralInRange(0, 7) != 0) {
            std::array<double, 5> r{};
            std::generate(r.begin(), r.end(), [&input] { return drawValue(input); });
            platform.uniforms.assign(r.begin(), r.end());
            const bool edits = input.ConsumeBool();
            const std::string edit = edits ? input.ConsumeRandomLengthString(16) : std::string();
            platform.userEditsBox = [edits, edit](std::string &box) {
                if (edits)
                    box += edit;
            };
            const bool wasFull = bank.BatchCount() == BATCH_CAPACITY;

            composer.NextInsult();

            if (wasFull) {
                require(platform.display == "Can't do more than 100 at a time.", "the full-batch message");
                require(platform.calls.size() == 1, "a full batch draws nothing");
            } else {
                require(looksComposed(bank, platform.display, edit), "the sentence shown is made of the words");
                require(platform.calls.size() == 8 && platform.calls[0] == "Reseed" && platform.uniforms.empty(),
                        "one reseed first, then five draws");
                shown.push_back(platform.display);
            }
        } else {
            PrintResults(bank, platform);
            require(platform.printed.size() == static_cast<std::size_t>(BATCH_CAPACITY), "100 lines a press");
            for (std::size_t i = 0; i < platform.printed.size(); ++i)
                require(platform.printed[i] == bank.Batch()[i], "slots printed in order");
        }

        const std::int16_t count = bank.BatchCount();
        require(count >= 0 && count <= BATCH_CAPACITY, "0 <= BatchCount <= 100");
        require(static_cast<std::size_t>(count) == shown.size(), "one slot for every sentence shown");
        for (std::size_t i = 0; i < bank.Batch().size(); ++i)
            require(i < shown.size() ? bank.Batch()[i] == shown[i] : bank.Batch()[i].empty(),
                    "recorded slots hold what was shown, the others are empty");
    }
    return 0;
}
