// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "handover.h"

#include "errorreport.h"
#include "jobwatch.h"
#include "messages.h"
#include "printbudget.h"
#include "printoutdocument.h"
#include "printservice.h"
#include "quitonsignals.h"
#include "savedialog.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QList>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// The hooks below are process-wide, as Qt's ways of ending are; they reach
// the one HandOver through this.
HandOver *current = nullptr;

// --- Qt failing to start its display plugin ---------------------------------
//
// Qt reports that with qFatal(), which aborts with a core dump. Only a message
// handler sees it first, so one holds Qt's messages while the application is
// made, and says Qt's reason in one line.

struct HeldMessage
{
    QtMsgType type;
    QString category;
    QString text;
};
QList<HeldMessage> heldMessages;
QtMessageHandler handlerBeforeStart = nullptr;

// Qt's own reason for not starting its platform, in one line: what it said
// about the plugin and the display it tried, and the plugins there are.
QString platformReason(const QString &fatal)
{
    QStringList reasons;
    for (const HeldMessage &message : std::as_const(heldMessages)) {
        if (message.type != QtDebugMsg && message.type != QtInfoMsg)
            reasons << message.text.simplified();
    }
    const qsizetype available = fatal.indexOf(u"Available platform plugins are:"_s);
    if (available >= 0)
        reasons << fatal.mid(available).simplified();
    for (QString &reason : reasons) {
        if (reason.endsWith(u'.'))
            reason.chop(1);
    }
    return reasons.join(u"; "_s);
}

void writeHeld(const HeldMessage &message)
{
    const QByteArray category = message.category.toLatin1();
    const QMessageLogContext held(nullptr, 0, nullptr, category.constData());
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(message.type, held, message.text)));
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        heldMessages.append({type, QString::fromLatin1(context.category), text});
        return;
    }
    if (text.contains(u"no Qt platform plugin could be initialized"_s)) {
        const auto shown = [](const char *name) {
            const QByteArray value = qgetenv(name);
            return QString::fromLatin1(name) +
                (value.isNull() ? u" unset"_s : u"=\""_s + QString::fromLocal8Bit(value) + u'"');
        };
        std::fprintf(stderr,
                     "jeerforge: Jeerforge needs a graphical desktop, and Qt could not start its display "
                     "plugin: %s (%s, %s, %s).\n",
                     qPrintable(platformReason(text)), qPrintable(shown("DISPLAY")),
                     qPrintable(shown("WAYLAND_DISPLAY")), qPrintable(shown("QT_QPA_PLATFORM")));
    } else {
        // Any other fatal message as Qt writes it, after what Qt said before, without an abort.
        std::for_each(heldMessages.cbegin(), heldMessages.cend(), writeHeld);
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
    std::fflush(stderr);
    std::_Exit(1);
}

// --- The Wayland compositor going away ---------------------------------------
//
// Qt's Wayland plugin ends the process with _exit() when the compositor goes
// away, so no hook of exit() runs. Just before, it says so through the message
// handler ("The Wayland connection broke…", "… experienced a fatal error…"):
// that is the last moment the printout can still be handed over. The warning
// must reach the handler even where the user's logging rules turn it off, so a
// logging filter keeps it on, and the handler passes it on only where the
// user's rules would have.

struct WatchedCategory
{
    const char *name;
    bool userWantsWarnings;
};
std::array<WatchedCategory, 2> watchedCategories{{{"default", true}, {"qt.qpa.wayland", true}}};
QLoggingCategory::CategoryFilter filterBefore = nullptr;
QtMessageHandler handlerBefore = nullptr;

WatchedCategory *watched(const char *category)
{
    auto *const found = std::find_if(watchedCategories.begin(), watchedCategories.end(),
                                     [category](const WatchedCategory &w) { return qstrcmp(category, w.name) == 0; });
    return found == watchedCategories.end() ? nullptr : found;
}

void keepCompositorWarnings(QLoggingCategory *category)
{
    if (filterBefore)
        filterBefore(category);
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

} // namespace

// Hands the printout over one last time and ends the process with the status
// the program's own end would have given. The first thread to come does it;
// any other waits for the end, as Qt's threads may see a lost display at once.
void HandOver::endNow()
{
    static std::atomic_flag ending;
    if (ending.test_and_set()) {
        for (;;)
            ::pause();
    }
    int status = 0;
    if (HandOver *handOver = std::exchange(current, nullptr))
        status = handOver->endWithoutDisplay();
    std::fflush(nullptr);
    std::_Exit(status);
}

// Qt's xcb plugin ends the process with exit() when the X server goes away
// (as when the session ends), which skips everything on the stack; only an
// atexit() hook still runs.
void HandOver::endAtExit()
{
    if (current)
        endNow();
}

