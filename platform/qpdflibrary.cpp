// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "qpdflibrary.h"

#include "sharedlibrary.h"

std::shared_ptr<const QpdfLibrary> QpdfLibrary::load(std::string &error)
{
    SharedLibrary library(JEERFORGE_QPDF_SONAME);
    auto calls = std::make_shared<QpdfLibrary>();
#define JEERFORGE_QPDF_FIND(name) library.find(calls->name, #name);
    JEERFORGE_QPDF_CALLS(JEERFORGE_QPDF_FIND)
#undef JEERFORGE_QPDF_FIND
    if (!library.complete()) {
        error = library.error();
        return nullptr;
    }
    return calls;
}
