// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "outsidetext.h"

namespace {

bool breaksTheLine(char16_t c)
{
    return c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r' || c == 0x85 || c == 0x2028 ||
        c == 0x2029;
}

// The embeddings, overrides and isolates, and the marks that stand for them.
bool controlsDirection(char16_t c)
{
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E || c == 0x200F || c == 0x061C;
}

} // namespace

QString plainText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            shown += c;
            shown += text[++i];
        } else if (breaksTheLine(c.unicode())) {
            shown += u' ';
        } else if (c.category() == QChar::Other_Control || c.isSurrogate()) {
            shown += QChar::ReplacementCharacter;
        } else if (!controlsDirection(c.unicode())) {
            shown += c;
        }
    }
    return shown;
}

QString isolatedName(const QString &text)
{
    return QChar(0x2068) + plainText(text) + QChar(0x2069);
}
