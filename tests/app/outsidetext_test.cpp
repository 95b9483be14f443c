// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What comes from outside is shown as text: nothing a terminal would obey,
// nothing that reorders a sentence, no line of its own, and no more than a
// few lines in a dialog.
#include "boxtext.h"
#include "outsidetext.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct Outside
{
    const char *what;
    QString sent;
    QString shown;
};

void PrintTo(const Outside &outside, std::ostream *out)
{
    *out << outside.what;
}

class PlainText : public ::testing::TestWithParam<Outside>
{};

const QString everyScript = u"مرحبا हिन्दी 日本 🥹"_s;

} // namespace

TEST_P(PlainText, ShowsOnlyText)
{
    const Outside o = GetParam();
    EXPECT_EQ(plainText(o.sent), o.shown) << plainText(o.sent).toStdString();
    EXPECT_EQ(isolatedName(o.sent), QChar(0x2068) + o.shown + QChar(0x2069));
}

INSTANTIATE_TEST_SUITE_P(
    EscapesBidiControlsAndLineBreaks, PlainText,
    ::testing::Values(
        Outside{"TerminalTitle", u"\x1b]0;owned\aHP"_s, u"\uFFFD]0;owned\uFFFDHP"_s},
        Outside{"ClipboardWrite", u"\x1b]52;c;aGk=\a"_s, u"\uFFFD]52;c;aGk=\uFFFD"_s},
        Outside{"ClearScreenAndColours", u"\x1b[2J\x1b[31mred\x7f"_s, u"\uFFFD[2J\uFFFD[31mred\uFFFD"_s},
        Outside{"C1ControlSequence", u"\u009b2J"_s, u"\uFFFD2J"_s},
        Outside{"BackspacesAndABareCarriageReturn", u"ok\b\b\rfake"_s, u"ok\uFFFD\uFFFD fake"_s},
        Outside{"LinesOfItsOwn", u"Ready.\nOk, job completed.\u2028\t"_s, u"Ready. Ok, job completed.  "_s},
        Outside{"RightToLeftOverride", u"HP LaserJet\u202E tnirp ton od"_s, u"HP LaserJet tnirp ton od"_s},
        Outside{"IsolatesAndMarks", u"a\u2066b\u2069c\u200F\u061C"_s, u"abc"_s},
        Outside{"HalfASurrogatePair", QString(QChar(0xD83E)) + u"x"_s, u"\uFFFDx"_s},
        Outside{"WordsInEveryScriptStay", everyScript, everyScript}),
    [](const auto &test) { return std::string(test.param.what); });

TEST(FewLines, ALongTextIsCutAtABlankAndALongWordMayWrap)
{
    EXPECT_EQ(fewLines(u"The printer refused it."_s), u"The printer refused it."_s);

    const QString reason = u"out of paper "_s.repeated(2500);
    const QString cut = fewLines(reason);
    EXPECT_LE(cut.size(), 301);
    EXPECT_TRUE(cut.endsWith(u"paper…"_s)) << cut.toStdString();

    const QString word(500, u'x');
    const QStringList rows = fewLines(word).split(QChar(0x200B));
    EXPECT_EQ(rows.join(QString()), word.left(300) + u'…');
    for (const QString &row : rows)
        EXPECT_LE(row.size(), 61);
    const QString pairs = u"🥹"_s.repeated(200);
    EXPECT_FALSE(fewLines(pairs).contains(QString(QChar(0xD83E)) + QChar(0x200B))) << "never inside a pair";
}
