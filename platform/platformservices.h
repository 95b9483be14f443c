// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <stdexcept>
#include <string>

/// A desktop operation that could not be carried out. The message is meant
/// for the user: it says what went wrong and, where it can, what to do.
class PlatformError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

/// The few things Jeerforge needs from the desktop. The core calls nothing
/// else, so it runs unchanged against the Qt desktop or a scripted stand-in.
/// All text is UTF-8.
class PlatformServices
{
public:
    virtual ~PlatformServices() = default;

    /// Shows a modal one-line prompt captioned "Jeerforge" with an empty input
    /// line, OK and Cancel. Returns the typed line unchanged, or "" on Cancel.
    virtual std::string AskText(const std::string &prompt) = 0;

    /// Reseeds the random source from the clock.
    virtual void Reseed() = 0;

    /// The next value r of the random sequence, 0 <= r < 1.
    virtual double NextUniform() = 0;

    /// Replaces the content of the insult text box.
    virtual void SetDisplayText(const std::string &text) = 0;

    /// The content of the insult text box.
    virtual std::string GetDisplayText() = 0;

    /// Prints one line into the one print document, which the first call
    /// opens and which goes to the default printer as the program ends. The
    /// line is kept whether or not there is a printer yet.
    virtual void PrintLine(const std::string &line) = 0;

    /// Ends the program: no further button or window event is handled. What
    /// is left to do at the end, such as handing over the printout, follows.
    virtual void EndProgram() = 0;

protected:
    PlatformServices() = default;
    PlatformServices(const PlatformServices &) = default;
    PlatformServices &operator=(const PlatformServices &) = default;
};
