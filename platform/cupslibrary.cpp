// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupslibrary.h"

#include <dlfcn.h>

std::shared_ptr<const CupsLibrary> CupsLibrary::load(std::string &error)
{
    void *handle = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        error = ::dlerror();
        return nullptr;
    }
    auto library = std::make_shared<CupsLibrary>();
    bool complete = true;
    const auto find = [&](auto &call, const char *name) {
        call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(::dlsym(handle, name));
        if (!call && complete) {
            error = std::string("libcups.so.2 lacks ") + name;
            complete = false;
        }
    };
#define JEERFORGE_CUPS_FIND(name) find(library->name, #name);
    JEERFORGE_CUPS_CALLS(JEERFORGE_CUPS_FIND)
#undef JEERFORGE_CUPS_FIND
    return complete ? library : nullptr;
}
