// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "errorreport.h"

#include <QMessageBox>
#include <QPushButton>

#include <cstdio>

using namespace Qt::StringLiterals;

void reportError(QWidget *parent, const QString &message)
{
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(message));
    QMessageBox::critical(parent, u"Jeerforge"_s, message);
}

bool askToRetryPrintout(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, u"Jeerforge"_s, message);
    box.setInformativeText(u"The printout is kept until you choose. Retry sends it again; "
                           u"Discard closes Jeerforge without printing it."_s);
    QPushButton *retry = box.addButton(QMessageBox::Retry);
    box.addButton(QMessageBox::Discard)->setText(u"&Discard"_s);
    retry->setText(u"&Retry"_s);
    box.setDefaultButton(retry);
    // With no escape button, neither Escape nor closing the window throws the printout away.
    box.exec();
    return box.clickedButton() == retry;
}
