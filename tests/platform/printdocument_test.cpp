// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printdocument.h"
#include "qtplatformservices.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The text of the PDF's pages first to last (all pages when last is 0), as
// pdftotext reads it, with ligatures such as "fi" taken apart again.
QString textOf(const QByteArray &pdf, int first = 1, int last = 0)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"document.pdf"_s);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    QStringList arguments{u"-enc"_s, u"UTF-8"_s, u"-f"_s, QString::number(first)};
    if (last > 0)
        arguments << u"-l"_s << QString::number(last);
    QProcess pdftotext;
    pdftotext.start(u"pdftotext"_s, arguments << path << u"-"_s);
    EXPECT_TRUE(pdftotext.waitForFinished());
    return QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

QString withoutSpace(QString text)
{
    return text.remove(QRegularExpression(u"\\s"_s));
}

} // namespace

TEST(PrintDocument, EmptyLinesTakeTheirRowsAndAFullPageGoesOnToTheNext)
{
    PrintDocument document;
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

TEST(PrintDocument, ALineWiderThanThePageWrapsAndKeepsEveryCharacter)
{
    QString unbroken;
    for (int i = 0; i < 100; ++i)
        unbroken += u"unbroken"_s;
    const QString words = QString(u"words that wrap "_s).repeated(40);

    PrintDocument document;
    document.addLine(unbroken);
    document.addLine(words);
    document.addLine(u"next slot"_s);
    const QString text = textOf(document.finish());

    EXPECT_TRUE(withoutSpace(text).startsWith(unbroken + withoutSpace(words) + u"nextslot"_s)) << qPrintable(text);
    EXPECT_GE(text.count(u'\n'), 3 + 8) << "800 characters of either kind need several rows";
}

TEST(PrintDocument, TextOutsideAsciiReachesThePaper)
{
    const QStringList lines{u"Grüße, naïve façade"_s, u"быстрая собака"_s, u"ταχύς σκύλος"_s};
    PrintDocument document;
    for (const QString &line : lines)
        document.addLine(line);
    const QString text = textOf(document.finish());
    for (const QString &line : lines)
        EXPECT_TRUE(text.contains(line)) << qPrintable(line) << " in " << qPrintable(text);
}

TEST(PrintDocument, ABatchOfPresses)
{
    PrintDocument document;
    for (int line = 0; line < 200; ++line)
        document.addLine(line % 100 < 3 ? u"sentence %1"_s.arg(line) : QString());
    EXPECT_EQ(document.pageCount(), 4) << "100 lines fill two pages, again for the second press";
}

TEST(QtPrintout, WithoutAPrintServiceTheLinesAreKeptAndSavedButNeverOverAFileUnasked)
{
    QTemporaryDir nowhere;
    qputenv("CUPS_SERVER", nowhere.filePath(u"no-cupsd-here.sock"_s).toLocal8Bit());
    qputenv("HOME", nowhere.path().toLocal8Bit());
    qunsetenv("PRINTER");
    qunsetenv("LPDEST");

    QtPlatformServices services;
    Printout &printout = services.printout();
    const std::string why = printout.findPrinter();
    EXPECT_NE(why.find("no-cupsd-here.sock) is not running or could not be reached."), std::string::npos) << why;
    services.PrintLine("an insult");
    EXPECT_THROW(printout.print(), PlatformError);
    ASSERT_TRUE(printout.pending());

    const QString path = nowhere.filePath(u"mine.pdf"_s);
    QFile mine(path);
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly) && mine.write("mine") == 4);
    mine.close();
    EXPECT_THROW(printout.save(path.toStdString(), false), PlatformError);
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_EQ(mine.readAll(), "mine");
    mine.close();

    ASSERT_TRUE(printout.pending());
    printout.save(path.toStdString(), true);
    EXPECT_FALSE(printout.pending());
    ASSERT_TRUE(mine.open(QIODevice::ReadOnly));
    EXPECT_TRUE(textOf(mine.readAll()).contains(u"an insult"_s));
}
