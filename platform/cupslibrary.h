// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cups/cups.h>

#include <memory>
#include <string>

// Every libcups call that Jeerforge makes, each named once.
#define JEERFORGE_CUPS_CALLS(X)                                                                                        \
    X(cupsGetNamedDest)                                                                                                \
    X(cupsFreeDests)                                                                                                   \
    X(cupsGetOption)                                                                                                   \
    X(cupsAddOption)                                                                                                   \
    X(cupsFreeOptions)                                                                                                 \
    X(cupsCopyDestInfo)                                                                                                \
    X(cupsFreeDestInfo)                                                                                                \
    X(cupsFindDestDefault)                                                                                             \
    X(cupsGetDestMediaByName)                                                                                          \
    X(cupsLastError)                                                                                                   \
    X(cupsLastErrorString)                                                                                             \
    X(cupsEncodeOptions2)                                                                                              \
    X(cupsStartDocument)                                                                                               \
    X(cupsWriteRequestData)                                                                                            \
    X(cupsGetResponse)                                                                                                 \
    X(cupsCancelJob2)                                                                                                  \
    X(cupsDoRequest)                                                                                                   \
    X(cupsSetPasswordCB2)                                                                                              \
    X(cupsSetUser)                                                                                                     \
    X(cupsUser)                                                                                                        \
    X(cupsServer)                                                                                                      \
    X(cupsEncryption)                                                                                                  \
    X(ippPort)                                                                                                         \
    X(ippNewRequest)                                                                                                   \
    X(ippAddString)                                                                                                    \
    X(ippAddStrings)                                                                                                   \
    X(ippFindAttribute)                                                                                                \
    X(ippContainsString)                                                                                               \
    X(ippGetInteger)                                                                                                   \
    X(ippGetString)                                                                                                    \
    X(ippGetCollection)                                                                                                \
    X(ippDelete)                                                                                                       \
    X(httpConnect2)                                                                                                    \
    X(httpGetFd)                                                                                                       \
    X(httpSetTimeout)                                                                                                  \
    X(httpClose)                                                                                                       \
    X(pwgMediaForPWG)                                                                                                  \
    X(pwgMediaForLegacy)                                                                                               \
    X(pwgMediaForPPD)

/// The CUPS library as a table of its calls, found when printing first needs
/// them, so that a run that never prints does not pay for loading it. Tests
/// put a scripted stand-in in the table's place.
struct CupsLibrary
{
// NOLINTNEXTLINE(bugprone-macro-parentheses): the argument names a member
#define JEERFORGE_CUPS_MEMBER(name) decltype(&::name) name = nullptr;
    JEERFORGE_CUPS_CALLS(JEERFORGE_CUPS_MEMBER)
#undef JEERFORGE_CUPS_MEMBER

    /// Loads libcups.so.2 for the rest of the run and finds every call.
    /// Returns nothing, with error saying why, when it is not there or lacks
    /// a call.
    static std::shared_ptr<const CupsLibrary> load(std::string &error);
};
