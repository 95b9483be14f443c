// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The CUPS conversation against a scripted scheduler.
#include "cupsclient.h"
#include "printservice.h"
#include "scriptedcups.h"
#include "socketrelay.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <ctime>
#include <thread>

#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Status = CupsClient::Status;
using Clock = CupsClient::Clock;

namespace {

// The bounds below tell a kept deadline from an endless wait, with room for
// a loaded machine and the sanitizers; the benchmarks measure the time.
constexpr auto roomForALoadedMachine = 5s;

class ScriptedScheduler : public ::testing::Test
{
protected:
    void SetUp() override
    {
        resetScript();
        cups = scriptedCups();
        if (!cups)
            GTEST_SKIP() << "no libcups here";
    }
    void TearDown() override
    {
        cupsFreeOptions(script.defaultDest.num_options, script.defaultDest.options);
        ippDelete(script.capabilities);
    }

    void userSaved(const char *name, const char *value)
    {
        script.defaultDest.num_options =
            cupsAddOption(name, value, script.defaultDest.num_options, &script.defaultDest.options);
    }

    CupsClient client(std::optional<CupsClient::Credentials> credentials = std::nullopt, Clock::duration patience = 5s)
    {
        return {*cups, Clock::now() + patience, abandoned, std::move(credentials)};
    }

    // One attempt at printing what the printout holds, with nobody to ask;
    // where given, the outcome and job it must end with.
    static PrintResult attempt(PrintService &service, PrintoutDocument &printout,
                               std::optional<std::pair<PrintResult::Outcome, int>> expected = std::nullopt)
    {
        PrintResult result = service.print(*printout.pendingCopy(), 6s)->run();
        if (expected) {
            EXPECT_EQ(result.outcome, expected->first);
            EXPECT_EQ(result.job, expected->second);
        }
        return result;
    }

    std::shared_ptr<const CupsLibrary> cups;
    std::atomic<bool> abandoned{false};
};

} // namespace

struct PaperRule
{
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    const char *what;
    const char *usersMedia; // nullptr: none saved
    const char *defaultMedia; // the printer's "media-default"; nullptr: none
    bool listsItsPapers;
    int width;
    int length;
    int collectionWidth = 0; // the printer's "media-col-default" size, where it gives one
    int collectionLength = 0;
};

void PrintTo(const PaperRule &rule, std::ostream *out)
{
    *out << rule.what;
}

class PaperRules : public ScriptedScheduler, public ::testing::WithParamInterface<PaperRule>
{};

// The printout is laid out on the paper that the job then gets, which is the
// user's if saved and goes with the job as saved, else the printer's default,
// which the job leaves to the printer, as lp does.
TEST_P(PaperRules, ThePrinterGetsThePaperThatLpWouldUse)
{
    const PaperRule rule = GetParam();
    if (rule.usersMedia)
        userSaved("media", rule.usersMedia);
    script.capabilities = ippNew();
    if (rule.defaultMedia) {
        ippAddString(script.capabilities, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr,
                     rule.defaultMedia);
    }
    if (rule.collectionWidth > 0) {
        ipp_t *size = ippNew();
        ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "x-dimension", rule.collectionWidth);
        ippAddInteger(size, IPP_TAG_ZERO, IPP_TAG_INTEGER, "y-dimension", rule.collectionLength);
        ipp_t *collection = ippNew();
        ippAddCollection(collection, IPP_TAG_ZERO, "media-size", size);
        ippAddCollection(script.capabilities, IPP_TAG_PRINTER, "media-col-default", collection);
        ippDelete(size);
        ippDelete(collection);
    }
    script.listsItsPapers = rule.listsItsPapers;
    const auto found = client().defaultDestination();
    ASSERT_EQ(found.status, Status::Ok);
    EXPECT_EQ(found.value.name, "office");
    EXPECT_EQ(found.value.paper.width, rule.width);
    EXPECT_EQ(found.value.paper.length, rule.length);
    ASSERT_EQ(client().createJob(found.value, "Jeerforge insults", std::nullopt).status, Status::Ok);
    EXPECT_EQ(script.sentMedia, rule.usersMedia ? rule.usersMedia : "");
}

