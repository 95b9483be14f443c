// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printerlookup.h"

#include "errorreport.h"
#include "jobwatch.h"
#include "messages.h"
#include "printbudget.h"
#include "printoutdocument.h"
#include "printservice.h"
#include "quitonsignals.h"

#include <QCoreApplication>

PrinterLookup::PrinterLookup(PrintService &service, PrintoutDocument &printout, const QuitOnSignals &quitOnSignals,
                             QWidget *window)
    : m_service(service)
    , m_printout(printout)
    , m_quitOnSignals(quitOnSignals)
    , m_window(window)
{
    // The end hands the printout over on its own; a look-up under way is of no use then.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &PrinterLookup::stop);
}

PrinterLookup::~PrinterLookup()
{
    stop();
}

void PrinterLookup::lookUp()
{
    if (m_found || m_watch)
        return;
    m_watch = new JobWatch(m_service.findPrinter(PrintBudget::press), m_quitOnSignals, this);
    connect(m_watch, &JobWatch::done, this, &PrinterLookup::found);
    Q_EMIT busy(true);
    m_watch->start();
}

void PrinterLookup::found(const PrintResult &result)
{
    m_watch->deleteLater();
    m_watch = nullptr;
    Q_EMIT busy(false);
    if (result.succeeded()) {
        m_found = true;
        m_printout.setPaper(result.paper);
    } else if (!m_quitOnSignals.signalled()) {
        reportError(m_window, Messages::printoutKeptAtPress(result));
    }
}

void PrinterLookup::stop()
{
    if (!m_watch)
        return;
    delete m_watch;
    m_watch = nullptr;
    Q_EMIT busy(false);
}
