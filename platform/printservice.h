// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printjob.h"
#include "printservicethread.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct CupsLibrary;

/// The print service as Jeerforge talks to it: CUPS, loaded when printing
/// first needs it, on a thread of its own, with the user name and password
/// that the user gave in this run, kept in memory only.
class PrintService
{
public:
    /// Talks through the given CUPS library, or the system's, loaded when first needed.
    explicit PrintService(std::shared_ptr<const CupsLibrary> cups = nullptr);
    ~PrintService();
    PrintService(const PrintService &) = delete;
    PrintService &operator=(const PrintService &) = delete;

    /// An errand that looks for the default printer and its paper.
    [[nodiscard]] std::unique_ptr<PrintJob> findPrinter(std::chrono::milliseconds bound);

    /// An errand that hands the printout to the printer that is the default then.
    [[nodiscard]] std::unique_ptr<PrintJob> print(PrintoutDocument::Copy printout, std::chrono::milliseconds bound);

private:
    friend class PrintJob;
    // What the print service's thread keeps from one errand to the next.
    struct Session
    {
        std::shared_ptr<const CupsLibrary> cups;
        std::string loadError;
        std::optional<PrintCredentials> credentials; // as the user gave them in this run
        std::mutex serverMutex;
        std::string server; // the print service's address, once known; read by the caller's thread too
    };

    PrintServiceThread m_thread;
    std::shared_ptr<Session> m_session;
};
