// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "processhooks.h"

#include "handover.h"
#include "outsidetext.h"

#include <QApplication>
#include <QList>
#include <QLoggingCategory>
#include <QSettings>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

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
QString displayOption; // as given with -display, which Qt's xcb plugin takes before DISPLAY

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
                (value.isNull() ? u" unset"_s : u"=\""_s + plainText(QString::fromLocal8Bit(value)) + u'"');
        };
        const QString display =
            displayOption.isNull() ? shown("DISPLAY") : u"-display \""_s + plainText(displayOption) + u'"';
        std::fprintf(stderr,
                     "jeerforge: Jeerforge needs a graphical desktop, and Qt could not start its display "
                     "plugin: %s (%s, %s, %s).\n",
                     qPrintable(plainText(platformReason(text))), qPrintable(display),
                     qPrintable(shown("WAYLAND_DISPLAY")), qPrintable(shown("QT_QPA_PLATFORM")));
    } else {
        // Any other fatal message as Qt writes it, after what Qt said before, without an abort.
        std::for_each(heldMessages.cbegin(), heldMessages.cend(), writeHeld);
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
    std::fflush(stderr);
    std::_Exit(1);
}

// --- The end without display -------------------------------------------------
//
// The hooks below are process-wide, as Qt's ways of ending are; they reach
// the one HandOver through this, under the lock that its registration takes
// too, so that it cannot go while an end uses it.

std::mutex endLock;
HandOver *current = nullptr;

// Hands the printout over one last time and ends the process with the status
// the program's own end would have given; with no HandOver (any more), Qt's
// own end goes on. The first thread to come keeps the lock until the process
// is gone; any other, as Qt's threads may all see a lost display, waits on it.
void endNow()
{
    endLock.lock();
    if (!current) {
        endLock.unlock();
        return;
    }
    const int status = current->endWithoutDisplay();
    std::fflush(nullptr);
    std::_Exit(status);
}

// Qt's xcb plugin ends the process with exit() when the X server goes away
// (as when the session ends), which skips everything on the stack; only an
// atexit() hook still runs.
void endAtExit()
{
    endNow();
}

// --- The Wayland compositor going away ---------------------------------------
//
// Qt's Wayland plugin ends the process with _exit() when the compositor goes
// away, so no hook of exit() runs. Just before, it says so through the message
// handler ("The Wayland connection broke…", "… experienced a fatal error…"),
// on its event thread or the window's: that is the last moment the printout
// can still be handed over. The warning must reach the handler even where the
// user's logging rules turn it off, so a logging filter keeps it on, and the
// handler passes it on only where the user's rules would have.

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

// The logging filter: the compositor's warnings stay on, and what the user's
// rules said of them is kept.
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

// The message handler: every message as the user's rules have it, and the
// end when the compositor is gone.
void endIfCompositorLost(QtMsgType type, const QMessageLogContext &context, const QString &message)
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

} // namespace

std::unique_ptr<QApplication> startApplication(int &argc, char **argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "-display") == 0 || qstrcmp(argv[i], "--display") == 0)
            displayOption = QString::fromLocal8Bit(argv[i + 1]);
    }
    const QtMessageHandler handlerBeforeStart = qInstallMessageHandler(holdMessage);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(handlerBeforeStart);
    // Jeerforge keeps no settings, and Qt's dialogs keep none of theirs on
    // the disk either: where Qt would write them, no file can be.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, u"/dev/null"_s);
    for (const HeldMessage &message : std::as_const(heldMessages)) {
        const QByteArray category = message.category.toLatin1();
        const QMessageLogContext context(nullptr, 0, nullptr, category.constData());
        handlerBeforeStart(message.type, context, message.text);
    }
    heldMessages.clear();
    return application;
}

DisplayLossHooks::DisplayLossHooks(HandOver &handOver)
{
    {
        const std::scoped_lock lock(endLock);
        Q_ASSERT(!current);
        current = &handOver;
    }
    [[maybe_unused]] static const bool hooked = std::atexit(endAtExit) == 0;
    handlerBefore = qInstallMessageHandler(endIfCompositorLost);
    filterBefore = QLoggingCategory::installFilter(keepCompositorWarnings);
}

DisplayLossHooks::~DisplayLossHooks()
{
    QLoggingCategory::installFilter(filterBefore);
    qInstallMessageHandler(handlerBefore);
    // An end under way keeps the lock until the process is gone.
    const std::scoped_lock lock(endLock);
    current = nullptr;
}