void HandOver::endIfCompositorLost(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const bool lost = message.startsWith(u"The Wayland connection "_s);
    // Qt's event thread and the window's thread may both find the connection
    // broken; the user is told once.
    static std::atomic_flag told;
    if (!userSilenced(type, context) && !(lost && told.test_and_set()))
        handlerBefore(type, context, message);
    if (lost)
        endNow();
}

std::unique_ptr<QApplication> HandOver::startApplication(int &argc, char **argv)
{
    handlerBeforeStart = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(handlerBeforeStart);
    for (const HeldMessage &message : std::as_const(heldMessages)) {
        const QByteArray category = message.category.toLatin1();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        handlerBeforeStart(message.type, context, message.text);
    }
    heldMessages.clear();
    return application;
}

HandOver::HandOver(PrintoutDocument &printout, PrintService &service, const QuitOnSignals &quitOnSignals)
    : m_printout(printout)
    , m_service(service)
    , m_quitOnSignals(quitOnSignals)
{
    Q_ASSERT(!current);
    [[maybe_unused]] static const bool hooked = std::atexit(endAtExit) == 0;
    current = this;
    handlerBefore = qInstallMessageHandler(endIfCompositorLost);
    filterBefore = QLoggingCategory::installFilter(keepCompositorWarnings);
}

HandOver::~HandOver()
{
    QLoggingCategory::installFilter(filterBefore);
    qInstallMessageHandler(handlerBefore);
    current = nullptr;
}

int HandOver::deliver()
{
    if (m_quitOnSignals.signalled())
        return deliverUnattended();
    for (;;) {
        QString why;
        if (print(why))
            return 0;
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

// One attempt, watched by the user: true once the printer holds the
// printout, else why not.
bool HandOver::print(QString &why)
{
    if (!m_printout.pending())
        return true;
    JobWatch attempt(m_service.print(m_printout.copy(), PrintBudget::attempt), m_quitOnSignals);
    m_attempt = &attempt;
    const PrintResult result = attempt.wait();
    m_attempt = nullptr;
    if (result.paper.isValid())
        m_printout.setPaper(result.paper);
    if (result.outcome == PrintResult::Outcome::Printed) {
        m_printout.discard();
        return true;
    }
    why = Messages::whyNotPrinted(result);
    return false;
}

int HandOver::endWithoutDisplay()
{
    if (!m_startedUp) {
        reportOnStandardError(Messages::displayGoneDuringPrompts());
        return 1;
    }
    return deliverUnattended();
}

// With nobody to ask: to the printer if it takes the printout at once, else
// into a new file. An attempt under way is waited for, and never doubled.
int HandOver::deliverUnattended()
{
    if (!m_printout.pending())
        return 0;
    PrintResult result;
    if (m_attempt && !m_attempt->job().isFinished())
        result = m_attempt->job().waitWithoutEvents(PrintBudget::unattended);
    if (result.outcome != PrintResult::Outcome::Printed)
        result = m_service.print(m_printout.copy(), PrintBudget::unattended)->run();
    if (result.outcome == PrintResult::Outcome::Printed) {
        m_printout.discard();
        return 0;
    }
    reportOnStandardError(Messages::whyNotPrinted(result));
    return keepInFile();
}

HandOver::Choice HandOver::ask(const QString &why)
{
    QMessageBox box(QMessageBox::Warning, u"Jeerforge"_s, why);
    box.setTextFormat(Qt::PlainText);
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

namespace {

// The user's documents folder, or the home folder where there is none.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

// Asks where to save the printout and saves it there. False when the user
// cancels or the file cannot be written; the user has been told why.
bool HandOver::saveAs()
{
    const SaveChoice choice = askWhereToSave(documentsFolder());
    if (choice.path.isEmpty())
        return false;
    bool replace = choice.chooserConfirmed;
    if (!replace && QFileInfo::exists(choice.path)) {
        QMessageBox question(QMessageBox::Question, u"Jeerforge"_s,
                             Messages::alreadyExists(QFileInfo(choice.path).fileName()));
        question.setTextFormat(Qt::PlainText);
        question.setInformativeText(Messages::inFolder(QFileInfo(choice.path).absolutePath()));
        const QPushButton *replaceButton = question.addButton(Messages::replace(), QMessageBox::AcceptRole);
        question.addButton(QMessageBox::Cancel);
        question.setDefaultButton(QMessageBox::Cancel);
        question.exec();
        if (question.clickedButton() != replaceButton)
            return false;
        replace = true;
    }
    if (const auto error = m_printout.save(choice.path, replace)) {
        reportError(nullptr, Messages::notSaved(choice.path, *error));
        return false;
    }
    return true;
}

// The printout in a new file that replaces none, named after this moment: in
// the documents folder, or in the home folder where that cannot take it whole.
int HandOver::keepInFile()
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
        const auto error = m_printout.save(path, false);
        if (!error) {
            reportOnStandardError(Messages::keptIn(path));
            return 1;
        }
        reportOnStandardError(Messages::notKept(path, *error, name == folders.constLast()));
    }
    return 1;
}
