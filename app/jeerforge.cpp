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

// Hands the print document to the printer as the program ends. While someone
// can answer, a failure asks whether to try again, as often as they like;
// once the session is ending it is only reported. Returns whether the
// printout, if there was one, reached the printer.
bool deliverPrintout(QtPlatformServices &services, const QuitOnSignals &ending)
{
    for (;;) {
        try {
            services.endPrintDocument();
            return true;
        } catch (const PlatformError &error) {
            std::fprintf(stderr, "jeerforge: %s\n", error.what());
            if (ending.sessionEnding() || !askToRetryPrintout(QString::fromUtf8(error.what()))) {
                services.discardPrintDocument();
                return false;
            }
        }
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
    bool delivered = true;
    {
        const QuitOnSignals quitOnSignals;
        exitCode = QApplication::exec();
        window.hide();
        delivered = deliverPrintout(services, quitOnSignals);
    }
    servicesAtExit = nullptr;
    return delivered ? exitCode : 1;
}
