// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <dlfcn.h>

#include <string>

/// A shared library opened when a feature first needs it, and kept for the
/// rest of the run: its dependencies set up state of their own that
/// unloading would strand. Its calls are found by name, in it and in the
/// libraries it depends on.
class SharedLibrary
{
public:
    explicit SharedLibrary(const char *file)
        : m_file(file)
        , m_handle(::dlopen(file, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE))
    {
        if (!m_handle)
            m_error = ::dlerror();
    }

    /// Sets call to the function of that name; the first one missing is
    /// named in error().
    template<typename Call>
    void find(Call &call, const char *name)
    {
        call = m_handle ? reinterpret_cast<Call>(::dlsym(m_handle, name)) : nullptr;
        if (!call && m_error.empty())
            m_error = m_file + " lacks " + name;
    }

    /// Whether it opened and had every call asked for; else error() says why.
    [[nodiscard]] bool complete() const { return m_error.empty(); }
    [[nodiscard]] const std::string &error() const { return m_error; }

private:
    std::string m_file;
    void *m_handle;
    std::string m_error;
};
