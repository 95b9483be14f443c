// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QByteArray>

#include <memory>
#include <string>

/// The print spooler as CUPS offers it: which printer is the default, and
/// handing it a finished PDF document. The CUPS library is loaded on first
/// use, so a run that never prints does not pay for it at start-up.
class CupsSpooler
{
public:
    CupsSpooler();
    ~CupsSpooler();
    CupsSpooler(const CupsSpooler &) = delete;
    CupsSpooler &operator=(const CupsSpooler &) = delete;

    /// The default printer's name. Throws PlatformError when the print service
    /// cannot be reached, or when there is no default printer, telling the
    /// user how to set one up.
    [[nodiscard]] std::string defaultPrinter();

    /// Hands the document to the printer as one job and returns its id.
    /// Throws PlatformError, with CUPS's reason, when the print service cannot
    /// be reached or the printer refuses the job; the two read differently.
    int submit(const std::string &printer, const std::string &title, const QByteArray &pdf);

private:
    struct Library;
    const Library &library();

    std::unique_ptr<Library> m_library;
};
