// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QCoreApplication>
#include <QString>

struct PasswordRequest;
struct PrintResult;

/// What Jeerforge tells its user about the printout, every sentence whole
/// and through Qt's translation, in one place.
class Messages
{
    Q_DECLARE_TR_FUNCTIONS(Messages)

public:
    /// Why a print errand did not succeed.
    static QString whyNotPrinted(const PrintResult &result);
    /// A press found no printer: why, and that the printout is kept.
    static QString printoutKeptAtPress(const PrintResult &result);
    /// Who asks for a user name and password.
    static QString passwordWanted(const PasswordRequest &request);
    /// What a wait is for: the default printer looked for, or the printout sent.
    static QString waitingFor(bool sending, const QString &printer);
    /// The printout is being laid out, to be printed or saved.
    static QString preparing();
    static QString stopWaiting();
    /// The printout holds as much as it can: a press added nothing.
    static QString printoutFull();

    static QString choicesExplained();
    static QString retry();
    static QString saveAsPdf();
    static QString discard();

    static QString notSaved(const QString &path, const QString &reason);
    static QString notKept(const QString &path, const QString &reason, bool lost);
    /// The printout is kept in a file: not printed, or (reachedPrinter) not
    /// confirmed as printed.
    static QString keptIn(const QString &path, bool reachedPrinter);
    static QString alreadyExists(const QString &name);
    static QString inFolder(const QString &folder);
    static QString replace();
    static QString displayGoneDuringPrompts();
};
