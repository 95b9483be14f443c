// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QMessageBox;
class QString;

/// Shows the window that says what Jeerforge waits for, modal to the whole
/// application, with Stop Waiting; its button and its title bar's close
/// button alike end it with QDialog::finished. It deletes itself once closed.
QMessageBox *showWaitingBox(const QString &text);
