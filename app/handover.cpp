// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "handover.h"

#include "boxtext.h"
#include "errorreport.h"
#include "jobwatch.h"
#include "messages.h"
#include "printbudget.h"
#include "printoutdocument.h"
#include "printoutfile.h"
#include "printservice.h"
#include "quitonsignals.h"
#include "savedialog.h"
#include "savewatch.h"

#include <QDateTime>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;
using Outcome = PrintResult::Outcome;

HandOver::HandOver(PrintoutDocument &printout, PrintService &service, const QuitOnSignals &quitOnSignals)
    : m_printout(printout)
    , m_service(service)
    , m_quitOnSignals(quitOnSignals)
{}

void HandOver::startUpDone()
{
    const std::scoped_lock lock(m_mutex);
    m_startedUp = true;
}

int HandOver::deliver()
{
    if (m_quitOnSignals.signalled())
        return deliverOnce();
    const int status = deliverAsking();
    const std::scoped_lock lock(m_mutex);
    return *(m_status = m_status.value_or(status));
}

int HandOver::endWithoutDisplay()
{
    {
        const std::scoped_lock lock(m_mutex);
        if (!m_status && !m_startedUp) {
            reportOnStandardError(Messages::displayGoneDuringPrompts());
            m_status = 1;
        }
    }
    return deliverOnce();
}

// With nobody to ask, once: the lock is held to the end, so that the window's
// thread, where it goes on, touches nothing meanwhile, and an end that comes
// later gives the same status.
int HandOver::deliverOnce()
{
    const std::scoped_lock lock(m_mutex);
    if (!m_status)
        m_status = deliverUnattended();
    return *m_status;
}

int HandOver::deliverAsking()
{
    for (;;) {
        const std::optional<PrintResult> failed = print();
        if (!failed)
            return 0;
        const QString why = Messages::whyNotPrinted(*failed);
        const bool reachedPrinter = failed->outcome == Outcome::Unconfirmed;
        reportOnStandardError(why);
        // A signal closes an open question unanswered, and nobody is asked again.
        for (;;) {
            if (m_quitOnSignals.signalled())
                return keepInFile(reachedPrinter);
            const Choice choice = ask(why);
            // cppcheck-suppress knownConditionTrueFalse ; a signal can come while the question is open
            if (m_quitOnSignals.signalled())
                return keepInFile(reachedPrinter);
            if (choice == Choice::Retry)
                break;
            if (choice == Choice::Discard) {
                m_printout.discard();
                return 1;
            }
            if (saveAs())
                return 0;
        }
    }
}

// One attempt, watched by the user: nothing once the printer holds the
// printout, else what became of it.
std::optional<PrintResult> HandOver::print()
{
    const std::optional<PrintoutDocument::Copy> pending = m_printout.pendingCopy();
    if (!pending)
        return std::nullopt;
    JobWatch attempt(m_service.print(*pending, PrintBudget::attempt), m_quitOnSignals);
    setAttempt(attempt.job().waiter());
    PrintResult result = attempt.wait(); // moved out when not printed
    setAttempt(std::nullopt);
    if (result.paper.isValid())
        m_printout.setPaper(result.paper);
    if (result.outcome == Outcome::Printed) {
        m_printout.discard();
        return std::nullopt;
    }
    return result;
}

void HandOver::setAttempt(std::optional<PrintJob::Waiter> attempt)
{
    const std::scoped_lock lock(m_mutex);
    m_attempt = std::move(attempt);
}

// With nobody to ask: to the printer if it takes the printout at once, else
// into a new file. An attempt under way is waited for, and never doubled.
int HandOver::deliverUnattended()
{
    const std::optional<PrintoutDocument::Copy> pending = m_printout.pendingCopy();
    if (!pending)
        return 0;
    PrintResult result;
    if (m_attempt)
        result = m_attempt->waitWithoutEvents(PrintBudget::unattended);
    if (result.outcome != Outcome::Printed)
        result = m_service.print(*pending, PrintBudget::unattended)->run();
    if (result.outcome == Outcome::Printed) {
        m_printout.discard();
        return 0;
    }
    reportOnStandardError(Messages::whyNotPrinted(result));
    return keepInFile(result.outcome == Outcome::Unconfirmed);
}

HandOver::Choice HandOver::ask(const QString &why)
{
    QMessageBox box(QMessageBox::Warning, u"Jeerforge"_s, QString());
    sayInBox(box, why);
    box.setInformativeText(Messages::choicesExplained());
    QPushButton *retry = box.addButton(QMessageBox::Retry);
    retry->setText(Messages::retry());
    const QPushButton *save = box.addButton(Messages::saveAsPdf(), QMessageBox::ActionRole);
    QPushButton *discard = box.addButton(QMessageBox::Discard);
    discard->setText(Messages::discard());
    box.setDefaultButton(retry);
    // With no escape button, neither Escape nor closing the window throws the printout away.
    box.exec();
    if (box.clickedButton() == save)
        return Choice::SaveAsPdf;
    return box.clickedButton() == discard ? Choice::Discard : Choice::Retry;
}

// Asks where to save the printout and saves it there. False when the user
// cancels or the file cannot be written; the user has been told why.
bool HandOver::saveAs()
{
    const SaveChoice choice = askWhereToSave(documentsFolder());
    if (choice.path.isEmpty())
        return false;
    if (const auto error = saveOffTheWindowsThread(m_printout, choice.path, choice.replace, Watched::ByThePerson)) {
        reportError(nullptr, Messages::notSaved(choice.path, *error));
        return false;
    }
    return true;
}

// Kept or not, the printout was not printed, or not confirmed: status 1.
int HandOver::keepInFile(bool reachedPrinter)
{
    ::keepInFile(m_printout, QDateTime::currentDateTime(), reachedPrinter);
    return 1;
}
