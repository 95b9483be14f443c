// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wordprompts.h"

#include "platformservices.h"
#include "wordbank.h"

#include <span>
#include <string>

namespace {

void askInto(std::span<std::string> slots, std::string_view firstPrompt, PlatformServices &platform)
{
    std::string_view prompt = firstPrompt;
    for (std::string &slot : slots) {
        slot = platform.AskText(std::string(prompt));
        prompt = FOLLOW_UP_PROMPT;
    }
}

} // namespace

void CollectWords(WordBank &bank, PlatformServices &platform)
{
    bank.ClearBatch();
    askInto(bank.Beginnings, FIRST_BEGINNING_PROMPT, platform);
    askInto(bank.Verbs, FIRST_VERB_PROMPT, platform);
    askInto(bank.Nouns, FIRST_NOUN_PROMPT, platform);
}
