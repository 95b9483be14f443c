// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "savedialog.h"

#include "boxtext.h"
#include "messages.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

QString chooseFile(const QString &folder)
{
    // The folder and the name go separately: a portal takes only a name to suggest.
    QFileDialog dialog(nullptr, u"Save the printout as PDF"_s, folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(u"PDF documents (*.pdf)"_s);
    // No default suffix: Qt would add it after a native chooser had checked the name without it.
    dialog.selectFile(u"Jeerforge insults.pdf"_s);
    dialog.setAttribute(Qt::WA_QuitOnClose, false);
    // Qt's own dialog is larger than a small or scaled screen; its name line and buttons stay on it.
    const QRect available = dialog.screen()->availableGeometry();
    const QSize room = available.size() * 9 / 10;
    dialog.setMaximumSize(room);
    dialog.resize(dialog.sizeHint().boundedTo(room));
    dialog.move(available.center() - dialog.rect().center());

    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

bool replaceConfirmed(const QFileInfo &file)
{
    QMessageBox question(QMessageBox::Question, u"Jeerforge"_s, fewLines(Messages::alreadyExists(file.fileName())));
    question.setTextFormat(Qt::PlainText);
    question.setInformativeText(fewLines(Messages::inFolder(file.absolutePath())));
    // A folder's name is text, whatever markup it looks like; the box makes its informative label anew.
    if (auto *informative = question.findChild<QLabel *>(u"qt_msgbox_informativelabel"_s))
        informative->setTextFormat(Qt::PlainText);
    const QPushButton *replaceButton = question.addButton(Messages::replace(), QMessageBox::AcceptRole);
    question.addButton(QMessageBox::Cancel);
    question.setDefaultButton(QMessageBox::Cancel);
    question.exec();
    return question.clickedButton() == replaceButton;
}

} // namespace

SaveChoice askWhereToSave(const QString &folder)
{
    const QString chosen = chooseFile(folder);
    if (chosen.isEmpty())
        return {};
    // The chooser itself asked about replacing only the name it returned as it is.
    if (!QFileInfo(chosen).suffix().isEmpty())
        return {chosen, true};
    const QFileInfo withSuffix(chosen + u".pdf"_s);
    if (withSuffix.exists() && !replaceConfirmed(withSuffix))
        return {};
    return {withSuffix.filePath(), withSuffix.exists()};
}
