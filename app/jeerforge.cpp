// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "jeerforge.h"

#include "errorreport.h"
#include "frminsult.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt ends the process with exit() when the display goes away (the X server
// stops as the session ends), which skips everything on the stack. This is
// how the print document still reaches the printer then.
QtPlatformServices *servicesAtExit = nullptr;

void endPrintDocumentAtExit()
{
    if (!servicesAtExit)
        return;
    try {
        servicesAtExit->endPrintDocument();
    } catch (const PlatformError &error) {
        std::fprintf(stderr, "jeerforge: %s\n", error.what());
    }
}

} // namespace

int runJeerforge(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Jeerforge"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral(JEERFORGE_APP_ID));

    QtPlatformServices services;
    FrmInsult window(services, WordBank{});
    services.setDisplay(window.insultBox());
    window.show();

    servicesAtExit = &services;
    std::atexit(endPrintDocumentAtExit);
    int exitCode = 0;
    {
        const QuitOnSignals quitOnSignals;
        exitCode = QApplication::exec();
    }
    servicesAtExit = nullptr;
    window.hide();
    try {
        services.endPrintDocument();
    } catch (const PlatformError &error) {
        reportError(nullptr, QString::fromUtf8(error.what()));
        return 1;
    }
    return exitCode;
}
