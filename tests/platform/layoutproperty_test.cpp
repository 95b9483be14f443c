// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Whatever a person types, in whatever language setting, the printout's PDF
// is sound and gives back every line, in order: random words from every
// plane of Unicode, in both ways of laying the rows out, read back with qpdf
// and poppler. A longer run, by hand, from the build folder:
//   JEERFORGE_LAYOUT_SEEDS=2000 ctest --preset asan -R layoutproperty
// (JEERFORGE_LAYOUT_FIRST_SEED=N starts elsewhere; a failure names its seed.)
#include "pdflinewriter.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <clocale>
#include <random>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The language settings that the layout meets, made by the test suite with
// localedef (LOCPATH), among them the ones that write a decimal comma.
const std::array<const char *, 6> locales{"C.UTF-8",     "de_DE.UTF-8", "fr_FR.UTF-8",
                                          "ar_EG.UTF-8", "hi_IN.UTF-8", "ja_JP.UTF-8"};

// What a person may type or paste, each kind as likely as another: blanks,
// scripts of every direction and shape, emoji and a sequence joined by ZWJ,
// characters beyond the BMP, marks, controls, bidi controls, joiners and
// other ignorables, noncharacters, halves of surrogate pairs, unassigned and
// private characters, and any code point at all.
struct Kind
{
    char32_t first;
    char32_t last;
};
const std::array<Kind, 30> kinds{{
    {0x20, 0x20},     {0x21, 0x7E},       {0xC0, 0x24F},      {0x391, 0x3C9},     {0x410, 0x44F},
    {0x621, 0x64A},   {0x5D0, 0x5EA},     {0x905, 0x94D},     {0xE01, 0xE2E},     {0x4E00, 0x9FFF},
    {0xAC00, 0xD7A3}, {0x1F600, 0x1F64F}, {0x1D400, 0x1D433}, {0x20000, 0x2A6DF}, {0x300, 0x36F},
    {0x01, 0x1F},     {0x7F, 0x9F},       {0x2028, 0x2029},   {0x202A, 0x202E},   {0x2066, 0x2069},
    {0x200B, 0x200F}, {0xFE00, 0xFE0F},   {0xE0020, 0xE007F}, {0xFDD0, 0xFDEF},   {0xFFFE, 0xFFFF},
    {0xD800, 0xDFFF}, {0x378, 0x379},     {0x40000, 0x4FFFF}, {0xE000, 0xF8FF},   {0x20, 0x10FFFF},
}};

QString randomCharacter(std::mt19937 &random)
{
    if (std::bernoulli_distribution(0.02)(random))
        return u"\U0001F468\u200D\U0001F469\u200D\U0001F467"_s; // a family: a sequence joined by ZWJ
    const Kind kind = kinds.at(std::uniform_int_distribution<std::size_t>(0, kinds.size() - 1)(random));
    const char32_t c = std::uniform_int_distribution<char32_t>(kind.first, kind.last)(random);
    if (c >= 0xD800 && c <= 0xDFFF) // half a surrogate pair, as a QString may hold one
        return {QChar(char16_t(c))};
    return QString::fromUcs4(&c, 1);
}

// A line of up to 24 characters, which never begins with a mark: one there
// would join the end of the line before it.
QString randomLine(std::mt19937 &random)
{
    QString line;
    for (int length = std::uniform_int_distribution<int>(0, 24)(random); length > 0; --length)
        line += randomCharacter(random);
    const auto *const first = std::find_if(line.cbegin(), line.cend(), [](QChar c) {
        return c.isMark() || c.isLetterOrNumber() || c.isPunct() || c.isSymbol() || c.isSurrogate();
    });
    if (first != line.cend() && first->isMark())
        line.prepend(u'a');
    return line;
}