INSTANTIATE_TEST_SUITE_P(
    UsersThenThePrintersDefaultThenNone, PaperRules,
    ::testing::Values(
        PaperRule{"UsersPwgName", "iso_a5_148x210mm", "na_letter_8.5x11in", true, 14800, 21000},
        PaperRule{"UsersPpdNameFirstKnownOfAList", "Bogus,Legal,A4", "iso_a4_210x297mm", true, 21590, 35560},
        PaperRule{"UnknownUsersNameFallsToTheDefault", "Bogus", "iso_a4_210x297mm", true, 20990, 29704},
        PaperRule{"DriversA4AsItsPpdMeasuresIt", nullptr, "iso_a4_210x297mm", true, 20990, 29704},
        PaperRule{"RawQueuesDefaultByItsName", nullptr, "iso_a5_148x210mm", false, 14800, 21000},
        PaperRule{"PpdNamedDefault", nullptr, "A4", false, 21000, 29700},
        PaperRule{"NoneNamedLeavesItToTheLocale", nullptr, nullptr, true, 0, 0},
        PaperRule{"UsersTooSmallToHoldALineFallsToTheDefault", "custom_tiny_1x1mm", "iso_a5_148x210mm", true, 14800,
                  21000},
        PaperRule{"TooSmallForALineLeavesItToTheLocale", nullptr, "custom_small_49x210mm", true, 0, 0},
        PaperRule{"AStripLeavesItToTheLocale", nullptr, "custom_strip_1000x0.01mm", false, 0, 0},
        PaperRule{"BeyondWhatPdfDescribesLeavesItToTheLocale", nullptr, "custom_huge_5000x5000in", true, 0, 0},
        PaperRule{"TheLargestThatPdfDescribes", nullptr, "custom_large_200x200in", true, 508000, 508000},
        PaperRule{"NamedOnlyAsACollection", nullptr, "", true, 21590, 27940, 21590, 27940},
        PaperRule{"TheNamedDefaultBeforeTheCollection", nullptr, "iso_a5_148x210mm", false, 14800, 21000, 21590,
                  27940}),
    [](const auto &test) { return std::string(test.param.what); });

TEST_F(ScriptedScheduler, EachFailureHasItsStatusAndCupsOwnWords)
{
    script.connects = false;
    EXPECT_EQ(client().defaultDestination().status, Status::Unreachable);

    script = Script{};
    const auto none = client().defaultDestination();
    EXPECT_EQ(none.status, Status::NoDefaultPrinter);
    EXPECT_EQ(none.reason, "No default destination") << "the full stop goes; the sentence adds its own";
    script.probeAnswers = false;
    EXPECT_EQ(client().defaultDestination().status, Status::Unreachable)
        << "no printer, and no answer to a real question either";

    SetUp();
    const auto printer = client().defaultDestination().value;
    script.createStatus = IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS;
    script.createReason = "out of paper for tests";
    const auto refused = client().createJob(printer, "Jeerforge", std::nullopt);
    EXPECT_EQ(refused.status, Status::Refused);
    EXPECT_EQ(refused.reason, "out of paper for tests");

    // One internal error for a scheduler gone and for a printer gone: a question tells them apart.
    script.createStatus = IPP_STATUS_ERROR_INTERNAL;
    script.printerStillThere = false;
    EXPECT_EQ(client().createJob(printer, "Jeerforge", std::nullopt).status, Status::NoSuchPrinter);
    script.probeAnswers = false;
    EXPECT_EQ(client().createJob(printer, "Jeerforge", std::nullopt).status, Status::Unreachable);
}

TEST_F(ScriptedScheduler, CredentialsGoOncePerConversation)
{
    script.passwordRequests = 1;
    EXPECT_EQ(client().defaultDestination().status, Status::PasswordWanted) << "none to give";
    EXPECT_EQ(client({{"ann", "secret"}}).defaultDestination().status, Status::Ok);
    EXPECT_EQ(script.passwordsSeen, std::vector<std::string>{"secret"});

    script.passwordRequests = 2; // asked again: the first were refused
    EXPECT_EQ(client({{"ann", "wrong"}}).defaultDestination().status, Status::PasswordRefused);
    EXPECT_EQ(script.passwordsSeen.size(), 2U) << "never handed out twice";
}

TEST_F(ScriptedScheduler, ASilentSchedulerIsGivenUpOnAtTheDeadlineOrWhenTheCallerStops)
{
    script.hangs = true;
    auto start = Clock::now();
    EXPECT_EQ(client(std::nullopt, 300ms).defaultDestination().status, Status::NotResponding);
    EXPECT_GE(Clock::now() - start, 300ms);
    EXPECT_LT(Clock::now() - start, 300ms + roomForALoadedMachine);

    std::thread caller([this] {
        std::this_thread::sleep_for(200ms);
        abandoned = true;
    });
    start = Clock::now();
    EXPECT_EQ(client(std::nullopt, 30s).defaultDestination().status, Status::Stopped);
    EXPECT_LT(Clock::now() - start, 200ms + roomForALoadedMachine);
    caller.join();
    EXPECT_EQ(client(std::nullopt, 30s).defaultDestination().status, Status::Stopped)
        << "nothing starts once the caller is gone";
}

