// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cupslibrary.h"
#include "printcredentials.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

/// One conversation with the CUPS scheduler, held on the print service's
/// thread: the default printer, and a job sent to it as `lp` sends one. Each
/// operation says what happened as a status, with CUPS's own words where it
/// gave any, and never waits past the conversation's deadline or once its
/// caller has stopped waiting, however the scheduler sends, nor takes more
/// than a sane amount from it. Nothing is ever asked on the terminal: a user
/// name and password go to the scheduler only when the conversation was
/// given them, and then once.
class CupsClient
{
public:
    using Clock = std::chrono::steady_clock;

    enum class Status {
        Ok,
        Unreachable, // nothing answers at the scheduler's address
        NotResponding, // it answered, then kept the conversation waiting to its deadline
        BrokenAnswer, // it answered with something that is no answer: too much, cut short or garbled
        Stopped, // the caller stopped waiting
        NoDefaultPrinter,
        NoSuchPrinter, // the printer went away during the conversation
        Refused, // the scheduler or the printer said no
        PasswordWanted, // a user name and password are wanted, and none was given
        PasswordRefused, // the ones given were not taken
    };

    template<typename T>
    struct Result
    {
        Status status = Status::Ok;
        std::string reason; // CUPS's own words, where it gave any
        T value{};
        [[nodiscard]] bool ok() const { return status == Status::Ok; }
    };

    using Credentials = PrintCredentials;

    /// A paper as CUPS measures it, in hundredths of a millimetre; zero
    /// where unknown.
    struct Paper
    {
        int width = 0;
        int length = 0;
        /// Whether a line of the printout fits inside its margins, and PDF
        /// can describe it.
        [[nodiscard]] bool holdsTheLines() const;
    };

    struct Destination
    {
        std::string name;
        Paper paper; // the user's own for this printer, else the printer's default, where it holds the lines
        std::vector<std::pair<std::string, std::string>> options; // as the user saved them (lpoptions)
        std::vector<std::string> authInfoRequired;
        /// Whether the printer holds each job until it gets a user name and password.
        [[nodiscard]] bool wantsCredentials() const;
    };

    /// Opens the conversation; credentials, where given, go to the scheduler
    /// when it asks, once.
    CupsClient(const CupsLibrary &cups, Clock::time_point deadline, const std::atomic<bool> &abandoned,
               std::optional<Credentials> credentials = std::nullopt);
    ~CupsClient();
    CupsClient(const CupsClient &) = delete;
    CupsClient &operator=(const CupsClient &) = delete;

    [[nodiscard]] Result<Destination> defaultDestination();
    /// Create-Job with the user's options and the printer's paper, and the
    /// credentials its printer asks for, where given. The value is the job's id.
    [[nodiscard]] Result<int> createJob(const Destination &printer, const std::string &title,
                                        const std::optional<Credentials> &authInfo);
    /// Sends the job's one document: Ok once the scheduler answered that it
    /// holds it. A job that was refused it, or did not get it whole, is
    /// cancelled. Where all of it went and no answer came, the job is left
    /// as it is and value is true: only jobState() can tell what it holds.
    [[nodiscard]] Result<bool> sendDocument(const std::string &printer, int job, std::string_view pdf);

    /// What the scheduler says of a job: its state and the reasons that
    /// matter here.
    struct JobState
    {
        ipp_jstate_t state = IPP_JSTATE_CANCELED; // a job the scheduler no longer knows is as good as canceled
        bool documentIncoming = false; // its document has not come whole
        bool heldForAuthentication = false; // it waits for a user name and password
        /// Whether the scheduler holds the job's whole document to print.
        [[nodiscard]] bool holdsDocument() const;
    };
    /// No answer, or a refusal, is a failure: whether the job prints is not
    /// known then.
    [[nodiscard]] Result<JobState> jobState(int job);
    /// Gives a held job its credentials (CUPS-Authenticate-Job); one that
    /// does not take them is cancelled, unless the scheduler stopped
    /// answering. On a failure, value says whether the job is left as it was.
    [[nodiscard]] Result<bool> authenticate(int job, const Destination &printer, const Credentials &authInfo);
    [[nodiscard]] Result<bool> cancel(const std::string &printer, int job);

    /// The scheduler as its user knows it: host and port, or its socket.
    [[nodiscard]] static std::string server(const CupsLibrary &cups);

private:
    struct Wait;
    class Connection;
    struct Passwords;

    template<typename T>
    [[nodiscard]] Result<T> failed(const Connection &connection) const;
    template<typename T>
    [[nodiscard]] Result<T> notDelivered(const std::string &printer);
    [[nodiscard]] Status probe() const;
    [[nodiscard]] Paper paperNamed(const std::string &names) const;
    [[nodiscard]] Paper printersDefaultPaper(http_t *http, cups_dest_t *dest) const;
    [[nodiscard]] ipp_t *jobRequest(ipp_op_t operation, int job) const;
    void addAuthInfo(ipp_t *request, const std::vector<std::string> &required, const Credentials &credentials) const;

    const CupsLibrary &m_cups;
    std::unique_ptr<Wait> m_wait;
    std::unique_ptr<Passwords> m_passwords;
    std::unique_ptr<Connection> m_connection;
};
