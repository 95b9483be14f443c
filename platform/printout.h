// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>
#include <optional>
#include <string>

/// The one print document that PlatformServices::PrintLine fills, as the
/// program hands it over: to the default printer, into a PDF file, or
/// nowhere. Nothing in it is lost unless discard() is called.
class Printout
{
public:
    virtual ~Printout() = default;

    /// Asked about every tenth of a second while the print service keeps the
    /// printout waiting, with the name of the printer it waits for ("" while
    /// the default printer is looked for): whether to go on waiting.
    using KeepWaiting = std::function<bool(const std::string &printer)>;

    /// What every later wait asks; by default each waits to its bound.
    virtual void setKeepWaiting(KeepWaiting keepWaiting) = 0;

    struct Credentials
    {
        std::string user;
        std::string password;
    };
    /// Asked on this thread when the print service wants a user name and
    /// password, with the sentence that says who asks and the user name to
    /// offer. Returns them, or nothing when the user cancels or nobody is
    /// there to answer. The time it takes counts against no wait.
    using AskPassword = std::function<std::optional<Credentials>(const std::string &who, const std::string &user)>;

    /// Who is asked from now on; by default nobody, and a password that the
    /// service asks for is not given.
    virtual void setAskPassword(AskPassword askPassword) = 0;

    /// Looks for the default printer, unless one was found before, giving up
    /// within 10 s. Returns "" when there is one, or else why not, for the
    /// user. The printer's paper becomes the printout's.
    [[nodiscard]] virtual std::string findPrinter() = 0;

    /// Whether the printout holds lines that have not been handed over.
    [[nodiscard]] virtual bool pending() const = 0;

    /// Hands the printout as one job to the printer that is the default at
    /// this moment, on that printer's paper and with its user's options,
    /// giving up within 30 s. It is printed only once that printer holds it
    /// for printing. Throws PlatformError, naming the printer it tried where
    /// there was one, and the printout is kept.
    virtual void print() = 0;

    /// Writes the printout to a PDF file at path, whole or not at all, on the
    /// paper of the default printer last found, else the locale's. An
    /// existing file there is replaced only when replace is true. Throws
    /// PlatformError with the reason, and the printout is kept.
    virtual void save(const std::string &path, bool replace) = 0;

    /// Throws the printout away.
    virtual void discard() = 0;

protected:
    Printout() = default;
    Printout(const Printout &) = default;
    Printout &operator=(const Printout &) = default;
};
