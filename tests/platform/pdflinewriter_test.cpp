// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdflinewriter.h"
#include "printoutdocument.h"
#include "qtplatformservices.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <string>

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// What a poppler tool writes out of the PDF, which its arguments name "PDF".
QByteArray popplerOutput(const QString &tool, QStringList arguments, const QByteArray &pdf)
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
    return process.readAllStandardOutput();
}

QString poppler(const QString &tool, const QStringList &arguments, const QByteArray &pdf)
{
    return QString::fromUtf8(popplerOutput(tool, arguments, pdf));
}

// The text of the PDF's pages first to last (all pages when last is 0), as
// pdftotext reads it, without the marks it puts around right-to-left runs.
QString textOf(const QByteArray &pdf, int first = 1, int last = 0)
{
    QStringList arguments{u"-enc"_s, u"UTF-8"_s, u"-f"_s, QString::number(first)};
    if (last > 0)
        arguments << u"-l"_s << QString::number(last);
    return poppler(u"pdftotext"_s, arguments << u"PDF"_s << u"-"_s, pdf)
        .remove(QRegularExpression(u"[\u202A-\u202E]"_s));
}

// A document on the locale's paper, in the font the box shows.
std::unique_ptr<PdfLineWriter> opened()
{
    QString error;
    auto document = PdfLineWriter::open(PdfLineWriter::pageLayout(), QFontInfo(QFont()).family(), error);
    if (!document)
        ADD_FAILURE() << qPrintable(error);
    return document;
}

// Every object of the PDF, as qpdf writes them out plainly.
QByteArray objectsOf(const QByteArray &pdf)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(u"printout.pdf"_s));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pdf);
    file.close();
    QProcess qpdf;
    qpdf.start(u"qpdf"_s, {u"--qdf"_s, u"--object-streams=disable"_s, file.fileName(), u"-"_s});
    EXPECT_TRUE(qpdf.waitForFinished()) << "qpdf, of the qpdf package";
    return qpdf.readAllStandardOutput();
}

QString withoutSpace(QString text)
{
    return text.remove(QRegularExpression(u"\\s"_s));
}

// How two drawings of the same pages, as pdftoppm writes them, look unlike;
// "" when they look alike: as long, no pixel a third of the grey scale apart,
// and fewer than one in a thousand apart at all. A rasteriser may resample a
// picture drawn through a form a little differently; a glyph, a row or a
// picture missing or moved changes far more.
std::string unlike(const QByteArray &one, const QByteArray &other)
{
    if (one.size() != other.size())
        return "pages of another number or size";
    qsizetype apart = 0;
    for (qsizetype at = 0; at < one.size(); ++at) {
        const int difference = std::abs(int(uchar(one[at])) - int(uchar(other[at])));
        if (difference > 255 / 3)
            return "a pixel " + std::to_string(difference) + " grey levels apart at byte " + std::to_string(at);
        apart += difference > 0;
    }
    return apart * 1000 < one.size() ? std::string() : std::to_string(apart) + " pixels apart";
}

} // namespace

TEST(PdfLineWriter, EmptyLinesTakeTheirRowsAndAFullPageGoesOnToTheNext)
{
    const auto document = opened();
    ASSERT_TRUE(document);
    document->addLine(u"first line"_s);
    for (int i = 0; i < 98; ++i)
        document->addLine(QString());
    document->addLine(u"hundredth line"_s);
    document->addLine(u"after the hundredth"_s);
    ASSERT_EQ(document->pageCount(), 2);

    const QByteArray pdf = document->finish();
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_TRUE(textOf(pdf, 1, 1).contains(u"first line"_s));
    EXPECT_TRUE(textOf(pdf, 2, 2).contains(u"hundredth line\nafter the hundredth"_s));
}

TEST(PdfLineWriter, ALineWiderThanThePageWrapsAndKeepsEveryCharacter)
{
    const QString unbroken = u"unbroken"_s.repeated(100);
    const QString words = QString(u"words that wrap "_s).repeated(40);
    const QString conjuncts = u"क्षत्रिय"_s.repeated(40); // a long word of clusters that shaping joins

    const auto document = opened();
    ASSERT_TRUE(document);
    document->addLine(unbroken);
    document->addLine(words);
    document->addLine(conjuncts);
    document->addLine(u"next slot"_s);
    const QString text = textOf(document->finish());

    EXPECT_TRUE(withoutSpace(text).startsWith(unbroken + withoutSpace(words) + conjuncts + u"nextslot"_s))
        << qPrintable(text);
    EXPECT_GE(text.count(u'\n'), 3 + 8) << "800 characters of either kind need several rows";
}

