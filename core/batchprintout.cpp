// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "batchprintout.h"

#include "platformservices.h"
#include "wordbank.h"

void PrintResults(const WordBank &bank, PlatformServices &platform)
{
    for (const std::string &sentence : bank.Batch())
        platform.PrintLine(sentence);
}