// The errand as the window sees it: it gives up within its bound while the
// event loop turns, asks for a password through a signal, and never sends a
// printout twice.
TEST_F(ScriptedScheduler, APrintJobKeepsItsBoundAsksThroughSignalsAndNeverPrintsTwice)
{
    PrintService service(cups);
    script.hangs = true;
    const auto start = Clock::now();
    auto silent = service.findPrinter(2s);
    QSignalSpy finished(silent.get(), &PrintJob::finished);
    silent->start();
    ASSERT_TRUE(finished.wait(5000));
    EXPECT_EQ(finished.at(0).at(0).value<PrintResult>().outcome, PrintResult::Outcome::NotResponding);
    EXPECT_LT(Clock::now() - start, 2s + roomForALoadedMachine);

    script.hangs = false;
    script.passwordRequests = 1;
    PrintoutDocument printout;
    printout.addLine(QStringLiteral("an insult"));
    auto job = service.print(*printout.pendingCopy(), 30s);
    QObject::connect(job.get(), &PrintJob::passwordWanted, job.get(), [&job](const PasswordRequest &request) {
        EXPECT_EQ(request.server, QStringLiteral("/run/scripted.sock"));
        job->answerPassword(CupsClient::Credentials{"ann", "secret"});
    });
    QSignalSpy printed(job.get(), &PrintJob::finished);
    job->start();
    ASSERT_TRUE(printed.wait(5000));
    const auto result = printed.at(0).at(0).value<PrintResult>();
    EXPECT_EQ(result.outcome, PrintResult::Outcome::Printed);
    EXPECT_EQ(result.printer, QStringLiteral("office"));
    EXPECT_EQ(script.jobs, 1);

    const PrintResult again = service.print(*printout.pendingCopy(), 30s)->run();
    EXPECT_EQ(again.outcome, PrintResult::Outcome::Printed);
    EXPECT_EQ(again.job, result.job);
    EXPECT_EQ(script.jobs, 1) << "the printout went once";
}

// A job whose hold nobody could ask about may or may not print: it is told
// so and stays pending, and the next attempt asks about that job rather than
// sending another. A scheduler that stops answering is not asked to cancel.
TEST_F(ScriptedScheduler, AJobWhoseHoldIsNotKnownIsNeitherToldAsPrintedNorSentTwice)
{
    PrintService service(cups);
    PrintoutDocument printout;
    printout.addLine(QStringLiteral("an insult"));

    script.unanswered = {IPP_OP_GET_JOB_ATTRIBUTES};
    PrintResult result = attempt(service, printout);
    EXPECT_EQ(result.outcome, PrintResult::Outcome::Unconfirmed);
    EXPECT_TRUE(result.reason.isEmpty()) << "no answer, so no words of CUPS's";
    script.unanswered.clear();
    script.holdQuestionStatus = IPP_STATUS_ERROR_FORBIDDEN;
    script.createReason = "not your job";
    result = attempt(service, printout);
    EXPECT_EQ(result.outcome, PrintResult::Outcome::Unconfirmed);
    EXPECT_EQ(result.reason, QStringLiteral("not your job"));
    script.holdQuestionStatus = IPP_STATUS_OK;
    attempt(service, printout, {{PrintResult::Outcome::Printed, 1}});
    EXPECT_EQ(script.jobs, 1) << "sent once, asked about three times";

    // A release that nobody answered leaves the job held at the printer: it
    // is neither forgotten nor cancelled, and the next attempt asks about it.
    PrintoutDocument held;
    held.addLine(QStringLiteral("another insult"));
    script.heldForPassword = true;
    script.unanswered = {IPP_OP_CUPS_AUTHENTICATE_JOB};
    auto job = service.print(*held.pendingCopy(), 6s);
    QObject::connect(job.get(), &PrintJob::passwordWanted, job.get(), [&job](const PasswordRequest &request) {
        EXPECT_TRUE(request.printerAsks);
        job->answerPassword(CupsClient::Credentials{"ann", "secret"});
    });
    QSignalSpy finished(job.get(), &PrintJob::finished);
    job->start();
    ASSERT_TRUE(finished.wait(5000));
    result = finished.at(0).at(0).value<PrintResult>();
    EXPECT_EQ(result.outcome, PrintResult::Outcome::Unconfirmed);
    EXPECT_EQ(result.job, 2);
    EXPECT_EQ(script.cancelled, 0);
    script.unanswered.clear();
    script.heldForPassword = false;
    EXPECT_EQ(attempt(service, held).outcome, PrintResult::Outcome::Printed);
    EXPECT_EQ(script.jobs, 2) << "released, not sent again";
}

