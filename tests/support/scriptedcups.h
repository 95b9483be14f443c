// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cupslibrary.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

/// What the scripted scheduler does, by a test's script. A test sets it
/// before it starts the conversation; the print service's thread reads it.
struct Script
{
    bool connects = true;
    int connections = 0; // opened so far
    int fd = -1; // the socket that libcups would talk through, where a test gives one
    bool hangs = false; // every request waits until the client gives up
    std::vector<ipp_op_t> unanswered; // these requests wait until the client gives up
    bool drips = false; // the printer is looked for by reading fd as long as bytes come
    cups_dest_t *dest = nullptr;
    ipp_t *capabilities = nullptr; // the printer's attributes, "media-default" among them
    bool listsItsPapers = true; // a driver's queue measures its papers; a raw one lists none
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string sentMedia; // the job's "media", "" for none
    ipp_status_t createStatus = IPP_STATUS_OK;
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string createReason;
    bool documentAnswered = true; // false: Send-Document is read whole, and its answer never comes
    int documents = 0; // answered as held
    ipp_status_t holdQuestionStatus = IPP_STATUS_OK; // the answer to Get-Job-Attributes
    bool documentIncoming = false; // each job still waits for its document
    bool heldForPassword = false; // each job is held until it gets a user name and password
    bool probeAnswers = true;
    bool printerStillThere = true;
    int passwordRequests = 0; // how often the scheduler asks for a password, until it takes one
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::vector<std::string> passwordsSeen;
    int jobs = 0;
    int cancelled = 0;

    ipp_status_t lastError = IPP_STATUS_OK;
    // cppcheck-suppress unusedStructMember ; read by the scripted calls
    std::string lastReason;
    http_timeout_cb_t timeout = nullptr;
    void *timeoutData = nullptr;
    cups_password_cb2_t password = nullptr;
    void *passwordData = nullptr;
    bool authorized = false; // this connection's password was taken
    cups_dest_t defaultDest{};
};

/// The one script, which scriptedCups() follows.
extern Script script;
/// The request that the scripted scheduler keeps waiting now, if any: for a
/// test on another thread to act while it waits.
extern std::atomic<ipp_op_t> waitingOn;

/// Starts a new script: a scheduler that answers, with the printer "office"
/// as its default.
void resetScript();

/// The real libcups for what it computes (options, IPP messages, paper
/// names), and the script for every call that would reach a scheduler at
/// "/run/scripted.sock". Nothing where libcups is not there.
std::shared_ptr<const CupsLibrary> scriptedCups();
