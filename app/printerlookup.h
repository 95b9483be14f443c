// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class JobWatch;
class PrintService;
class PrintoutDocument;
class QuitOnSignals;
class QWidget;
struct PrintResult;

/// Looks for the default printer at each Print Results press until one is
/// found, off the window's thread, so that the printout takes its paper and
/// the user learns at once when it has no printer to go to yet. A look-up
/// gives up within the press's bound; the window's event loop keeps running.
class PrinterLookup : public QObject
{
    Q_OBJECT

public:
    PrinterLookup(PrintService &service, PrintoutDocument &printout, const QuitOnSignals &quitOnSignals,
                  QWidget *window);
    ~PrinterLookup() override;

    /// Looks for the default printer, unless one was found before.
    void lookUp();

Q_SIGNALS:
    /// A look-up began, or ended: the window's buttons take no click meanwhile.
    void busy(bool busy);

private:
    void found(const PrintResult &result);
    void stop();

    PrintService &m_service;
    PrintoutDocument &m_printout;
    const QuitOnSignals &m_quitOnSignals;
    QPointer<QWidget> m_window;
    JobWatch *m_watch = nullptr;
    bool m_found = false;
};
