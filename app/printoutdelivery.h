// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class Printout;
class QString;
class QuitOnSignals;

/// Hands the printout over as Jeerforge ends, so that nothing printed is lost
/// unless the user says so. It goes to the printer that is the default then.
/// When that fails, the user chooses: Retry, Save as PDF… or Discard. With
/// nobody to ask (the session ending, the display gone) it is kept in a new
/// PDF file in the documents folder instead, and standard error names it.
class PrintoutDelivery
{
public:
    /// While it lives, an end of the process that skips the program's own
    /// end, as Qt's exit() when the display goes away, still keeps the
    /// printout. Only one may live at a time.
    explicit PrintoutDelivery(Printout &printout);
    ~PrintoutDelivery();
    PrintoutDelivery(const PrintoutDelivery &) = delete;
    PrintoutDelivery &operator=(const PrintoutDelivery &) = delete;

    /// Hands the printout over, asking the user until it is printed, saved
    /// or discarded, unless a signal says that nobody is left to answer.
    /// Returns the exit status: 0 when nothing was pending, or the printout
    /// was printed or saved by the user; 1 otherwise.
    [[nodiscard]] int deliver(const QuitOnSignals &quitOnSignals);

    /// Hands the printout over with nobody to ask: to the printer if it
    /// takes it at once, else into a new file. Returns the exit status.
    int deliverUnattended();

private:
    enum class Choice { Retry, SaveAsPdf, Discard };
    static Choice ask(const QString &why);
    bool saveAs();
    int keepInFile();

    Printout &m_printout;
};
