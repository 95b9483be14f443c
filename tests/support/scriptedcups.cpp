// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "scriptedcups.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>
#include <thread>

#include <unistd.h>

using namespace std::chrono_literals;

Script script;
std::atomic<ipp_op_t> waitingOn{IPP_OP_CUPS_NONE};

namespace {

http_t *const connection = reinterpret_cast<http_t *>(&script);

// Waits as libcups does on a silent scheduler: until the timeout callback says stop.
bool hung(ipp_op_t operation = IPP_OP_CUPS_NONE)
{
    if (!script.hangs &&
        std::find(script.unanswered.begin(), script.unanswered.end(), operation) == script.unanswered.end())
        return false;
    waitingOn = operation;
    while (script.timeout(connection, script.timeoutData) != 0)
        std::this_thread::sleep_for(10ms);
    waitingOn = IPP_OP_CUPS_NONE;
    script.lastError = IPP_STATUS_ERROR_INTERNAL;
    return true;
}

// Reads the answer as libcups does, as long as bytes come; libcups asks its
// timeout callback only after a stretch of silence, which never comes.
bool dripped()
{
    if (!script.drips)
        return false;
    char byte = 0;
    for (ssize_t got = 1; got > 0;)
        got = ::read(script.fd, &byte, 1);
    script.lastError = IPP_STATUS_ERROR_INTERNAL;
    return true;
}

// Asks for the password as many times as the script says, unless this
// connection's was taken; true when every answer came.
bool authenticated()
{
    if (script.authorized)
        return true;
    for (int i = 0; i < script.passwordRequests; ++i) {
        const char *given = script.password(">", connection, "POST", "/", script.passwordData);
        if (!given) {
            script.lastError = IPP_STATUS_ERROR_NOT_AUTHORIZED;
            return false;
        }
        script.passwordsSeen.emplace_back(given);
    }
    script.authorized = true;
    return true;
}

} // namespace

void resetScript()
{
    script = Script{};
    script.defaultDest = {const_cast<char *>("office"), nullptr, 1, 0, nullptr};
    script.dest = &script.defaultDest;
}

std::shared_ptr<const CupsLibrary> scriptedCups()
{
    std::string error;
    auto real = CupsLibrary::load(error);
    if (!real)
        return nullptr;
    auto cups = std::make_shared<CupsLibrary>(*real);
    cups->httpConnect2 = [](const char *, int, http_addrlist_t *, int, http_encryption_t, int, int, int *) {
        script.authorized = false;
        script.connections += script.connects ? 1 : 0;
        return script.connects ? connection : nullptr;
    };
    cups->httpSetTimeout = [](http_t *, double, http_timeout_cb_t cb, void *data) {
        script.timeout = cb;
        script.timeoutData = data;
    };
    cups->httpClose = [](http_t *) {};
    cups->httpGetFd = [](http_t *) { return script.fd; };
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
        if (!authenticated() || hung() || dripped())
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
        if (!authenticated() || hung(operation))
            return nullptr;
        if (operation == IPP_OP_CREATE_JOB) {
            ipp_attribute_t *media = ippFindAttribute(request, "media", IPP_TAG_ZERO);
            std::array<char, 256> values{};
            script.sentMedia = media && ippAttributeString(media, values.data(), values.size()) ? values.data() : "";
        }
        script.lastError = operation == IPP_OP_CREATE_JOB ? script.createStatus
            : operation == IPP_OP_GET_JOB_ATTRIBUTES      ? script.holdQuestionStatus
                                                          : IPP_STATUS_OK;
        script.lastReason = script.createReason;
        ipp_t *answer = ippNew();
        if (operation == IPP_OP_CREATE_JOB && script.createStatus == IPP_STATUS_OK)
            ippAddInteger(answer, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", ++script.jobs);
        if (operation == IPP_OP_GET_JOB_ATTRIBUTES && script.holdQuestionStatus == IPP_STATUS_OK) {
            const bool held = script.heldForPassword || script.documentIncoming;
            ippAddInteger(answer, IPP_TAG_JOB, IPP_TAG_ENUM, "job-state",
                          held ? IPP_JSTATE_HELD : IPP_JSTATE_PROCESSING);
            ippAddString(answer, IPP_TAG_JOB, IPP_TAG_KEYWORD, "job-state-reasons", nullptr,
                         script.documentIncoming      ? "job-incoming"
                             : script.heldForPassword ? "cups-held-for-authentication"
                                                      : "job-printing");
        }
        return answer;
    };
    cups->cupsStartDocument = [](http_t *, const char *, int, const char *, const char *, int) {
        return HTTP_STATUS_CONTINUE;
    };
    cups->cupsWriteRequestData = [](http_t *, const char *, size_t) { return HTTP_STATUS_CONTINUE; };
    // An answer that never comes leaves libcups's last status as it was: Create-Job's.
    cups->cupsGetResponse = [](http_t *, const char *) -> ipp_t * {
        if (!script.documentAnswered)
            return nullptr;
        ++script.documents;
        script.lastError = IPP_STATUS_OK;
        return ippNew();
    };
    cups->cupsCancelJob2 = [](http_t *, const char *, int, int) {
        ++script.cancelled;
        return IPP_STATUS_OK;
    };
    return cups;
}
