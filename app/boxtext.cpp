// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boxtext.h"

#include <QMessageBox>
#include <QString>

namespace {

// About six lines of a message box on an 800-pixel screen, and most of a line.
constexpr qsizetype mostCharacters = 300;
constexpr qsizetype longestRun = 60;

// Whether a line may break before c: not inside a surrogate pair, nor before a mark.
bool mayBreakBefore(QChar c)
{
    return !c.isLowSurrogate() && !c.isMark();
}

} // namespace

QString fewLines(const QString &text)
{
    QString cut = text;
    if (cut.size() > mostCharacters) {
        qsizetype end = mostCharacters;
        while (end > 0 && !mayBreakBefore(cut[end]))
            --end;
        const qsizetype blank = cut.lastIndexOf(u' ', end);
        cut = cut.left(blank > end - longestRun ? blank : end) + u'…';
    }
    QString shown;
    shown.reserve(cut.size() + cut.size() / longestRun);
    qsizetype run = 0;
    for (const QChar c : std::as_const(cut)) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > longestRun && mayBreakBefore(c)) {
            shown += QChar(0x200B); // a zero-width space, where the line may wrap
            run = 1;
        }
        shown += c;
    }
    return shown;
}

void sayInBox(QMessageBox &box, const QString &text)
{
    box.setTextFormat(Qt::PlainText);
    const QString shown = fewLines(text);
    box.setText(shown);
    if (shown != text)
        box.setDetailedText(text);
}
