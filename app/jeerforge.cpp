// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jeerforge.h"

#include "frminsult.h"
#include "printoutdelivery.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"
#include "startup.h"

#include <QApplication>

#include <optional>

int runJeerforge(int &argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("Jeerforge"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;
    auto displayCheck = std::make_optional<DisplayCheck>();
    QApplication app(argc, argv);
    displayCheck.reset();
    QGuiApplication::setDesktopFileName(QStringLiteral(JEERFORGE_APP_ID));

    const QuitOnSignals quitOnSignals;
    QtPlatformServices services;
    PrintoutDelivery delivery(services.printout(), quitOnSignals);
    FrmInsult window(services, services.printout(), WordBank{});
    services.setDisplay(window.insultBox());
    // A signal asks no more prompts, and the program ends before its window shows.
    QObject::connect(&quitOnSignals, &QuitOnSignals::caught, &window, [&services] { services.stopAsking(); });

    window.load();
    delivery.startUpDone();
    int exitCode = 0;
    if (!quitOnSignals.signalled()) {
        window.show();
        exitCode = QApplication::exec();
        window.hide();
    }
    const int delivered = delivery.deliver();
    return delivered != 0 ? delivered : exitCode;
}
