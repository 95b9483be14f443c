// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QMessageBox;
class QString;

/// At most a few lines of text: cut short at a blank near its end, with "…",
/// and with places to wrap in every run too long for a line, so that a
/// dialog that shows it fits even a small screen.
QString fewLines(const QString &text);

/// Sets text, as plain text, as what the box says, in a few lines; where it
/// is longer, the whole of it is one click away, in the box's details.
void sayInBox(QMessageBox &box, const QString &text);
