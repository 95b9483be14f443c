// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The waits that the person at the screen sees, against the scripted
// scheduler: the waiting box, the password dialog above it, and a press's
// look-up of the printer.
#include "jobwatch.h"
#include "printbudget.h"
#include "printerlookup.h"
#include "printoutdocument.h"
#include "printwaits.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using Outcome = PrintResult::Outcome;

namespace {

Outcome outcomeOf(const QSignalSpy &done)
{
    return done.at(0).at(0).value<PrintResult>().outcome;
}

} // namespace

TEST_F(PrintWaits, TheWaitingBoxComesAfterASecondAndStopWaitingCancels)
{
    script.hangs = true;
    JobWatch watch(service->findPrinter(PrintBudget::press), quitOnSignals);
    QSignalSpy done(&watch, &JobWatch::done);
    QElapsedTimer clock;
    clock.start();
    watch.start();
    QMessageBox *box = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&box] { return (box = boxOnTop()) != nullptr; }, 10000));
    EXPECT_GE(clock.elapsed(), 1000) << "not before a second";
    EXPECT_EQ(box->text(), u"Looking for the default printer…"_s);
    EXPECT_EQ(done.count(), 0);
    click(box, u"&Stop Waiting"_s);
    ASSERT_TRUE(done.wait(5000));
    EXPECT_EQ(outcomeOf(done), Outcome::Stopped);
    EXPECT_EQ(boxOnTop(), nullptr);
}

// A print service that asks for a password at once, then keeps the errand
// waiting: while the dialog is open nothing covers it, and the wait's second
// goes on only once it is answered; a signal then stops the wait at once.
TEST_F(PrintWaits, NothingCoversThePasswordDialogAndItsTimeIsTheUsers)
{
    script.passwordRequests = 1;
    script.hangs = true;
    QElapsedTimer clock;
    qint64 openedAt = -1;
    qint64 answeredAt = -1;
    std::vector<bool> dialogOnTop;
    QString asked;
    const auto standIn = [&](const QString &who, const QString &) -> std::optional<PrintJob::Credentials> {
        openedAt = clock.elapsed();
        asked = who;
        QDialog dialog;
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            dialogOnTop.push_back(QApplication::activeModalWidget() == &dialog);
            if (clock.elapsed() - openedAt >= 1500)
                dialog.accept();
        });
        look.start(20);
        dialog.exec();
        answeredAt = clock.elapsed();
        return PrintJob::Credentials{"ann", "secret"};
    };
    JobWatch watch(service->findPrinter(PrintBudget::press), quitOnSignals, nullptr, standIn);
    QSignalSpy done(&watch, &JobWatch::done);
    clock.start();
    watch.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return answeredAt >= 0; }, 10000));
    EXPECT_EQ(asked,
              u"The print service (CUPS, at \u2068/run/scripted.sock\u2069) asks for a user name and password."_s);
    ASSERT_GT(dialogOnTop.size(), 10U);
    EXPECT_EQ(std::count(dialogOnTop.begin(), dialogOnTop.end(), false), 0) << "the dialog stayed on top";

    ASSERT_TRUE(QTest::qWaitFor([] { return boxOnTop() != nullptr; }, 10000)) << "the wait goes on, and says so";
    EXPECT_GE(clock.elapsed() - answeredAt, 1000 - openedAt) << "the dialog's time did not count";
    EXPECT_EQ(boxOnTop()->text(), u"Looking for the default printer…"_s);

    terminate();
    ASSERT_TRUE(QTest::qWaitFor([&done] { return done.count() == 1; }, 5000));
    EXPECT_EQ(outcomeOf(done), Outcome::Stopped);
}

// A press's look-up holds the buttons until it is over; the paper of the
// printer found reaches the printout, and a printer found is not looked for
// again. A look-up that finds none says so, and the next press looks again.
TEST_F(PrintWaits, APressLooksForThePrinterWithTheButtonsHeldAndGivesThePaperToThePrintout)
{
    PrintoutDocument printout;
    PrinterLookup lookup(*service, printout, quitOnSignals, nullptr);
    QSignalSpy busy(&lookup, &PrinterLookup::busy);
    const auto heldThenGivenBack = [&busy](qsizetype lookUps) {
        return busy.count() == 2 * lookUps && busy.at(busy.count() - 2).at(0).toBool() &&
            !busy.at(busy.count() - 1).at(0).toBool();
    };

    script.dest = nullptr;
    QString told;
    answerEachWindowOnTop([&told](QWidget *top) {
        auto *box = qobject_cast<QMessageBox *>(top);
        told = box ? box->text() : QString();
        if (box)
            box->buttons().constFirst()->click();
        return box != nullptr;
    });
    lookup.lookUp();
    EXPECT_EQ(busy.count(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return heldThenGivenBack(1); }, 10000));
    EXPECT_TRUE(told.startsWith(u"There is no default printer"_s)) << told.toStdString();
    EXPECT_FALSE(printout.paper().isValid());

    resetScript();
    script.capabilities = ippNew();
    ippAddString(script.capabilities, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr, "iso_a5_148x210mm");
    lookup.lookUp();
    EXPECT_TRUE(QTest::qWaitFor([&] { return heldThenGivenBack(2); }, 10000));
    EXPECT_EQ(printout.paper().id(), QPageSize::A5);
    lookup.lookUp();
    EXPECT_EQ(busy.count(), 4) << "found once, looked for no more";
}

// Laying the printout out is the program's own work: a bound on the print
// service that passes meanwhile gives nothing up, and the box says what is
// under way.
TEST_F(PrintWaits, TheLayoutIsTheProgramsOwnTimeNotThePrintServices)
{
    // Three presses of long words: their layout takes longer than the
    // service's part of the bound on any processor.
    PrintoutDocument printout;
    for (int line = 0; line < 300; ++line)
        printout.addLine(QString::number(line) + QString(3000, u'x'));
    JobWatch watch(service->print(*printout.pendingCopy(), 1100ms),
                   quitOnSignals); // a tenth of a second for the service
    QElapsedTimer clock;
    std::vector<qint64> preparing;
    QObject::connect(&watch.job(), &PrintJob::preparing, [&] { preparing.push_back(clock.elapsed()); });
    QSignalSpy done(&watch, &JobWatch::done);
    clock.start();
    watch.start();
    ASSERT_TRUE(QTest::qWaitFor([&done] { return done.count() == 1; }, 120000));
    EXPECT_EQ(outcomeOf(done), Outcome::Printed);
    ASSERT_EQ(preparing.size(), 2U);
    EXPECT_GT(preparing[1] - preparing[0], 100) << "the layout outlasted the print service's part of the bound";
    EXPECT_EQ(script.jobs, 1);
}
