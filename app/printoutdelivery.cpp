// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutdelivery.h"

#include "errorreport.h"
#include "passworddialog.h"
#include "platformservices.h"
#include "printout.h"
#include "quitonsignals.h"
#include "savedialog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// How long an attempt may go on before a window says what it waits for, and
// how long it may take once nobody is left to ask.
constexpr auto showWaitAfter = 1s;
constexpr auto unattendedPatience = 1s;

PrintoutDelivery *deliveryAtExit = nullptr;
QtMessageHandler previousMessageHandler = nullptr;

// Hands the printout over one last time and ends the process with the status
// the program's own end would have given. The first thread to come does it;
// any other waits for the end, as Qt's threads may see a lost display at once.
[[noreturn]] void deliverAndEnd()
{
    static std::atomic_flag ending;
    if (ending.test_and_set()) {
        for (;;)
            ::pause();
    }
    int status = 0;
    if (PrintoutDelivery *delivery = std::exchange(deliveryAtExit, nullptr))
        status = delivery->endWithoutDisplay();
    std::fflush(nullptr);
    std::_Exit(status);
}

// Qt ends the process with exit() when the X server goes away (as when the
// session ends), which skips everything on the stack.
void deliverAtExit()
{
    if (deliveryAtExit)
        deliverAndEnd();
}

// Qt's Wayland plugin ends the process with _exit() when the compositor goes
// away, so no hook of exit() runs. Just before, it says so through the message
// handler ("The Wayland connection broke…", "… experienced a fatal error…"):
// that is the last moment the printout can still be handed over. The warning
// reaches the handler even where the user's logging rules turn it off; it is
// then not passed on.
struct WatchedCategory
{
    const char *name;
    bool userWantsWarnings;
};
std::array<WatchedCategory, 2> watchedCategories{{{"default", true}, {"qt.qpa.wayland", true}}};
QLoggingCategory::CategoryFilter previousFilter = nullptr;

WatchedCategory *watched(const char *category)
{
    auto *const found = std::find_if(watchedCategories.begin(), watchedCategories.end(),
                                     [category](const WatchedCategory &w) { return qstrcmp(category, w.name) == 0; });
    return found == watchedCategories.end() ? nullptr : found;
}

void keepCompositorWarnings(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (WatchedCategory *w = watched(category->categoryName())) {
        w->userWantsWarnings = category->isWarningEnabled();
        category->setEnabled(QtWarningMsg, true);
    }
}

bool userSilenced(QtMsgType type, const QMessageLogContext &context)
{
    const WatchedCategory *w =
        type == QtWarningMsg ? watched(context.category ? context.category : "default") : nullptr;
    return w && !w->userWantsWarnings;
}

void deliverIfCompositorLost(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!userSilenced(type, context))
        previousMessageHandler(type, context, message);
    if (message.startsWith(u"The Wayland connection "_s))
        deliverAndEnd();
}

// The user's documents folder, or the home folder where there is none.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

PrintoutDelivery::PrintoutDelivery(Printout &printout, const QuitOnSignals &quitOnSignals)
    : m_printout(printout)
    , m_quitOnSignals(quitOnSignals)
{
    Q_ASSERT(!deliveryAtExit);
    [[maybe_unused]] static const bool hooked = std::atexit(deliverAtExit) == 0;
    deliveryAtExit = this;
    previousMessageHandler = qInstallMessageHandler(deliverIfCompositorLost);
    previousFilter = QLoggingCategory::installFilter(keepCompositorWarnings);
    m_printout.setKeepWaiting([this](const std::string &printer) { return keepWaiting(printer); });
    // Asked only where someone is there to answer, and never once a signal came.
    m_printout.setAskPassword([this](const std::string &who, const std::string &user) {
        std::optional<Printout::Credentials> given;
        if (m_mode != Mode::Unattended && !m_quitOnSignals.signalled())
            given = askForPassword(who, user);
        return m_quitOnSignals.signalled() ? std::nullopt : given;
    });
}

PrintoutDelivery::~PrintoutDelivery()
{
    m_printout.setKeepWaiting({});
    m_printout.setAskPassword({});
    QLoggingCategory::installFilter(previousFilter);
    qInstallMessageHandler(previousMessageHandler);
    deliveryAtExit = nullptr;
}

