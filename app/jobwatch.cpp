// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jobwatch.h"

#include "boxtext.h"
#include "messages.h"
#include "passworddialog.h"
#include "printbudget.h"
#include "quitonsignals.h"
#include "waitingbox.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>

JobWatch::JobWatch(std::unique_ptr<PrintJob> job, const QuitOnSignals &quitOnSignals, QObject *parent,
                   AskForPassword askForPassword)
    : QObject(parent)
    , m_job(std::move(job))
    , m_quitOnSignals(quitOnSignals)
    , m_askForPassword(askForPassword ? std::move(askForPassword) : AskForPassword(::askForPassword))
{
    m_showAfter.setSingleShot(true);
    m_showAfter.setTimerType(Qt::PreciseTimer);
    connect(&m_showAfter, &QTimer::timeout, this, &JobWatch::showWaiting);
    connect(m_job.get(), &PrintJob::waiting, this, [this](const QString &printer) {
        m_sending = m_sending || !printer.isEmpty();
        m_printer = printer;
        tell();
    });
    connect(m_job.get(), &PrintJob::preparing, this, [this](bool preparing) {
        m_preparing = preparing;
        tell();
    });
    connect(m_job.get(), &PrintJob::passwordWanted, this, &JobWatch::askForPassword);
    connect(m_job.get(), &PrintJob::finished, this, [this](const PrintResult &result) {
        m_showAfter.stop();
        delete m_box.data();
        m_result = result;
        Q_EMIT done(result);
    });
    // Nobody is left to answer once a signal came.
    connect(&m_quitOnSignals, &QuitOnSignals::caught, m_job.get(), &PrintJob::cancel);
}

JobWatch::~JobWatch()
{
    delete m_box.data();
}

void JobWatch::start()
{
    m_showAfter.start(PrintBudget::showWaitAfter);
    m_job->start();
}

PrintResult JobWatch::wait()
{
    start();
    QEventLoop loop;
    connect(this, &JobWatch::done, &loop, &QEventLoop::quit);
    if (!m_result && !m_quitOnSignals.signalled())
        loop.exec();
    // A signal ends every event loop, this one too.
    if (!m_result) {
        m_job->cancel();
        QCoreApplication::sendPostedEvents(m_job.get());
    }
    return m_result.value_or(PrintResult{});
}

QString JobWatch::awaited() const
{
    return m_preparing ? Messages::preparing() : Messages::waitingFor(m_sending, m_printer);
}

void JobWatch::tell()
{
    if (m_box)
        m_box->setText(fewLines(awaited()));
}

void JobWatch::showWaiting()
{
    m_sending = m_sending || m_job->sendsPrintout();
    m_box = showWaitingBox(awaited());
    connect(m_box, &QDialog::finished, m_job.get(), &PrintJob::cancel);
}

void JobWatch::askForPassword(const PasswordRequest &request)
{
    // The dialog is the one window on top while it is open: the wait's clock
    // stops, and a waiting box already shown steps aside until it is answered.
    const int showIn = m_box ? 0 : m_showAfter.remainingTime();
    m_showAfter.stop();
    if (m_box) {
        disconnect(m_box, nullptr, m_job.get(), nullptr);
        delete m_box.data();
    }
    std::optional<PrintJob::Credentials> given;
    if (!m_quitOnSignals.signalled())
        given = m_askForPassword(Messages::passwordWanted(request), request.user);
    m_job->answerPassword(m_quitOnSignals.signalled() ? std::nullopt : given);
    if (!m_result && showIn >= 0)
        m_showAfter.start(showIn);
}
