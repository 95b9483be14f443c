// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMessageLogContext>
#include <QString>

#include <memory>

class JobWatch;
class PrintService;
class PrintoutDocument;
class QApplication;
class QuitOnSignals;

/// Every way Jeerforge ends, in one place, so that nothing printed is lost
/// unless the user says so:
/// - Exit or the close box: the event loop ends, and deliver() hands the
///   printout to the printer that is the default then; when that fails, the
///   user chooses: Retry, Save as PDF… or Discard.
/// - a signal (SIGTERM, SIGINT, SIGHUP): deliver() asks nobody, and the
///   printout goes to the printer if it takes it at once, else into a new
///   PDF file, which standard error names;
/// - the X server or the Wayland compositor going away, before the event
///   loop could end: the same, from a hook that Qt leaves no other way to;
/// - the display going away during the start-up prompts: status 1;
/// - Qt failing to start its display plugin: status 1, with Qt's reason.
class HandOver
{
public:
    /// The application, or, where Qt cannot start its display plugin, the
    /// end of the process with one line on standard error that gives Qt's
    /// own reason, and status 1.
    static std::unique_ptr<QApplication> startApplication(int &argc, char **argv);

    /// From now on, a display that goes away ends the program through here.
    /// Only one may live at a time.
    HandOver(PrintoutDocument &printout, PrintService &service, const QuitOnSignals &quitOnSignals);
    ~HandOver();
    HandOver(const HandOver &) = delete;
    HandOver &operator=(const HandOver &) = delete;

    /// The start-up prompts are over: a display that goes away from now on
    /// leaves a printout to hand over.
    void startUpDone() { m_startedUp = true; }

    /// Hands the printout over as the program ends, asking the user until it
    /// is printed, saved or discarded, unless a signal says that nobody is
    /// left to answer. Returns the exit status: 0 when nothing was pending,
    /// or it was printed, or saved by the user; 1 otherwise.
    [[nodiscard]] int deliver();

private:
    enum class Choice { Retry, SaveAsPdf, Discard };
    [[noreturn]] static void endNow();
    static void endAtExit();
    static void endIfCompositorLost(QtMsgType type, const QMessageLogContext &context, const QString &message);
    [[nodiscard]] int endWithoutDisplay();
    [[nodiscard]] int deliverUnattended();
    [[nodiscard]] bool print(QString &why);
    static Choice ask(const QString &why);
    bool saveAs();
    int keepInFile();

    PrintoutDocument &m_printout;
    PrintService &m_service;
    const QuitOnSignals &m_quitOnSignals;
    JobWatch *m_attempt = nullptr; // the attempt under way, which an end without display waits for
    bool m_startedUp = false;
};
