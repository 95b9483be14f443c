// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printjob.h"

#include <QString>

#include <mutex>
#include <optional>

class PrintService;
class PrintoutDocument;
class QuitOnSignals;

/// Hands the printout over as Jeerforge ends, so that nothing printed is lost
/// unless the user says so:
/// - Exit or the close box: deliver() hands it to the printer that is the
///   default then; when that fails, the user chooses: Retry, Save as PDF…
///   or Discard;
/// - a signal (SIGTERM, SIGINT, SIGHUP): deliver() asks nobody, and the
///   printout goes to the printer if it takes it at once, else into a new PDF
///   file, which standard error names;
/// - the display going away: endWithoutDisplay(), the same, from whichever
///   thread Qt notices it on; during the start-up prompts, status 1.
class HandOver
{
public:
    HandOver(PrintoutDocument &printout, PrintService &service, const QuitOnSignals &quitOnSignals);
    HandOver(const HandOver &) = delete;
    HandOver &operator=(const HandOver &) = delete;

    /// The start-up prompts are over: a display that goes away from now on
    /// leaves a printout to hand over.
    void startUpDone();

    /// Hands the printout over as the program ends, asking the user until it
    /// is printed, saved or discarded, unless a signal says that nobody is
    /// left to answer. Returns the exit status: 0 when nothing was pending,
    /// or it was printed, or saved by the user; 1 otherwise.
    [[nodiscard]] int deliver();

    /// The display is gone: hands the printout over asking nobody, and
    /// returns the status for the process to end with at once. Safe on any
    /// thread, once or more: an attempt under way is waited for and never
    /// doubled, a delivery already over gives its own status, and the
    /// window's thread, should it go on, waits for this before its next step.
    [[nodiscard]] int endWithoutDisplay();

private:
    enum class Choice { Retry, SaveAsPdf, Discard };
    [[nodiscard]] int deliverAsking();
    [[nodiscard]] int deliverOnce();
    [[nodiscard]] int deliverUnattended();
    [[nodiscard]] std::optional<PrintResult> print();
    void setAttempt(std::optional<PrintJob::Waiter> attempt);
    static Choice ask(const QString &why);
    bool saveAs();
    int keepInFile(bool reachedPrinter);

    PrintoutDocument &m_printout;
    PrintService &m_service;
    const QuitOnSignals &m_quitOnSignals;

    // What an end on another thread shares with the window's thread.
    std::mutex m_mutex;
    std::optional<PrintJob::Waiter> m_attempt; // the attempt under way
    bool m_startedUp = false;
    std::optional<int> m_status; // once the printout is handed over
};
