// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdflinewriter.h"
#include "qtplatformservices.h"

#include <QDir>
#include <QFontDatabase>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What a poppler tool prints about the PDF, which its arguments name "PDF".
QString poppler(const QString &tool, QStringList arguments, const QByteArray &pdf)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"document.pdf"_s));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    arguments.replace(arguments.indexOf(u"PDF"_s), file.fileName());
    QProcess process;
    process.start(tool, arguments);
    EXPECT_TRUE(process.waitForFinished());
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of the PDF's pages first to last (all pages when last is 0), as
// pdftotext reads it, with ligatures such as "fi" taken apart again.
QString textOf(const QByteArray &pdf, int first = 1, int last = 0)
{
    QStringList arguments{u"-enc"_s, u"UTF-8"_s, u"-f"_s, QString::number(first)};
    if (last > 0)
        arguments << u"-l"_s << QString::number(last);
    return poppler(u"pdftotext"_s, arguments << u"PDF"_s << u"-"_s, pdf).normalized(QString::NormalizationForm_KC);
}

QString withoutSpace(QString text)
{
    return text.remove(QRegularExpression(u"\\s"_s));
}

} // namespace

TEST(PdfLineWriter, EmptyLinesTakeTheirRowsAndAFullPageGoesOnToTheNext)
{
    PdfLineWriter document;
    document.addLine(u"first line"_s);
    for (int i = 0; i < 98; ++i)
        document.addLine(QString());
    document.addLine(u"hundredth line"_s);
    document.addLine(u"after the hundredth"_s);
    ASSERT_EQ(document.pageCount(), 2);

    const QByteArray pdf = document.finish();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(textOf(pdf, 1, 1).contains(u"first line"_s));
    EXPECT_TRUE(textOf(pdf, 2, 2).contains(u"hundredth line\nafter the hundredth"_s));
}

TEST(PdfLineWriter, ALineWiderThanThePageWrapsAndKeepsEveryCharacter)
{
    QString unbroken;
    for (int i = 0; i < 100; ++i)
        unbroken += u"unbroken"_s;
    const QString words = QString(u"words that wrap "_s).repeated(40);

    PdfLineWriter document;
    document.addLine(unbroken);
    document.addLine(words);
    document.addLine(u"next slot"_s);
    const QString text = textOf(document.finish());

    EXPECT_TRUE(withoutSpace(text).startsWith(unbroken + withoutSpace(words) + u"nextslot"_s)) << qPrintable(text);
    EXPECT_GE(text.count(u'\n'), 3 + 8) << "800 characters of either kind need several rows";
}

TEST(PdfLineWriter, TextOutsideAsciiReachesThePaper)
{
    const QStringList lines{u"Grüße, naïve façade"_s, u"быстрая собака"_s, u"ταχύς σκύλος"_s};
    PdfLineWriter document;
    for (const QString &line : lines)
        document.addLine(line);
    const QString text = textOf(document.finish());
    for (const QString &line : lines)
        EXPECT_TRUE(text.contains(line)) << qPrintable(line) << " in " << qPrintable(text);
}

// The box shows control characters as blanks and sets right-to-left text
// against its right edge; so does the paper, on A4 with 2 cm margins.
TEST(PdfLineWriter, ALineLooksAsInTheBox)
{
    PdfLineWriter document;
    document.addLine(u"first\nsecond\tTAB\rthird"_s);
    document.addLine(u"\u05E9\u05DC\u05D5\u05DD world"_s);
    const QByteArray pdf = document.finish();
    EXPECT_TRUE(textOf(pdf).startsWith(u"first second TAB third\n"_s)) << qPrintable(textOf(pdf));

    const QRegularExpression line(uR"re(<line xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)")re"_s);
    auto rows = line.globalMatch(poppler(u"pdftotext"_s, {u"-bbox-layout"_s, u"PDF"_s, u"-"_s}, pdf));
    ASSERT_TRUE(rows.hasNext());
    EXPECT_NEAR(rows.next().captured(1).toDouble(), 56.7, 1) << "left to right: from the left margin";
    ASSERT_TRUE(rows.hasNext());
    EXPECT_NEAR(rows.next().captured(2).toDouble(), 595.3 - 56.7, 1) << "right to left: up to the right margin";
}

