// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "passworddialog.h"

#include "boxtext.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

using namespace Qt::StringLiterals;

std::optional<PrintJob::Credentials> askForPassword(const QString &who, const QString &user)
{
    QDialog dialog;
    dialog.setWindowTitle(u"Jeerforge"_s);
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    auto *form = new QFormLayout(&dialog);
    auto *question = new QLabel(fewLines(who), &dialog);
    question->setTextFormat(Qt::PlainText);
    question->setWordWrap(true);
    form->addRow(question);
    auto *name = new QLineEdit(user, &dialog);
    name->setAccessibleName(u"User name"_s);
    form->addRow(u"&User name:"_s, name);
    auto *password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    password->setAccessibleName(u"Password"_s);
    form->addRow(u"&Password:"_s, password);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    dialog.setMaximumWidth(dialog.screen()->availableGeometry().width() * 9 / 10);
    (name->text().isEmpty() ? name : password)->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PrintJob::Credentials{name->text().toStdString(), password->text().toStdString()};
}
