#include "errorreport.h"

#include <QMessageBox>

#include <cstdio>

void reportError(QWidget *parent, const QString &message)
{
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(message));
    QMessageBox::critical(parent, QStringLiteral("Jeerforge"), message);
}