// Characters that mean nothing on the paper, as Unicode lists them: bidi
// controls, joiners, variation selectors, tags and the like.
bool ignorable(char32_t c)
{
    return c == 0xAD || c == 0x34F || c == 0x61C || (c >= 0x115F && c <= 0x1160) || (c >= 0x17B4 && c <= 0x17B5) ||
        (c >= 0x180B && c <= 0x180F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
        (c >= 0x2060 && c <= 0x206F) || c == 0x3164 || (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 ||
        (c >= 0xFFF0 && c <= 0xFFF8) || (c >= 0x1BCA0 && c <= 0x1BCA3) || (c >= 0x1D173 && c <= 0x1D17A) ||
        (c >= 0xE0000 && c <= 0xE0FFF);
}

// What copy and search give back of a typed line, in the order the page
// draws it, as the substitutions of the paper have it:
// - every control character and line separator is a blank, as in the box;
// - half a surrogate pair and a noncharacter are U+FFFD;
// - an ignorable character is dropped;
// - blanks are not compared, as pdftotext finds them from the gaps.
// Both sides are compared decomposed (NFD), as fonts compose differently.
QList<uint> comparable(const QString &text);

QList<uint> expectedText(const QString &line)
{
    QString text;
    for (const char32_t c : line.toUcs4()) {
        if ((c >= 0xD800 && c <= 0xDFFF) || (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE)
            text += QChar::ReplacementCharacter;
        else if (QChar::category(c) != QChar::Other_Control && c != 0x2028 && c != 0x2029)
            text += QString::fromUcs4(&c, 1);
    }
    return comparable(text);
}

QList<uint> comparable(const QString &text)
{
    QList<uint> kept;
    for (const uint c : text.normalized(QString::NormalizationForm_D).toUcs4()) {
        if (!QChar::isSpace(c) && !ignorable(c))
            kept << c;
    }
    return kept;
}

std::string codePoints(const QList<uint> &characters)
{
    std::string shown;
    for (const uint c : characters)
        shown += QString::number(c, 16).toStdString() + ' ';
    return shown;
}

struct ReadBack
{
    int exitCode = -1;
    QString output;
    QString errors;
};

ReadBack run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

int seedsToRun()
{
    bool ok = false;
    const int asked = qEnvironmentVariableIntValue("JEERFORGE_LAYOUT_SEEDS", &ok);
    return ok && asked > 0 ? asked : 48;
}

} // namespace

TEST(Layout, EveryTypedLineComesBackInOrderInEveryLanguageSetting)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(u"printout.pdf"_s);
    const int first = qEnvironmentVariableIntValue("JEERFORGE_LAYOUT_FIRST_SEED");
    for (int seed = first; seed < first + seedsToRun(); ++seed) {
        const char *locale = locales.at(std::size_t(seed) % locales.size());
        ASSERT_NE(std::setlocale(LC_ALL, locale), nullptr) << locale << " is not made (LOCPATH, localedef)";
        std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
        QStringList lines;
        for (int i = 0; i < 40; ++i)
            lines << randomLine(random);
        const auto layouts =
            seed % 2 == 0 ? PdfLineWriter::Layouts::Placed : PdfLineWriter::Layouts::Drawn; // both, by turns
        QString error;
        const auto writer = PdfLineWriter::open(PdfLineWriter::pageLayout(), u"DejaVu Sans"_s, error, layouts);
        ASSERT_TRUE(writer) << qPrintable(error);
        constexpr int presses = 3; // each line printed more than once, as presses print the batch again
        for (int press = 0; press < presses; ++press) {
            for (const QString &line : std::as_const(lines))
                writer->addLine(line);
        }
        const int pages = writer->pageCount();
        const QByteArray pdf = writer->finish(&error);
        std::setlocale(LC_ALL, "C.UTF-8");
        const std::string where = "seed " + std::to_string(seed) + " (" + locale + ")";
        ASSERT_FALSE(pdf.isEmpty()) << where << ": " << qPrintable(error);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size());
        file.close();

        const ReadBack checked = run(u"qpdf"_s, {u"--check"_s, path});
        EXPECT_EQ(checked.exitCode, 0) << where << ": " << qPrintable(checked.output + checked.errors);
        const ReadBack info = run(u"pdfinfo"_s, {path});
        EXPECT_TRUE(info.output.contains(QRegularExpression(u"\nPages: +%1\n"_s.arg(pages)))) << where;
        // In the order the pages draw it: pdftotext's own order guesses at
        // columns and lines where marks and mixed directions stack.
        const ReadBack text = run(u"pdftotext"_s, {u"-raw"_s, u"-enc"_s, u"UTF-8"_s, path, u"-"_s});
        ASSERT_EQ(text.exitCode, 0) << where << ": " << qPrintable(text.errors);
        EXPECT_TRUE(text.errors.isEmpty()) << where << ": " << qPrintable(text.errors);

        // Every line in turn, each with its own characters: in any order
        // within it, as pdftotext orders runs of mixed direction as it judges.
        const QList<uint> found = comparable(text.output);
        qsizetype at = 0;
        for (qsizetype row = 0; row < presses * lines.size() && !HasFailure(); ++row) {
            const QString &line = lines[row % lines.size()];
            QList<uint> wanted = expectedText(line);
            QList<uint> got = found.mid(at, wanted.size());
            at += wanted.size();
            std::sort(wanted.begin(), wanted.end());
            std::sort(got.begin(), got.end());
            EXPECT_EQ(codePoints(got), codePoints(wanted)) << where << ", row " << row << ": " << qPrintable(line);
        }
        EXPECT_EQ(at, found.size()) << where << ": more than was typed: " << codePoints(found.mid(at));
        if (HasFailure())
            return;
    }
}
