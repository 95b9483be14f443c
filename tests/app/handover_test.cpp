// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// How the printout is handed over as Jeerforge ends, against the scripted
// scheduler, in a home folder of the test's own.
#include "handover.h"
#include "printoutdocument.h"
#include "printoutfile.h"
#include "printwaits.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

class Ends : public PrintWaits
{
protected:
    void SetUp() override
    {
        PrintWaits::SetUp();
        ASSERT_TRUE(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        ASSERT_TRUE(QDir(home.path()).mkdir(u"Documents"_s));
        printout.addLine(u"you always run your dog!"_s);
    }

    void TearDown() override
    {
        qputenv("HOME", m_home);
        PrintWaits::TearDown();
    }

    /// The printouts kept in a folder of the home.
    [[nodiscard]] QStringList kept(const QString &folder) const
    {
        return QDir(home.filePath(folder)).entryList({u"Jeerforge insults *.pdf"_s}, QDir::Files);
    }

    QTemporaryDir home;
    PrintoutDocument printout;

private:
    QByteArray m_home = qgetenv("HOME");
};

struct Answer
{
    const char *what;
    QString button; // empty: a signal comes instead
    int status;
    QString savedAs; // where the printout is found afterwards, "" for nowhere
};

void PrintTo(const Answer &answer, std::ostream *out)
{
    *out << answer.what;
}

class Choices : public Ends, public ::testing::WithParamInterface<Answer>
{};

} // namespace

// The printer refuses the printout; the question says why and takes one
// answer, and the printout goes where that answer sends it.
TEST_P(Choices, AfterARefusalTheAnswerDecidesWhereThePrintoutGoes)
{
    const Answer answer = GetParam();
    script.createStatus = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
    script.createReason = "out of paper for tests";
    HandOver handOver(printout, *service, quitOnSignals);
    handOver.startUpDone();
    QString why;
    answerEachWindowOnTop([&](QWidget *top) {
        if (auto *chooser = qobject_cast<QFileDialog *>(top)) {
            // Typed into the name field, as a person would: selectFile() leaves
            // that field alone once it has the keyboard.
            chooser->setDirectory(home.path());
            auto *name = chooser->findChild<QLineEdit *>(u"fileNameEdit"_s);
            if (!name)
                return false;
            name->setText(u"chosen"_s);
            QMetaObject::invokeMethod(chooser, &QDialog::accept);
            return true;
        }
        QMessageBox *box = boxOnTop();
        if (!box || !box->text().contains(u"refused"_s))
            return false;
        why = box->text();
        if (answer.button.isEmpty()) {
            terminate();
            return true;
        }
        script.createStatus = IPP_STATUS_OK;
        return click(box, answer.button);
    });
    EXPECT_EQ(handOver.deliver(), answer.status);
    EXPECT_EQ(why, u"The printer \"\u2068office\u2069\" refused the printout: out of paper for tests"_s);
    EXPECT_FALSE(printout.pending());
    EXPECT_EQ(script.jobs, answer.button == u"&Retry"_s ? 1 : 0);
    const QStringList everyFile =
        QDir(home.path()).entryList(QDir::Files) + QDir(home.filePath(u"Documents"_s)).entryList(QDir::Files);
    if (answer.savedAs.isEmpty()) {
        EXPECT_TRUE(everyFile.isEmpty()) << everyFile.join(u' ').toStdString();
    } else {
        ASSERT_EQ(everyFile.size(), 1);
        const QString path = answer.savedAs == u"kept"_s
            ? home.filePath(u"Documents/"_s + kept(u"Documents"_s).value(0))
            : home.filePath(answer.savedAs);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
    }
}

INSTANTIATE_TEST_SUITE_P(RetrySaveDiscardOrASignal, Choices,
                         ::testing::Values(Answer{"Discard", u"&Discard"_s, 1, {}},
                                           Answer{"RetryOnceItTakesJobs", u"&Retry"_s, 0, {}},
                                           Answer{"SaveAsPdfAddsTheSuffix", u"&Save as PDF…"_s, 0, u"chosen.pdf"_s},
                                           Answer{"ASignalKeepsItInTheDocumentsFolder", {}, 1, u"kept"_s}),
                         [](const auto &test) { return std::string(test.param.what); });

