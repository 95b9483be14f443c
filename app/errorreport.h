// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QString;
class QWidget;

/// Tells the user that something went wrong: a message box on the desktop,
/// and the same text on standard error.
void reportError(QWidget *parent, const QString &message);

/// Tells the user that the printout did not reach the printer, and why, and
/// asks whether to try again: true for Retry, false for Discard. Only a
/// choice, or the end of the event loops, closes the message.
[[nodiscard]] bool askToRetryPrintout(const QString &message);
