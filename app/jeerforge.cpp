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

    QtPlatformServices services;
    FrmInsult window(services, services.printout(), WordBank{});
    services.setDisplay(window.insultBox());
    window.show();

    PrintoutDelivery delivery(services.printout());
    const QuitOnSignals quitOnSignals;
    const int exitCode = QApplication::exec();
    window.hide();
    const int delivered = delivery.deliver(quitOnSignals);
    return delivered != 0 ? delivered : exitCode;
}
