// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jeerforge.h"

#include "frminsult.h"
#include "printoutdelivery.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"

#include <QApplication>

int runJeerforge(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Jeerforge"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral(JEERFORGE_APP_ID));

    const QuitOnSignals quitOnSignals;
    QtPlatformServices services;
    PrintoutDelivery delivery(services.printout(), quitOnSignals);
    FrmInsult window(services, services.printout(), WordBank{});
    services.setDisplay(window.insultBox());
    // A signal during the prompts asks no more of them and ends the program
    // before its window shows.
    const auto duringPrompts = QObject::connect(&quitOnSignals, &QuitOnSignals::caught, &window, [&] {
        services.stopAsking();
        window.setAttribute(Qt::WA_DontShowOnScreen);
    });
    window.show();
    QObject::disconnect(duringPrompts);

    const int exitCode = quitOnSignals.signalled() ? 0 : QApplication::exec();
    window.hide();
    const int delivered = delivery.deliver();
    return delivered != 0 ? delivered : exitCode;
}
