// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jeerforge.h"

#include "frminsult.h"
#include "handover.h"
#include "messages.h"
#include "printerlookup.h"
#include "processhooks.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"
#include "startup.h"

#include <QApplication>

#include <algorithm>

int runJeerforge(int &argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Jeerforge"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;
    settleHomeFolder();
    // cppcheck-suppress unreadVariable ; the application lives until the program's end
    const std::unique_ptr<QApplication> application = startApplication(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(JEERFORGE_APP_ID));

    const QuitOnSignals quitOnSignals;
    QtPlatformServices services;
    HandOver handOver(services.printout(), services.printService(), quitOnSignals);
    // From now on, a display that goes away ends the program through handOver.
    const DisplayLossHooks displayLossHooks(handOver);
    FrmInsult window(services, WordBank{}, [&services](const WordBank &bank) -> std::optional<QString> {
        return services.printout().hasRoomFor(bank.Batch()) ? std::nullopt : std::optional(Messages::printoutFull());
    });
    services.setDisplay(window.insultBox());
    PrinterLookup printerLookup(services.printService(), services.printout(), quitOnSignals, &window);
    QObject::connect(&window, &FrmInsult::resultsPrinted, &printerLookup, &PrinterLookup::lookUp);
    QObject::connect(&printerLookup, &PrinterLookup::busy, &window, &FrmInsult::holdButtons);
    // A signal asks no more prompts, and the program ends before its window shows.
    QObject::connect(&quitOnSignals, &QuitOnSignals::caught, &window, [&services] { services.stopAsking(); });

    window.load();
    handOver.startUpDone();
    int exitCode = 0;
    if (!quitOnSignals.signalled()) {
        window.show();
        exitCode = QApplication::exec();
        window.hide();
    }
    const int delivered = handOver.deliver();
    return delivered != 0 ? delivered : exitCode;
}
