// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "printcredentials.h"
#include "printoutdocument.h"

#include <QObject>
#include <QPageSize>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>

class PrintService;

/// What became of a print job: what happened, never a sentence.
struct PrintResult
{
    enum class Outcome {
        PrinterFound, // the default printer, and its paper
        Printed, // the printer holds the printout for printing
        NoCupsLibrary, // reason: why it could not be loaded
        NotLaidOut, // reason: why the printout could not be laid out as PDF
        Unreachable,
        NotResponding,
        BrokenAnswer, // the print service answered with something that is no answer
        Stopped, // the user, or a signal, stopped the wait
        NoDefaultPrinter, // reason: CUPS's words
        Refused, // reason: CUPS's words
        PrinterGone,
        PasswordRefused, // user: whose password
        NoPasswordGiven, // the print service asked, and got none
        PrinterWantsPassword, // the printer holds jobs for a password, and got none
        Unconfirmed, // job: the printout reached the printer, but that it prints it is not confirmed; reason: CUPS's
                     // words
    };
    Outcome outcome = Outcome::Stopped;
    QString server; // the print service's address, once known
    QString printer; // the printer, once found
    QString reason;
    QString user;
    QPageSize paper; // of the printer found; invalid where it names none
    int job = 0; // the job at the printer, once it holds the printout whole or may

    [[nodiscard]] bool succeeded() const { return outcome == Outcome::PrinterFound || outcome == Outcome::Printed; }
};

/// Who asks for a user name and password: the print service, or a printer
/// that holds its jobs until it gets them. user is the name to offer.
struct PasswordRequest
{
    bool printerAsks = false;
    QString server;
    QString printer;
    QString user;
};

/// One errand to the print service: look for the default printer, or hand
/// the printout as one job to the printer that is the default at that
/// moment, on that printer's paper and with its user's saved options. Its
/// conversation runs on the print service's thread; this object, on the
/// window's thread, reports what it waits for and what became of it, and
/// gives up at its deadline or when cancelled. The time a person takes to
/// give a password is not counted, nor the time the printout takes to be
/// laid out: the bound is on the print service's silence.
class PrintJob : public QObject
{
    Q_OBJECT

    struct Work;

public:
    using Credentials = PrintCredentials;

    ~PrintJob() override;
    PrintJob(const PrintJob &) = delete;
    PrintJob &operator=(const PrintJob &) = delete;

    /// Starts the errand, with results as signals through the event loop.
    void start();

    /// Runs the errand with nobody to ask: blocks this thread, with no event
    /// loop, until it is over or its bound passed. For an end with no display.
    [[nodiscard]] PrintResult run();

    /// Waits for a started errand from any thread, with no event loop, and
    /// outlives the PrintJob: for an end that nobody watches any more.
    class Waiter
    {
    public:
        /// Waits at most the given time; then gives the errand up as not
        /// responding, or, where it asks for a password, as given none.
        /// Whoever watches the errand learns the result too.
        [[nodiscard]] PrintResult waitWithoutEvents(std::chrono::milliseconds atMost) const;

    private:
        friend class PrintJob;
        explicit Waiter(std::shared_ptr<Work> work)
            : m_work(std::move(work))
        {}
        std::shared_ptr<Work> m_work;
    };
    [[nodiscard]] Waiter waiter() const { return Waiter(m_work); }

    /// Stops waiting: finished() reports Stopped, unless it came first.
    void cancel();

    /// The answer to passwordWanted(): credentials, or nothing on Cancel.
    void answerPassword(const std::optional<Credentials> &credentials);

    [[nodiscard]] bool isFinished() const;
    /// Whether it sends the printout, rather than only looking for the printer.
    [[nodiscard]] bool sendsPrintout() const { return m_sendsPrintout; }

Q_SIGNALS:
    /// What the errand waits for: "" while the default printer is looked
    /// for, then that printer's name.
    void waiting(const QString &printer);
    /// The printout is being laid out, or is laid out: the program's own
    /// work, which the bound does not count.
    void preparing(bool layingOut);
    /// A user name and password are wanted; answerPassword() answers.
    void passwordWanted(const PasswordRequest &request);
    void finished(const PrintResult &result);

private:
    friend class PrintService;
    /// Looks for the default printer without a printout, else prints it.
    PrintJob(PrintService &service, std::optional<PrintoutDocument::Copy> printout, std::chrono::milliseconds bound);

    void post();
    void giveUp(PrintResult::Outcome outcome);
    void deliver(const PrintResult &result);
    void prepare(bool layingOut);
    void askForPassword(const PasswordRequest &request);

    PrintService &m_service;
    std::shared_ptr<Work> m_work;
    QTimer m_deadline; // the caller's, while the errand is watched
    std::chrono::steady_clock::time_point m_pausedAt; // while a person is asked for a password
    bool m_sendsPrintout = false;
    bool m_reported = false;
};
