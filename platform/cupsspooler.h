// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printout.h"

#include <QByteArray>
#include <QPageSize>

#include <chrono>
#include <memory>
#include <string>

/// The print spooler as CUPS offers it: the default printer's paper, and
/// handing a finished PDF document to the default printer. The CUPS library
/// is loaded on first use, so a run that never prints does not pay for it at
/// start-up. Every call talks to the scheduler on a connection of its own and
/// waits for it at most the time it is given, and only as long as
/// keepWaiting agrees.
class CupsSpooler
{
public:
    CupsSpooler();
    ~CupsSpooler();
    CupsSpooler(const CupsSpooler &) = delete;
    CupsSpooler &operator=(const CupsSpooler &) = delete;

    /// Asked while the scheduler is awaited; see Printout::setKeepWaiting.
    void setKeepWaiting(Printout::KeepWaiting keepWaiting) { m_keepWaiting = std::move(keepWaiting); }

    /// The default paper of the default printer (its media-default, or the
    /// user's own default for it), or an invalid size when it names none that
    /// CUPS knows. Throws PlatformError when the print service cannot be
    /// reached or does not respond, or when there is no default printer,
    /// telling the user how to set one up.
    [[nodiscard]] QPageSize defaultPaper(std::chrono::milliseconds patience);

    /// Hands the document as one job to the printer that is the default at
    /// this moment, and returns the job's id. Throws PlatformError as
    /// defaultPaper() does, or naming the printer, with CUPS's reason, when
    /// the print service goes away or stops responding, or the printer
    /// refuses the job; each reads differently.
    int submit(const std::string &title, const QByteArray &pdf, std::chrono::milliseconds patience);

private:
    struct Library;
    const Library &library();

    std::unique_ptr<Library> m_library;
    Printout::KeepWaiting m_keepWaiting;
};
