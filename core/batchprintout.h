// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class PlatformServices;
class WordBank;

/// One press of "Print Results": prints every batch slot in order, one line
/// each, so empty slots print as empty lines. Changes nothing in the bank.
void PrintResults(const WordBank &bank, PlatformServices &platform);
