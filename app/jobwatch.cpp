// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jobwatch.h"

#include "messages.h"
#include "passworddialog.h"
#include "printbudget.h"
#include "quitonsignals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>

JobWatch::JobWatch(std::unique_ptr<PrintJob> job, const QuitOnSignals &quitOnSignals, QObject *parent)
    : QObject(parent)
    , m_job(std::move(job))
    , m_quitOnSignals(quitOnSignals)
{
    m_showAfter.setSingleShot(true);
    connect(&m_showAfter, &QTimer::timeout, this, &JobWatch::showWaiting);
    connect(m_job.get(), &PrintJob::waiting, this, [this](const QString &printer) {
        m_sending = m_sending || !printer.isEmpty();
        m_printer = printer;
        if (m_box)
            m_box->setText(Messages::waitingFor(m_sending, m_printer));
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

void JobWatch::showWaiting()
{
    m_sending = m_sending || m_job->sendsPrintout();
    m_box = new QMessageBox(QMessageBox::Information, QStringLiteral("Jeerforge"),
                            Messages::waitingFor(m_sending, m_printer));
    m_box->setTextFormat(Qt::PlainText);
    m_box->setAttribute(Qt::WA_DeleteOnClose);
    m_box->setWindowModality(Qt::ApplicationModal);
    m_box->addButton(Messages::stopWaiting(), QMessageBox::RejectRole);
    // Its button and its title bar's close button alike stop the wait.
    connect(m_box, &QDialog::finished, m_job.get(), &PrintJob::cancel);
    m_box->show();
}

void JobWatch::askForPassword(const PasswordRequest &request)
{
    std::optional<PrintJob::Credentials> given;
    if (!m_quitOnSignals.signalled())
        given = ::askForPassword(Messages::passwordWanted(request), request.user);
    m_job->answerPassword(m_quitOnSignals.signalled() ? std::nullopt : given);
}
