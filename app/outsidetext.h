// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/// Text that came from outside Jeerforge (the print service's words, a
/// printer's name, an address or a path from the environment) as it may be
/// shown, in a dialog or on a terminal: every line break and tab as one
/// blank, every other control character, which a terminal would obey, as
/// U+FFFD, and no bidirectional controls, which would reorder what is shown.
QString plainText(const QString &text);

/// The same, as a name inside a sentence: isolated, so that right-to-left
/// text in it reorders nothing outside it.
QString isolatedName(const QString &text);