// An emoji from an outline font is drawn from it; one that only a colour
// font has (U+1F979, newer than Symbola) becomes a picture rather than a gap.
TEST(PdfLineWriter, EmojiReachThePaper)
{
    if (!QFontDatabase::families().contains(u"Noto Color Emoji"_s))
        GTEST_SKIP() << "no colour emoji font here (fonts-noto-color-emoji)";
    PdfLineWriter document;
    document.addLine(u"fox \U0001F98A tears \U0001F979"_s);
    const QByteArray pdf = document.finish();
    if (QFontDatabase::families().contains(u"Symbola"_s)) {
        EXPECT_TRUE(poppler(u"pdffonts"_s, {u"PDF"_s}, pdf).contains(u"Symbola"_s));
    }
    const QString images = poppler(u"pdfimages"_s, {u"-list"_s, u"PDF"_s}, pdf);
    EXPECT_EQ(images.count(QRegularExpression(u"\\n *\\d+ +\\d+ +image "_s)), 1) << qPrintable(images);
}

TEST(PdfLineWriter, ABatchOfPresses)
{
    PdfLineWriter document;
    for (int line = 0; line < 200; ++line)
        document.addLine(line % 100 < 3 ? u"sentence %1"_s.arg(line) : QString());
    EXPECT_EQ(document.pageCount(), 4) << "100 lines fill two pages, again for the second press";
}

TEST(PrintoutDocument, WithoutAPrintServiceTheLinesAreKeptAndSavedWholeButNeverOverAFileUnasked)
{
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", nowhere.filePath(u"no-cupsd-here.sock"_s).toLocal8Bit());
    qputenv("HOME", nowhere.path().toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");

    QtPlatformServices services;
    PrintoutDocument &printout = services.printout();
    const PrintResult found = services.printService().findPrinter(std::chrono::seconds(10))->run();
    EXPECT_EQ(found.outcome, PrintResult::Outcome::Unreachable);
    EXPECT_TRUE(found.server.endsWith(u"no-cupsd-here.sock"_s)) << qPrintable(found.server);
    services.PrintLine("an insult");
    const PrintResult sent = services.printService().print(printout.copy(), std::chrono::seconds(30))->run();
    EXPECT_EQ(sent.outcome, PrintResult::Outcome::Unreachable);
    ASSERT_TRUE(printout.pending());

    const QString path = nowhere.filePath(u"mine.pdf"_s);
    QFile mine(path);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
    mine.close();
    EXPECT_TRUE(printout.save(path, false).has_value());
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    mine.close();

    // A disk that cannot take the document: the size limit stands in for a full disk.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlim_t unlimited = limit.rlim_cur;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = 2048;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    for (const bool replace : {true, false}) {
        const QString target = replace ? path : nowhere.filePath(u"new.pdf"_s);
        EXPECT_EQ(printout.save(target, replace).value_or(u"saved"_s), u"File too large"_s)
            << "on a disk that cannot take it";
        EXPECT_TRUE(printout.pending());
    }
    limit.rlim_cur = unlimited;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    std::signal(SIGXFSZ, previous);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine") << "the user's file stays as it was";
    mine.close();
    EXPECT_EQ(QDir(nowhere.path()).entryList(QDir::Files), QStringList{u"mine.pdf"_s}) << "nothing partial is left";

    EXPECT_FALSE(printout.save(path, true).has_value());
    EXPECT_FALSE(printout.pending());
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_TRUE(textOf(mine.readAll()).contains(u"an insult"_s));
}
