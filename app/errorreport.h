// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QString;
class QWidget;

/// Tells the user that something went wrong: a message box on the desktop,
/// and the same text on standard error. The text is shown as it is, never
/// read as markup.
void reportError(QWidget *parent, const QString &message);

/// Tells standard error only, as "jeerforge: MESSAGE", for when nobody is
/// there to read a message box.
void reportOnStandardError(const QString &message);