// Send-Document read whole and never answered: the job is asked about by its
// id. One that holds its document whole is printed; one still waiting for
// it is told as unconfirmed, kept, and on the next attempt cancelled and sent
// anew; a stop once the document is held says it reached the printer.
TEST_F(ScriptedScheduler, ADocumentWithoutAnAnswerIsPrintedOnlyWhenTheJobHoldsItWhole)
{
    PrintService service(cups);
    PrintoutDocument printout;
    printout.addLine(QStringLiteral("an insult"));

    script.documentAnswered = false;
    script.documentIncoming = true;
    attempt(service, printout, {{PrintResult::Outcome::Unconfirmed, 1}});
    EXPECT_EQ(script.cancelled, 0);
    script.documentAnswered = true;
    attempt(service, printout, {{PrintResult::Outcome::Printed, 2}});
    EXPECT_EQ(script.cancelled, 1) << "the job that waited for its document";

    PrintoutDocument whole;
    whole.addLine(QStringLiteral("another insult"));
    script.documentAnswered = false;
    script.documentIncoming = false;
    attempt(service, whole, {{PrintResult::Outcome::Printed, 3}}); // the job holds it whole, by its state

    PrintoutDocument stopped;
    stopped.addLine(QStringLiteral("a third insult"));
    script.documentAnswered = true;
    script.unanswered = {IPP_OP_GET_JOB_ATTRIBUTES};
    auto job = service.print(*stopped.pendingCopy(), 30s);
    QSignalSpy finished(job.get(), &PrintJob::finished);
    job->start();
    ASSERT_TRUE(QTest::qWaitFor([] { return waitingOn == IPP_OP_GET_JOB_ATTRIBUTES; }, 10000));
    job->cancel();
    ASSERT_TRUE(finished.wait(5000));
    const auto result = finished.at(0).at(0).value<PrintResult>();
    EXPECT_EQ(result.outcome, PrintResult::Outcome::Unconfirmed) << "stopped after the printer took it whole";
    EXPECT_EQ(result.job, 4);
}

// A scheduler that sends a byte every 50 ms never falls silent, yet the
// conversation ends at its deadline, by the clock; an errand that never got
// its turn meanwhile names the print service all the same, and the next
// conversation opens a connection of its own.
TEST_F(ScriptedScheduler, AConnectionThatDripsIsGivenUpAtItsDeadline)
{
    std::array<int, 2> pair{};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()), 0);
    script.fd = pair[0];
    script.drips = true;
    std::atomic<bool> dripping{true};
    std::thread server([&] {
        const auto until = Clock::now() + 20s;
        while (dripping && Clock::now() < until && ::send(pair[1], "x", 1, MSG_NOSIGNAL) == 1)
            std::this_thread::sleep_for(50ms);
    });
    PrintService service(cups);
    const auto start = Clock::now();
    auto dripped = service.findPrinter(6s); // the scheduler is given up on after a second
    auto behind = service.findPrinter(1500ms);
    QSignalSpy first(dripped.get(), &PrintJob::finished);
    QSignalSpy second(behind.get(), &PrintJob::finished);
    dripped->start();
    behind->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.count() == 1 && second.count() == 1; }, 10000));
    EXPECT_LT(Clock::now() - start, 5s) << "before the caller's own deadline";
    const auto result = first.at(0).at(0).value<PrintResult>();
    EXPECT_EQ(result.outcome, PrintResult::Outcome::NotResponding);
    EXPECT_EQ(second.at(0).at(0).value<PrintResult>().server, QStringLiteral("/run/scripted.sock"));

    dripping = false;
    server.join();
    ::close(pair[1]);
    script.drips = false;
    const int connections = script.connections;
    EXPECT_EQ(service.findPrinter(6s)->run().outcome, PrintResult::Outcome::PrinterFound);
    EXPECT_GT(script.connections, connections);
    ::close(pair[0]);
}

// A peer that hung up, beside a library that keeps its socket open, leaves
// the relay nothing to do until its deadline: it waits without spinning.
TEST(SocketRelay, APeerThatHungUpCostsNoTimeWhileItsRelayWaits)
{
    std::array<int, 2> pair{};
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair.data()), 0);
    const std::atomic<bool> stopped{false};
    timespec before{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &before);
    const auto start = Clock::now();
    {
        SocketRelay relay(pair[0], start + 1s, stopped, 1024);
        ::close(pair[1]);
        ASSERT_TRUE(QTest::qWaitFor([&relay] { return relay.cut() == SocketRelay::Cut::Deadline; }, 10000));
    }
    timespec after{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &after);
    const double busy = double(after.tv_sec - before.tv_sec) + double(after.tv_nsec - before.tv_nsec) / 1e9;
    const double waited = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_LT(busy, waited / 2) << "seconds of processor time while the relay waited " << waited << " s";
    ::close(pair[0]);
}
