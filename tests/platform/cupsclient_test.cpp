// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The CUPS conversation against a scripted scheduler: the real libcups for
// what it computes (options, IPP messages, paper names), a script for every
// call that would reach a scheduler.
#include "cupsclient.h"
#include "printservice.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <array>
#include <thread>

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Status = CupsClient::Status;
using Clock = CupsClient::Clock;

namespace {

// What the scheduler does, by the test's script.
struct Script
{
    bool connects = true;
    bool hangs = false; // every request waits until the client gives up
    cups_dest_t *dest = nullptr;
    ipp_t *capabilities = nullptr; // the printer's attributes, "media-default" among them
    bool listsItsPapers = true; // a driver's queue measures its papers; a raw one lists none
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string sentMedia; // the job's "media", "" for none
    ipp_status_t createStatus = IPP_STATUS_OK;
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string createReason;
    bool probeAnswers = true;
    bool printerStillThere = true;
    int passwordRequests = 0; // how often the scheduler asks for a password
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::vector<std::string> passwordsSeen;
    int jobs = 0;

    ipp_status_t lastError = IPP_STATUS_OK;
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string lastReason;
    http_timeout_cb_t timeout = nullptr;
    void *timeoutData = nullptr;
    cups_password_cb2_t password = nullptr;
    void *passwordData = nullptr;
    cups_dest_t defaultDest{};
};
Script script;
http_t *const connection = reinterpret_cast<http_t *>(&script);

// Waits as libcups does on a silent scheduler: until the timeout callback says stop.
bool hung()
{
    if (!script.hangs)
        return false;
    while (script.timeout(connection, script.timeoutData) != 0)
        std::this_thread::sleep_for(10ms);
    script.lastError = IPP_STATUS_ERROR_INTERNAL;
    return true;
}

// Asks for the password as many times as the script says; true when every answer came.
bool authenticated()
{
    for (int i = 0; i < script.passwordRequests; ++i) {
        const char *given = script.password(">", connection, "POST", "/", script.passwordData);
        if (!given) {
            script.lastError = IPP_STATUS_ERROR_NOT_AUTHORIZED;
            return false;
        }
        script.passwordsSeen.emplace_back(given);
    }
    return true;
}

std::shared_ptr<const CupsLibrary> scriptedCups()
{
    std::string error;
    auto real = CupsLibrary::load(error);
    if (!real)
        return nullptr;
    auto cups = std::make_shared<CupsLibrary>(*real);
    cups->httpConnect2 = [](const char *, int, http_addrlist_t *, int, http_encryption_t, int, int, int *) {
        return script.connects ? connection : nullptr;
    };
    cups->httpSetTimeout = [](http_t *, double, http_timeout_cb_t cb, void *data) {
        script.timeout = cb;
        script.timeoutData = data;
    };
    cups->httpClose = [](http_t *) {};
    cups->cupsServer = [] { return "/run/scripted.sock"; };
    cups->cupsSetPasswordCB2 = [](cups_password_cb2_t cb, void *data) {
        script.password = cb;
        script.passwordData = data;
    };
    cups->cupsSetUser = [](const char *) {};
    cups->cupsUser = [] { return "tester"; };
    cups->cupsLastError = [] { return script.lastError; };
    cups->cupsLastErrorString = [] { return script.lastReason.c_str(); };
    cups->cupsGetNamedDest = [](http_t *, const char *name, const char *) -> cups_dest_t * {
        if (hung() || !authenticated())
            return nullptr;
        if (!script.dest || (name && !script.printerStillThere)) {
            script.lastError = IPP_STATUS_ERROR_NOT_FOUND;
            script.lastReason = "No default destination.";
            return nullptr;
        }
        return script.dest;
    };
    cups->cupsFreeDests = [](int, cups_dest_t *) {};
    cups->cupsCopyDestInfo = [](http_t *, cups_dest_t *) { return reinterpret_cast<cups_dinfo_t *>(&script); };
    cups->cupsFreeDestInfo = [](cups_dinfo_t *) {};
    cups->cupsFindDestDefault = [](http_t *, cups_dest_t *, cups_dinfo_t *, const char *option) {
        return script.capabilities
            ? ippFindAttribute(script.capabilities, (option + std::string("-default")).c_str(), IPP_TAG_ZERO)
            : nullptr;
    };
    // A driver's queue measures its papers as its PPD does, A4 a little
    // smaller than ISO's.
    cups->cupsGetDestMediaByName = [](http_t *, cups_dest_t *, cups_dinfo_t *, const char *name, unsigned,
                                      cups_size_t *size) {
        const pwg_media_t *media = pwgMediaForPWG(name);
        if (!script.listsItsPapers || !media)
            return 0;
        const bool a4 = std::string_view(name) == "iso_a4_210x297mm";
        *size = {{}, a4 ? 20990 : media->width, a4 ? 29704 : media->length, 0, 0, 0, 0};
        return 1;
    };
    cups->cupsDoRequest = [](http_t *, ipp_t *request, const char *) -> ipp_t * {
        const ipp_op_t operation = ippGetOperation(request);
        const std::unique_ptr<ipp_t, decltype(&ippDelete)> owned(request, ippDelete);
        if (operation == IPP_OP_CUPS_GET_DEFAULT)
            return script.probeAnswers ? ippNew() : nullptr;
        if (hung() || !authenticated())
            return nullptr;
        if (operation == IPP_OP_CREATE_JOB) {
            ipp_attribute_t *media = ippFindAttribute(request, "media", IPP_TAG_ZERO);
            std::array<char, 256> values{};
            script.sentMedia = media && ippAttributeString(media, values.data(), values.size()) ? values.data() : "";
        }
        script.lastError = operation == IPP_OP_CREATE_JOB ? script.createStatus : IPP_STATUS_OK;
        script.lastReason = script.createReason;
        ipp_t *answer = ippNew();
        if (operation == IPP_OP_CREATE_JOB && script.createStatus == IPP_STATUS_OK)
            ippAddInteger(answer, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", ++script.jobs);
        return answer;
    };
    cups->cupsStartDocument = [](http_t *, const char *, int, const char *, const char *, int) {
        return HTTP_STATUS_CONTINUE;
    };
    cups->cupsWriteRequestData = [](http_t *, const char *, size_t) { return HTTP_STATUS_CONTINUE; };
    cups->cupsFinishDocument = [](http_t *, const char *) { return IPP_STATUS_OK; };
    cups->cupsCancelJob2 = [](http_t *, const char *, int, int) { return IPP_STATUS_OK; };
    return cups;
}

class ScriptedScheduler : public ::testing::Test
{
protected:
    void SetUp() override
    {
        script = Script{};
        script.defaultDest = {const_cast<char *>("office"), nullptr, 1, 0, nullptr};
        script.dest = &script.defaultDest;
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
    if (rule.defaultMedia) {
        script.capabilities = ippNew();
        ippAddString(script.capabilities, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, "media-default", nullptr,
                     rule.defaultMedia);
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
    ::testing::Values(PaperRule{"UsersPwgName", "iso_a5_148x210mm", "na_letter_8.5x11in", true, 14800, 21000},
                      PaperRule{"UsersPpdNameFirstKnownOfAList", "Bogus,Legal,A4", "iso_a4_210x297mm", true, 21590,
                                35560},
                      PaperRule{"UnknownUsersNameFallsToTheDefault", "Bogus", "iso_a4_210x297mm", true, 20990, 29704},
                      PaperRule{"DriversA4AsItsPpdMeasuresIt", nullptr, "iso_a4_210x297mm", true, 20990, 29704},
                      PaperRule{"RawQueuesDefaultByItsName", nullptr, "iso_a5_148x210mm", false, 14800, 21000},
                      PaperRule{"PpdNamedDefault", nullptr, "A4", false, 21000, 29700},
                      PaperRule{"NoneNamedLeavesItToTheLocale", nullptr, nullptr, true, 0, 0}),
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
    EXPECT_LT(Clock::now() - start, 2s);

    std::thread caller([this] {
        std::this_thread::sleep_for(200ms);
        abandoned = true;
    });
    start = Clock::now();
    EXPECT_EQ(client(std::nullopt, 30s).defaultDestination().status, Status::Stopped);
    EXPECT_LT(Clock::now() - start, 2s);
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
    EXPECT_LT(Clock::now() - start, 2s);

    script.hangs = false;
    script.passwordRequests = 1;
    PrintoutDocument printout;
    printout.addLine(QStringLiteral("an insult"));
    auto job = service.print(printout.copy(), 30s);
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

    const PrintResult again = service.print(printout.copy(), 30s)->run();
    EXPECT_EQ(again.outcome, PrintResult::Outcome::Printed);
    EXPECT_EQ(again.job, result.job);
    EXPECT_EQ(script.jobs, 1) << "the printout went once";
}
