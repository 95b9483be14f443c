// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pangocairolibrary.h"

#include "sharedlibrary.h"

std::shared_ptr<const PangoCairoLibrary> PangoCairoLibrary::load(std::string &error)
{
    // Its dependencies bring cairo and HarfBuzz, whose calls it finds as well.
    SharedLibrary library("libpangocairo-1.0.so.0");
    auto calls = std::make_shared<PangoCairoLibrary>();
#define JEERFORGE_PANGOCAIRO_FIND(name) library.find(calls->name, #name);
    JEERFORGE_PANGOCAIRO_CALLS(JEERFORGE_PANGOCAIRO_FIND)
#undef JEERFORGE_PANGOCAIRO_FIND
    if (!library.complete()) {
        error = library.error();
        return nullptr;
    }
    return calls;
}
