// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutfile.h"

#include "errorreport.h"
#include "messages.h"
#include "printoutdocument.h"
#include "savewatch.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QString unusedName(const QDir &folder, const QString &stamp)
{
    const auto taken = [](const QString &path) {
        const QFileInfo file(path);
        return file.exists() || file.isSymLink();
    };
    QString path = folder.filePath(u"Jeerforge insults %1.pdf"_s.arg(stamp));
    for (int copy = 2; taken(path); ++copy)
        path = folder.filePath(u"Jeerforge insults %1 (%2).pdf"_s.arg(stamp, QString::number(copy)));
    return path;
}

bool keepInFile(PrintoutDocument &printout, const QDateTime &when, bool reachedPrinter)
{
    QStringList folders{documentsFolder()};
    if (QDir(folders.constFirst()) != QDir::home())
        folders << QDir::homePath();
    const QString stamp = when.toString(u"yyyy-MM-dd HH.mm.ss"_s);
    for (const QString &name : std::as_const(folders)) {
        const QString path = unusedName(QDir(name), stamp);
        const auto error = saveOffTheWindowsThread(printout, path, false, Watched::ByNobody);
        if (!error) {
            reportOnStandardError(Messages::keptIn(path, reachedPrinter));
            return true;
        }
        reportOnStandardError(Messages::notKept(path, *error, name == folders.constLast()));
    }
    return false;
}