// Copy and search give back what was typed, code point for code point, in
// scripts whose glyphs are shaped from several characters, share one
// character's glyph with another, or come from a colour font.
TEST(PdfLineWriter, TheTextIsTheTypedWordsInEveryScript)
{
    const QStringList lines{u"Grüße, naïve façade: the fluffy office"_s,
                            u"быстрая собака, ταχύς σκύλος"_s,
                            u"हिन्दी में तुम क्षत्रिय"_s,
                            u"日本の食べ物 한국어"_s,
                            u"สวัสดีครับ ไม่"_s,
                            u"hello مرحبا بالعالم"_s,
                            u"fox\U0001F98Aand \U0001F979\U0001F979 tears"_s};
    const auto document = opened();
    ASSERT_TRUE(document);
    for (const QString &line : lines)
        document->addLine(line);
    const QStringList text = textOf(document->finish()).split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(text.value(i).normalized(QString::NormalizationForm_C),
                  lines[i].normalized(QString::NormalizationForm_C));
}

// The box shows control characters as blanks and sets right-to-left text
// against its right edge; so does the paper, on A4 with 2 cm margins.
// Noncharacters, which cairo refuses, print as U+FFFD, and every line after
// them prints too.
TEST(PdfLineWriter, ALineLooksAsInTheBox)
{
    const auto document = opened();
    ASSERT_TRUE(document);
    document->addLine(u"first\nsecond\tTAB\rthird"_s + QChar(0xD800)); // and half a surrogate pair
    document->addLine(u"\u05E9\u05DC\u05D5\u05DD world"_s);
    document->addLine(u"byte-swapped \uFFFE, \uFDD0 and \U0010FFFF"_s);
    document->addLine(u"the line after"_s);
    const QByteArray pdf = document->finish();
    EXPECT_TRUE(textOf(pdf).startsWith(u"first second TAB third\uFFFD\n"_s)) << qPrintable(textOf(pdf));
    EXPECT_TRUE(textOf(pdf).contains(u"byte-swapped \uFFFD, \uFFFD and \uFFFD\nthe line after\n"_s))
        << qPrintable(textOf(pdf));

    const QRegularExpression line(uR"re(<line xMin="([\d.]+)" yMin="[\d.]+" xMax="([\d.]+)")re"_s);
    auto rows = line.globalMatch(poppler(u"pdftotext"_s, {u"-bbox-layout"_s, u"PDF"_s, u"-"_s}, pdf));
    ASSERT_TRUE(rows.hasNext());
    EXPECT_NEAR(rows.next().captured(1).toDouble(), 56.7, 1) << "left to right: from the left margin";
    ASSERT_TRUE(rows.hasNext());
    EXPECT_NEAR(rows.next().captured(2).toDouble(), 595.3 - 56.7, 1) << "right to left: up to the right margin";
}

// Paper shows emoji in colour, as the box does: each one a sharp picture,
// stored once however often it comes back.
TEST(PdfLineWriter, EmojiReachThePaper)
{
    if (!QFontDatabase::families().contains(u"Noto Color Emoji"_s))
        GTEST_SKIP() << "no colour emoji font here (fonts-noto-color-emoji)";
    const auto document = opened();
    ASSERT_TRUE(document);
    document->addLine(u"fox \U0001F98A tears \U0001F979 and \U0001F979"_s);
    const QString images = poppler(u"pdfimages"_s, {u"-list"_s, u"PDF"_s}, document->finish());
    // page, num, "image", width, height, colour, components, bits, encoding, interpolation, object, x-ppi
    const QRegularExpression image(u"\\n *\\d+ +\\d+ +image +(?:\\S+ +){7}(\\d+) +\\d+ +(\\d+)"_s);
    QSet<QString> stored;
    for (auto found = image.globalMatch(images); found.hasNext();) {
        const auto one = found.next();
        stored.insert(one.captured(1));
        EXPECT_EQ(one.captured(2), u"300"_s) << "pixels per inch";
    }
    EXPECT_EQ(stored.size(), 2) << qPrintable(images);
}

TEST(PdfLineWriter, ABatchOfPresses)
{
    const auto document = opened();
    ASSERT_TRUE(document);
    for (int line = 0; line < 200; ++line)
        document->addLine(line % 100 < 3 ? u"sentence %1"_s.arg(line) : QString());
    EXPECT_EQ(document->pageCount(), 4) << "100 lines fill two pages, again for the second press";
    EXPECT_TRUE(poppler(u"pdfinfo"_s, {u"PDF"_s}, document->finish()).contains(QRegularExpression(u"Pages: +4\\n"_s)))
        << "a last page of empty lines is a page too";
}

// Printers' filters keep text that draws nothing transparent: no page (nor
// anything on it) has a transparency group, and emoji pictures have no
// alpha channel on the white paper.
TEST(PdfLineWriter, NothingOnThePageIsTransparent)
{
    const auto document = opened();
    ASSERT_TRUE(document);
    document->addLine(u"fox \U0001F98A tears \U0001F979"_s);
    document->addLine(u"hello مرحبا بالعالم"_s);
    const QByteArray objects = objectsOf(document->finish());
    ASSERT_TRUE(objects.contains("/Type /Page")) << objects.left(200).constData();
    EXPECT_FALSE(objects.contains("/Group"));
    EXPECT_FALSE(objects.contains("/SMask"));
}

