// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

/// Where the user chose to save the printout: the path, with ".pdf" added
/// where the chosen name has none, and whether the file chooser itself asked
/// about replacing a file there (it did only for the name it returned as it
/// is). An empty path when the user cancelled.
struct SaveChoice
{
    QString path;
    bool chooserConfirmed = false;
};

/// Asks where to save the printout, in the desktop's own file chooser where
/// it has one (GNOME's, the portal's) or else Qt's, which fits the screen.
/// It opens in folder with "Jeerforge insults.pdf" suggested.
SaveChoice askWhereToSave(const QString &folder);
