// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPointer>

#include <chrono>
#include <string>

class Printout;
class QMessageBox;
class QString;
class QuitOnSignals;

/// Hands the printout over as Jeerforge ends, so that nothing printed is lost
/// unless the user says so. It goes to the printer that is the default then.
/// When that fails, the user chooses: Retry, Save as PDF… or Discard. With
/// nobody to ask (a signal came, the display went away) it is kept in a new
/// PDF file in the documents folder instead, and standard error names it.
/// No wait for the print service outlasts a signal.
class PrintoutDelivery
{
public:
    /// From now on, a signal ends every wait for the print service, and an
    /// end of the process that skips the program's own end (Qt ending it
    /// when the display goes away) still hands the printout over and ends
    /// with the status deliver() would give, whatever the user's logging
    /// rules say. Only one may live at a time.
    PrintoutDelivery(Printout &printout, const QuitOnSignals &quitOnSignals);
    ~PrintoutDelivery();
    PrintoutDelivery(const PrintoutDelivery &) = delete;
    PrintoutDelivery &operator=(const PrintoutDelivery &) = delete;

    /// Says that the start-up prompts are over. A display that goes away
    /// before ends the program with status 1, as it did nothing.
    void startUpDone() { m_startedUp = true; }

    /// Hands the printout over, asking the user until it is printed, saved
    /// or discarded, unless a signal says that nobody is left to answer.
    /// Returns the exit status: 0 when nothing was pending, or the printout
    /// was printed, or saved by the user; 1 otherwise.
    [[nodiscard]] int deliver();

    /// Hands the printout over with nobody to ask: to the printer if it
    /// takes it at once, else into a new file. Returns the exit status.
    [[nodiscard]] int deliverUnattended();

    /// As the display goes away: deliverUnattended() once the start-up
    /// prompts are over, else status 1, said on standard error.
    [[nodiscard]] int endWithoutDisplay();

private:
    enum class Choice { Retry, SaveAsPdf, Discard };
    static Choice ask(const QString &why);
    bool keepWaiting(const std::string &printer);
    void print();
    bool saveAs();
    int keepInFile();

    // Who sees a wait for the print service: the user at a press, the user
    // at the end, or nobody.
    enum class Mode { Pressing, Asking, Unattended };

    Printout &m_printout;
    const QuitOnSignals &m_quitOnSignals;
    Mode m_mode = Mode::Pressing;
    std::chrono::steady_clock::time_point m_attemptStart;
    QPointer<QMessageBox> m_sending; // says what is awaited, once a wait is long
    bool m_stopped = false;
    bool m_startedUp = false;
};
