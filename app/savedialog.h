// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/// Where the user chose to save the printout: the path, with ".pdf" added
/// where the chosen name has none, and whether a file there may be replaced
/// (the user said so, in the file chooser or when asked). An empty path when
/// the user cancelled.
struct SaveChoice
{
    QString path;
    bool replace = false;
};

/// Asks where to save the printout, in the desktop's own file chooser where
/// it has one (GNOME's, the portal's) or else Qt's, which fits the screen.
/// It opens in folder with "Jeerforge insults.pdf" suggested. Where a file
/// has the name with ".pdf" added, which the chooser did not see, the user
/// is asked whether to replace it.
SaveChoice askWhereToSave(const QString &folder);
