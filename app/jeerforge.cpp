#include "jeerforge.h"

#include "errorreport.h"
#include "frminsult.h"
#include "qtplatformservices.h"
#include "quitonsignals.h"

#include <QApplication>

int runJeerforge(int &argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Jeerforge"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));

    QtPlatformServices services;
    FrmInsult window(services, WordBank{});
    services.setDisplay(window.insultBox());
    window.show();

    int exitCode = 0;
    {
        const QuitOnSignals quitOnSignals;
        exitCode = QApplication::exec();
    }
    window.hide();
    try {
        services.endPrintDocument();
    } catch (const PlatformError &error) {
        reportError(nullptr, QString::fromUtf8(error.what()));
        return 1;
    }
    return exitCode;
}
