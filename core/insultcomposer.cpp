// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "insultcomposer.h"

#include "platformservices.h"
#include "wordbank.h"

#include <cstddef>

int SlotIndex(double r, int slotCount)
{
    // For the non-negative values left after the first check, truncation is floor.
    const double scaled = r * slotCount;
    if (!(scaled >= 0.0)) // also catches NaN
        return 0;
    if (scaled >= slotCount)
        return slotCount - 1;
    return static_cast<int>(scaled);
}

void ComposeInsult(const WordBank &bank, const InsultDraw &draw, std::string &sentence)
{
    const auto word = [](const auto &list, int slot) -> std::string_view {
        return list[static_cast<std::size_t>(slot)];
    };
    const std::string_view beginning = word(bank.Beginnings, draw.beginning);
    const std::string_view verb = word(bank.Verbs, draw.verb);
    const std::string_view determiner = word(WordBank::Determiners, draw.determiner);
    const std::string_view noun = word(bank.Nouns, draw.noun);
    const std::string_view ending = word(WordBank::Endings, draw.ending);

    sentence.clear();
    sentence.reserve(beginning.size() + verb.size() + determiner.size() + noun.size() + ending.size() + 3);
    sentence += beginning;
    sentence += ' ';
    sentence += verb;
    sentence += ' ';
    sentence += determiner;
    sentence += ' ';
    sentence += noun;
    sentence += ending;
}

InsultComposer::InsultComposer(WordBank &bank, PlatformServices &platform)
    : m_bank(bank)
    , m_platform(platform)
{}

void InsultComposer::NextInsult()
{
    if (m_bank.IsBatchFull()) {
        m_platform.SetDisplayText(std::string(FULL_BATCH_MESSAGE));
        return;
    }

    m_platform.Reseed();
    const auto draw = [this](auto size) { return SlotIndex(m_platform.NextUniform(), static_cast<int>(size)); };
    InsultDraw picked;
    picked.beginning = draw(m_bank.Beginnings.size());
    picked.verb = draw(m_bank.Verbs.size());
    picked.noun = draw(m_bank.Nouns.size());
    picked.determiner = draw(WordBank::Determiners.size());
    picked.ending = draw(WordBank::Endings.size());

    ComposeInsult(m_bank, picked, m_sentence);
    m_platform.SetDisplayText(m_sentence);
    m_bank.Record(m_platform.GetDisplayText());
}
