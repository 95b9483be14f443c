// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "savedialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QScreen>

using namespace Qt::StringLiterals;

SaveChoice askWhereToSave(const QString &folder)
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
    const QString chosen = dialog.selectedFiles().constFirst();
    if (QFileInfo(chosen).suffix().isEmpty())
        return {chosen + u".pdf"_s, false};
    return {chosen, true};
}
