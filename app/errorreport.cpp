// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "errorreport.h"

#include <QMessageBox>

#include <cstdio>

using namespace Qt::StringLiterals;

void reportOnStandardError(const QString &message)
{
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(message));
}

void reportError(QWidget *parent, const QString &message)
{
    reportOnStandardError(message);
    QMessageBox box(QMessageBox::Critical, u"Jeerforge"_s, message, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