// Each distinct line is laid out and drawn once, however often it is
// printed, and the pages show it as they would a line laid out anew: the
// same text, and pictures of the pages that look the same.
TEST(PdfLineWriter, EachDistinctLineIsLaidOutOnceAndPrintsAsLaidOutAnew)
{
    const QStringList lines{u"everyone knows that you "_s + QString(300, u'x') + u" your mom's dog!"_s,
                            u"hello مرحبا بالعالم"_s, u"fox \U0001F98A tears"_s, QString()};
    QString error;
    std::map<PdfLineWriter::Layouts, QByteArray> pdfs;
    for (const auto layouts :
         {PdfLineWriter::Layouts::Placed, PdfLineWriter::Layouts::Drawn, PdfLineWriter::Layouts::Anew}) {
        auto document = PdfLineWriter::open(PdfLineWriter::pageLayout(), QFontInfo(QFont()).family(), error, layouts);
        ASSERT_TRUE(document) << qPrintable(error);
        for (int press = 0; press < 30; ++press) {
            for (const QString &line : lines)
                document->addLine(line);
        }
        pdfs[layouts] = document->finish();
    }
    const QByteArray &anew = pdfs[PdfLineWriter::Layouts::Anew];
    const QStringList pictures{u"-r"_s, u"30"_s, u"-gray"_s, u"PDF"_s};
    const QByteArray pages = popplerOutput(u"pdftoppm"_s, pictures, anew);
    EXPECT_GE(pages.count("P5\n"), 5) << "a picture of every page, in one stream";
    for (const auto layouts : {PdfLineWriter::Layouts::Placed, PdfLineWriter::Layouts::Drawn}) {
        EXPECT_EQ(textOf(pdfs[layouts]), textOf(anew));
        EXPECT_EQ(unlike(popplerOutput(u"pdftoppm"_s, pictures, pdfs[layouts]), pages), "");
    }
    EXPECT_LT(objectsOf(pdfs[PdfLineWriter::Layouts::Placed]).count("/Subtype /Form"), 10)
        << "each of the few distinct rows stored once, for the 150 rows printed";
}

// The printout is laid out when it goes out, on the paper asked for then,
// and never from an earlier layout that lacks lines added since.
TEST(PrintoutDocument, LaidOutAnewForNewLinesAndOtherPaper)
{
    PrintoutDocument printout;
    printout.addLine(u"first press"_s);
    QString error;
    const PrintoutDocument::Copy early = *printout.pendingCopy();
    ASSERT_TRUE(textOf(early.on(QPageSize(QPageSize::A4), error)).contains(u"first press"_s)) << qPrintable(error);
    printout.addLine(u"second press"_s);
    const PrintoutDocument::Copy late = *printout.pendingCopy();
    for (const auto &[paper, size] : {std::pair{QPageSize::A4, u"595 x 842"_s}, {QPageSize::Letter, u"612 x 792"_s}}) {
        const QByteArray pdf = late.on(QPageSize(paper), error);
        EXPECT_TRUE(textOf(pdf).contains(u"first press\nsecond press"_s)) << qPrintable(textOf(pdf));
        EXPECT_TRUE(poppler(u"pdfinfo"_s, {u"PDF"_s}, pdf).contains(size));
    }
    EXPECT_FALSE(textOf(early.on(QPageSize(QPageSize::A4), error)).contains(u"second"_s)) << "a copy keeps its lines";
}

// The printout holds each distinct line once, and at most what it can lay
// out in seconds: a press that would not fit is refused whole. Its room is
// counted in characters, in every script, not in the bytes of UTF-8.
TEST(PrintoutDocument, HoldsWhatItCanPrintAndRefusesWhatWouldNotFit)
{
    PrintoutDocument printout;
    const QString line(1'000'000, u'x');
    for (int press = 0; press < 99; ++press)
        ASSERT_TRUE(printout.addLine(line));
    const std::string typed = line.toStdString();
    EXPECT_TRUE(printout.hasRoomFor(std::vector{typed}));
    EXPECT_FALSE(printout.hasRoomFor(std::vector{typed, std::string("x")})) << "a press that would not fit whole";
    std::string cyrillic;
    for (int i = 0; i < 1'000'000; ++i)
        cyrillic += "ж"; // two bytes, one character
    EXPECT_TRUE(printout.hasRoomFor(std::vector{cyrillic}));
    EXPECT_TRUE(printout.addLine(line));
    EXPECT_FALSE(printout.addLine(u"x"_s));
    EXPECT_EQ(printout.pendingCopy()->lines->distinct.size(), 1);
    EXPECT_EQ(printout.pendingCopy()->lines->printed.size(), 100U);

    PrintoutDocument empty;
    EXPECT_FALSE(empty.pendingCopy()) << "nothing pending";
    EXPECT_FALSE(empty.hasRoomFor(std::vector<std::string>(PrintoutDocument::mostLines + 1)));
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
    const PrintResult sent = services.printService().print(*printout.pendingCopy(), std::chrono::seconds(30))->run();
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
