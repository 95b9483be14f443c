// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <string_view>

class PlatformServices;
class WordBank;

inline constexpr std::string_view FIRST_BEGINNING_PROMPT =
    "Give me a beginning to a sentence, such as 'you always', 'everyone knows that you', 'I want you to,' etc.";
inline constexpr std::string_view FIRST_VERB_PROMPT = "Give me a verb, such as 'run', 'play', etc.";
inline constexpr std::string_view FIRST_NOUN_PROMPT = "Give me a noun, such as 'ball', 'dog', etc.";
inline constexpr std::string_view FOLLOW_UP_PROMPT = "Another Please.";

/// Empties the batch, then asks for every beginning, verb and noun in turn,
/// 45 prompts in all, and stores each answer exactly as returned. A cancelled
/// prompt stores the empty string.
void CollectWords(WordBank &bank, PlatformServices &platform);