// A refusal of 32,000 characters from a printer whose name would reverse
// the sentence: the question fits a small screen with its buttons, the whole
// reason is one click away, and the name reorders nothing.
TEST_F(Ends, AQuestionAboutALongRefusalFitsASmallScreen)
{
    script.createStatus = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
    std::string reason;
    while (reason.size() < 32000)
        reason += "out of paper ";
    script.createReason = reason;
    std::string name = u"HP LaserJet\u202E tnirp ton od"_s.toStdString();
    script.defaultDest.name = name.data();
    HandOver handOver(printout, *service, quitOnSignals);
    handOver.startUpDone();
    QRect shownAt;
    QString shown;
    QString details;
    answerEachWindowOnTop([&](QWidget *) {
        QMessageBox *box = boxOnTop();
        if (!box || !box->text().contains(u"refused"_s))
            return false;
        shownAt = box->frameGeometry();
        shown = box->text();
        details = box->detailedText();
        return click(box, u"&Discard"_s);
    });
    EXPECT_EQ(handOver.deliver(), 1);
    EXPECT_TRUE(
        shown.startsWith(u"The printer \"\u2068HP LaserJet tnirp ton od\u2069\" refused the printout: out of"_s))
        << shown.toStdString();
    EXPECT_LE(shownAt.width(), 800);
    EXPECT_LE(shownAt.height(), 600);
    EXPECT_EQ(details.size(), shown.indexOf(u"out of"_s) + qsizetype(reason.size()))
        << "the whole reason, in the details";
}

// A kept printout takes a name that nothing has, not even a dangling link,
// in the documents folder, else in the home folder.
TEST_F(Ends, AKeptPrintoutFindsAFolderAndAName)
{
    const QDir documents(home.filePath(u"Documents"_s));
    QFile(documents.filePath(u"Jeerforge insults S.pdf"_s)).open(QIODevice::WriteOnly);
    QFile::link(home.filePath(u"nowhere"_s), documents.filePath(u"Jeerforge insults S (2).pdf"_s));
    EXPECT_EQ(unusedName(documents, u"S"_s), documents.filePath(u"Jeerforge insults S (3).pdf"_s));

    const QDateTime when(QDate(2026, 12, 9), QTime(4, 5, 6));
    ASSERT_TRUE(keepInFile(printout, when));
    EXPECT_TRUE(kept(u"Documents"_s).contains(u"Jeerforge insults 2026-12-09 04.05.06.pdf"_s));

    // A documents folder that takes nothing, even from root: the home folder.
    ASSERT_TRUE(QDir(home.path()).rename(u"Documents"_s, u"Former documents"_s));
    ASSERT_TRUE(QFile::link(u"/sys"_s, home.filePath(u"Documents"_s)));
    printout.addLine(u"you always run your dog!"_s);
    ASSERT_TRUE(keepInFile(printout, when));
    EXPECT_EQ(kept(u"."_s), QStringList{u"Jeerforge insults 2026-12-09 04.05.06.pdf"_s});

    ASSERT_TRUE(QFile::remove(home.filePath(u"Documents"_s)));
    printout.addLine(u"you always run your dog!"_s);
    ASSERT_TRUE(keepInFile(printout, when));
    EXPECT_EQ(kept(u"."_s).size(), 2) << "without a documents folder, in the home folder";
}

// The display goes away, and Qt says so on a thread of its own, while an
// attempt is under way on the window's thread: the end waits for the
// attempt, keeps the printout once, and the window's thread, going on,
// touches nothing of it meanwhile.
TEST_F(Ends, AnEndFromAnotherThreadWhileAnAttemptIsUnderWayKeepsThePrintoutOnce)
{
    script.hangs = true;
    HandOver handOver(printout, *service, quitOnSignals);
    handOver.startUpDone();
    std::atomic<int> ended{-1};
    std::thread end;
    QTimer::singleShot(300, [&] { end = std::thread([&] { ended = handOver.endWithoutDisplay(); }); });
    answerEachWindowOnTop([&ended](QWidget *) {
        QMessageBox *box = ended >= 0 ? boxOnTop() : nullptr;
        return box && box->text().contains(u"not responding"_s) && click(box, u"&Discard"_s);
    });
    const int status = handOver.deliver();
    end.join();
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(status, 1) << "the status of the end that came first";
    EXPECT_EQ(kept(u"Documents"_s).size(), 1);
    EXPECT_FALSE(printout.pending());
    EXPECT_EQ(handOver.endWithoutDisplay(), 1) << "an end after it changes nothing";
    EXPECT_EQ(kept(u"Documents"_s).size(), 1);
}
