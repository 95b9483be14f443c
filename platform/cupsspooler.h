// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printout.h"
#include "printservicethread.h"

#include <QByteArray>
#include <QPageSize>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

/// The print spooler as CUPS offers it: the default printer and its paper,
/// and handing a finished PDF document to it as `lp` would, with the user's
/// saved options. The CUPS library is loaded on first use, so a run that
/// never prints does not pay for it at start-up. Every conversation with the
/// scheduler runs on a thread of its own and holds its caller only within
/// its bound, and only as long as keepWaiting agrees. When the scheduler
/// wants a password, the one asked gives it, for this run only; nothing is
/// ever asked on the terminal.
class CupsSpooler
{
public:
    /// How long a call may hold its caller: 10 s at a press, 30 s for an
    /// attempt at the end. Time spent answering a password dialog is not
    /// counted.
    enum class Bound { Press, End };

    CupsSpooler();
    ~CupsSpooler();
    CupsSpooler(const CupsSpooler &) = delete;
    CupsSpooler &operator=(const CupsSpooler &) = delete;

    /// Asked while the scheduler is awaited; see Printout::setKeepWaiting.
    void setKeepWaiting(Printout::KeepWaiting keepWaiting) { m_keepWaiting = std::move(keepWaiting); }
    /// Asked for a password; see Printout::setAskPassword.
    void setAskPassword(Printout::AskPassword askPassword) { m_askPassword = std::move(askPassword); }

    /// The default printer's paper: the user's own for it, else the
    /// printer's default, or an invalid size when it names none that CUPS
    /// knows. Throws PlatformError when the print service cannot be reached
    /// or does not respond, or when there is no default printer, telling the
    /// user how to set one up.
    [[nodiscard]] QPageSize defaultPaper(Bound bound);

    /// Hands a document as one job to the printer that is the default at
    /// this moment, and returns the job's id; layOut gives the document on
    /// that printer's paper. A job that the printer holds until it gets a
    /// user name and password is given them, or cancelled. Throws
    /// PlatformError as defaultPaper() does, or naming the printer,
    /// with CUPS's reason, when the print service goes away or stops
    /// responding, the printer refuses the job, or no password is given;
    /// each reads differently.
    int submit(const std::string &title, const std::function<QByteArray(const QPageSize &)> &layOut, Bound bound);

private:
    struct Library;
    struct Answer;
    struct Wait;
    struct Deadline;
    using Step = std::function<void(const Library &, Answer &, Wait &)>;

    const Library &library();
    std::shared_ptr<Answer> converse(const Step &step, Deadline &deadline, const std::string &printer);
    std::optional<Printout::Credentials> ask(const std::string &who, Deadline &deadline);
    [[nodiscard]] std::string unanswered(bool timedOut, const std::string &consequence) const;
    [[nodiscard]] std::string passwordRefused(const std::string &user, const std::string &consequence) const;
    [[nodiscard]] std::string passwordWanted(const std::string &printer) const;
    [[nodiscard]] std::string noPasswordGiven(const std::string &consequence) const;

    std::shared_ptr<const Library> m_library;
    PrintServiceThread m_thread;
    Printout::KeepWaiting m_keepWaiting;
    Printout::AskPassword m_askPassword;
    std::optional<Printout::Credentials> m_credentials;
    // The job of an attempt under way, once the printer holds it for
    // printing: an end that interrupts the attempt takes it from there.
    std::shared_ptr<std::atomic<int>> m_delivered;
};
