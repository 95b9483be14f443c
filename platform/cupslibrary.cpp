// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupslibrary.h"

#include "sharedlibrary.h"

std::shared_ptr<const CupsLibrary> CupsLibrary::load(std::string &error)
{
    SharedLibrary library("libcups.so.2");
    auto calls = std::make_shared<CupsLibrary>();
#define JEERFORGE_CUPS_FIND(name) library.find(calls->name, #name);
    JEERFORGE_CUPS_CALLS(JEERFORGE_CUPS_FIND)
#undef JEERFORGE_CUPS_FIND
    if (!library.complete()) {
        error = library.error();
        return nullptr;
    }
    return calls;
}
