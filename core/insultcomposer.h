// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string>
#include <string_view>

class PlatformServices;
class WordBank;

inline constexpr std::string_view FULL_BATCH_MESSAGE = "Can't do more than 100 at a time.";

/// The slots one sentence is built from, one per list.
struct InsultDraw
{
    int beginning = 0;
    int verb = 0;
    int noun = 0;
    int determiner = 0;
    int ending = 0;
};

/// Turns a uniform value r in [0, 1) into a slot of a list of slotCount:
/// floor(r * slotCount), kept inside the list whatever r is.
[[nodiscard]] int SlotIndex(double r, int slotCount);

/// Replaces sentence with beginning, verb, determiner and noun joined by
/// single blanks, then the ending with no blank before it. Nothing is trimmed
/// or changed.
void ComposeInsult(const WordBank &bank, const InsultDraw &draw, std::string &sentence);

/// The operation behind "Next Insult", for one word bank on one desktop.
class InsultComposer
{
public:
    InsultComposer(WordBank &bank, PlatformServices &platform);

    /// One press of "Next Insult". A full batch only shows FULL_BATCH_MESSAGE.
    /// Otherwise: reseed, draw beginning, verb, noun, determiner and ending in
    /// that order, show the sentence, and record what the text box reads back.
    void NextInsult();

private:
    WordBank &m_bank;
    PlatformServices &m_platform;
    std::string m_sentence; // reused from press to press
};
