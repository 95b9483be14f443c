// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Jeerforge writes random insulting sentences out of words its user types in.
//
// The core (this folder) holds all of the program's logic in standard C++:
//   WordBank        the five word lists and the batch of recorded sentences
//   CollectWords    the 45 start-up prompts that fill the user's lists
//   InsultComposer  NextInsult: draws, composes, shows and records one sentence
//   PrintResults    sends the whole batch to the printer
// It reaches the desktop only through PlatformServices (platform/), whose Qt
// implementation shows the prompts, owns the random source, reads and writes
// the main window's text box and prints into one document that goes to the
// printer when the program ends. The main window (app/) owns the one WordBank
// and turns its buttons into calls of the operations above.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

/// How many sentences one batch holds.
inline constexpr int BATCH_CAPACITY = 100;

/// The program's one record of state: the word lists every sentence is built
/// from, and the batch of sentences produced since start-up.
class WordBank
{
public:
    static constexpr std::array<std::string_view, 5> Determiners{"a", "your", "the", "your mom's", "your dad's"};
    static constexpr std::array<std::string_view, 2> Endings{".", "!"};

    /// The user's lists, filled once at start-up and kept exactly as typed.
    std::array<std::string, 5> Beginnings;
    std::array<std::string, 20> Verbs;
    std::array<std::string, 20> Nouns;

    /// Number of recorded sentences, 0 to BATCH_CAPACITY.
    [[nodiscard]] std::int16_t BatchCount() const { return m_batchCount; }

    /// All batch slots; those from BatchCount() on are empty.
    [[nodiscard]] const std::array<std::string, BATCH_CAPACITY> &Batch() const { return m_batch; }

    [[nodiscard]] bool IsBatchFull() const { return m_batchCount == BATCH_CAPACITY; }

    /// Stores the sentence in the next free slot. A full batch refuses it,
    /// unchanged, and returns false.
    bool Record(std::string sentence);

    /// Empties every batch slot.
    void ClearBatch();

private:
    std::array<std::string, BATCH_CAPACITY> m_batch;
    std::int16_t m_batchCount = 0;
};
