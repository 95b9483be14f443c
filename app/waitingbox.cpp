// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "waitingbox.h"

#include "boxtext.h"
#include "messages.h"

#include <QMessageBox>

QMessageBox *showWaitingBox(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Jeerforge"), fewLines(text));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->addButton(Messages::stopWaiting(), QMessageBox::RejectRole);
    box->show();
    return box;
}
