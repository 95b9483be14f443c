// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the window's event loop keeps turning while a Print Results press
// waits for a print service that never answers: the longest gap between two
// turns, from the click until the press gives up. The window, the look-up
// and the waiting box are the program's own; CUPS_SERVER names the silent
// service (bench/run.sh starts one). Run offscreen.
#include "frminsult.h"
#include "printerlookup.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class AnsweredPrompts : public QtPlatformServices
{
public:
    std::string AskText(const std::string & /*prompt*/) override { return "everyone knows that you"; }
};

struct Press
{
    double longestGapMs = 0;
    double givenUpAfterMs = 0;
};

// One press, timed by a 5 ms timer on the window's thread; the message that
// the press ends with is answered.
Press timePress(QPushButton *print, PrinterLookup &lookup)
{
    Press press;
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    QTimer turns;
    turns.setTimerType(Qt::PreciseTimer);
    turns.setInterval(5);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        press.longestGapMs = std::max(press.longestGapMs, static_cast<double>(now - lastTurn) / 1e6);
        lastTurn = now;
    });
    QEventLoop untilAnswered;
    bool waiting = true;
    const QMetaObject::Connection ended = QObject::connect(&lookup, &PrinterLookup::busy, [&](bool busy) {
        if (busy || !waiting)
            return;
        waiting = false;
        turns.stop();
        press.givenUpAfterMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    });
    QTimer answer;
    answer.setInterval(50);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()); box && !waiting)
            box->accept();
        else if (!waiting && !QApplication::activeModalWidget())
            untilAnswered.quit();
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        turns.start();
        answer.start();
        QTest::mouseClick(print, Qt::LeftButton);
    });
    untilAnswered.exec();
    QObject::disconnect(ended);
    return press;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QuitOnSignals quitOnSignals;
    AnsweredPrompts services;
    FrmInsult window(services, WordBank{});
    services.setDisplay(window.insultBox());
    PrinterLookup lookup(services.printService(), services.printout(), quitOnSignals, &window);
    QObject::connect(&window, &FrmInsult::resultsPrinted, &lookup, &PrinterLookup::lookUp);
    QObject::connect(&lookup, &PrinterLookup::busy, &window, &FrmInsult::holdButtons);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    auto *print = window.findChild<QPushButton *>(QStringLiteral("cmdPrint"));

    constexpr int presses = 3;
    double longest = 0;
    double givenUp = 0;
    for (int i = 0; i < presses; ++i) {
        const Press press = timePress(print, lookup);
        longest = std::max(longest, press.longestGapMs);
        givenUp = std::max(givenUp, press.givenUpAfterMs);
    }
    std::printf("| a press against a print service that never answers: longest gap between two turns of the "
                "event loop (worst of %d presses, goal under 100 ms) | %.1f ms |\n",
                presses, longest);
    std::printf("| the same press gives up after (goal within 10 s) | %.2f s |\n", givenUp / 1000);
    return 0;
}