int PrintoutDelivery::deliver()
{
    if (m_quitOnSignals.signalled())
        return deliverUnattended();
    m_mode = Mode::Asking;
    for (;;) {
        QString why;
        try {
            print();
            return 0;
        } catch (const PlatformError &error) {
            why = QString::fromUtf8(error.what());
        }
        reportOnStandardError(why);
        // A signal closes an open question unanswered, and nobody is asked again.
        for (;;) {
            if (m_quitOnSignals.signalled())
                return keepInFile();
            const Choice choice = ask(why);
            // cppcheck-suppress knownConditionTrueFalse ; a signal can come while the question is open
            if (m_quitOnSignals.signalled())
                return keepInFile();
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

int PrintoutDelivery::endWithoutDisplay()
{
    if (!m_startedUp) {
        reportOnStandardError(u"The display went away during the start-up prompts, so Jeerforge ends without "
                              u"having shown its window."_s);
        return 1;
    }
    return deliverUnattended();
}

int PrintoutDelivery::deliverUnattended()
{
    m_mode = Mode::Unattended;
    try {
        print();
        return 0;
    } catch (const PlatformError &error) {
        reportOnStandardError(QString::fromUtf8(error.what()));
    }
    return keepInFile();
}

void PrintoutDelivery::print()
{
    m_attemptStart = Clock::now();
    m_stopped = false;
    const auto closeWindow = qScopeGuard([this] { delete m_sending.data(); });
    m_printout.print();
}

bool PrintoutDelivery::keepWaiting(const std::string &printer)
{
    switch (m_mode) {
    case Mode::Pressing:
        return !m_quitOnSignals.signalled();
    case Mode::Unattended:
        return Clock::now() - m_attemptStart < unattendedPatience;
    case Mode::Asking:
        break;
    }
    if (m_stopped || m_quitOnSignals.signalled())
        return false;
    if (!m_sending && Clock::now() - m_attemptStart >= showWaitAfter) {
        m_sending = new QMessageBox(QMessageBox::Information, u"Jeerforge"_s, QString());
        m_sending->setTextFormat(Qt::PlainText);
        m_sending->setAttribute(Qt::WA_DeleteOnClose);
        m_sending->addButton(u"&Stop Waiting"_s, QMessageBox::RejectRole);
        // Its button and its title bar's close button alike stop the wait.
        QObject::connect(m_sending, &QDialog::finished, [this] { m_stopped = true; });
        m_sending->show();
    }
    if (m_sending) {
        m_sending->setText(printer.empty()
                               ? u"Sending the printout to the default printer…"_s
                               : u"Sending the printout to the printer \"%1\"…"_s.arg(QString::fromStdString(printer)));
        QCoreApplication::processEvents();
    }
    return !m_stopped && !m_quitOnSignals.signalled();
}

PrintoutDelivery::Choice PrintoutDelivery::ask(const QString &why)
{
    QMessageBox box(QMessageBox::Warning, u"Jeerforge"_s, why);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(u"The printout is kept until you choose. Retry sends it to the default printer again, "
                           u"Save as PDF… writes it to a file, and Discard closes Jeerforge without it."_s);
    QPushButton *retry = box.addButton(QMessageBox::Retry);
    retry->setText(u"&Retry"_s);
    const QPushButton *save = box.addButton(u"&Save as PDF…"_s, QMessageBox::ActionRole);
    QPushButton *discard = box.addButton(QMessageBox::Discard);
    discard->setText(u"&Discard"_s);
    box.setDefaultButton(retry);
    // With no escape button, neither Escape nor closing the window throws the printout away.
    box.exec();
    if (box.clickedButton() == save)
        return Choice::SaveAsPdf;
    return box.clickedButton() == discard ? Choice::Discard : Choice::Retry;
}

// Asks where to save the printout and saves it there. False when the user
// cancels or the file cannot be written; the user has been told why.
bool PrintoutDelivery::saveAs()
{
    const SaveChoice choice = askWhereToSave(documentsFolder());
    if (choice.path.isEmpty())
        return false;
    bool replace = choice.chooserConfirmed;
    if (!replace && QFileInfo::exists(choice.path)) {
        QMessageBox question(
            QMessageBox::Question, u"Jeerforge"_s,
            u"\"%1\" already exists. Do you want to replace it?"_s.arg(QFileInfo(choice.path).fileName()));
        question.setTextFormat(Qt::PlainText);
        question.setInformativeText(u"It is in \"%1\"."_s.arg(QFileInfo(choice.path).absolutePath()));
        const QPushButton *replaceButton = question.addButton(u"&Replace"_s, QMessageBox::AcceptRole);
        question.addButton(QMessageBox::Cancel);
        question.setDefaultButton(QMessageBox::Cancel);
        question.exec();
        if (question.clickedButton() != replaceButton)
            return false;
        replace = true;
    }
    try {
        m_printout.save(choice.path.toStdString(), replace);
        return true;
    } catch (const PlatformError &error) {
        reportError(nullptr, QString::fromUtf8(error.what()));
        return false;
    }
}

// The printout in a new file that replaces none, named after this moment: in
// the documents folder, or in the home folder where that cannot take it whole.
int PrintoutDelivery::keepInFile()
{
    QStringList folders{documentsFolder()};
    if (QDir(folders.constFirst()) != QDir::home())
        folders << QDir::homePath();
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH.mm.ss"_s);
    for (const QString &name : std::as_const(folders)) {
        const QDir folder(name);
        QString path = folder.filePath(u"Jeerforge insults %1.pdf"_s.arg(stamp));
        for (int copy = 2; QFileInfo::exists(path); ++copy)
            path = folder.filePath(u"Jeerforge insults %1 (%2).pdf"_s.arg(stamp, QString::number(copy)));
        try {
            m_printout.save(path.toStdString(), false);
            reportOnStandardError(u"The printout was not printed, so it is kept in \"%1\"."_s.arg(path));
            return 1;
        } catch (const PlatformError &error) {
            reportOnStandardError(QString::fromUtf8(error.what()) +
                                  (name == folders.constLast() ? u" The printout is lost."_s : QString()));
        }
    }
    return 1;
}
