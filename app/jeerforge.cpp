#include "jeerforge.h"

#include "frminsult.h"
#include "qtplatformservices.h"

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
    return QApplication::exec();
}
