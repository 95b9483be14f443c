// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "wordbank.h"

#include <utility>

bool WordBank::Record(std::string sentence)
{
    if (IsBatchFull())
        return false;
    m_batch[static_cast<std::size_t>(m_batchCount)] = std::move(sentence);
    ++m_batchCount;
    return true;
}

void WordBank::ClearBatch()
{
    m_batch.fill({});
    m_batchCount = 0;
}
