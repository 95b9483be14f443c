// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "errorreport.h"

#include "boxtext.h"

#include <QMessageBox>

#include <cstdio>

using namespace Qt::StringLiterals;

void reportOnStandardError(const QString &message)
{
    // The isolates that keep a name from reordering a dialog's sentence mean
    // nothing to a terminal, which sets text left to right.
    QString line = message;
    line.remove(QChar(0x2068)).remove(QChar(0x2069));
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(line));
}

void reportError(QWidget *parent, const QString &message)
{
    reportOnStandardError(message);
    QMessageBox box(QMessageBox::Critical, u"Jeerforge"_s, QString(), QMessageBox::Ok, parent);
    sayInBox(box, message);
    box.exec();
}
