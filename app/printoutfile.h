// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

class PrintoutDocument;
class QDateTime;
class QDir;

/// The user's documents folder, or the home folder where there is none.
QString documentsFolder();

/// The first name in folder that nothing has, not even a dangling link:
/// "Jeerforge insults STAMP.pdf", then "Jeerforge insults STAMP (2).pdf",
/// "… (3).pdf" and so on.
QString unusedName(const QDir &folder, const QString &stamp);

/// Keeps the printout in a new file named after when: in the documents
/// folder, or in the home folder where that cannot take it whole. Standard
/// error says where, or why not, and whether the printer may have it after
/// all (reachedPrinter: it did, unconfirmed). Returns whether it was kept.
bool keepInFile(PrintoutDocument &printout, const QDateTime &when, bool reachedPrinter = false);
