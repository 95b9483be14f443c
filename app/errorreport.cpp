// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "errorreport.h"

#include <QMessageBox>

#include <cstdio>

void reportError(QWidget *parent, const QString &message)
{
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(message));
    QMessageBox::critical(parent, QStringLiteral("Jeerforge"), message);
}
