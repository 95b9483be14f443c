// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsclient.h"

#include "printbudget.h"
#include "printoutpage.h"
#include "socketrelay.h"

#include <algorithm>
#include <array>
#include <numeric>

using std::chrono::milliseconds;

// One wait for the scheduler: over at its deadline, or as soon as nobody
// waits for it any more. libcups asks goOn() after each stretch of silence.
struct CupsClient::Wait
{
    Clock::time_point deadline;
    const std::atomic<bool> &abandoned;
    enum class Outcome { Answered, TimedOut, Stopped, TooMuch } outcome = Outcome::Answered;

    static int goOn(http_t * /*http*/, void *data)
    {
        auto *wait = static_cast<Wait *>(data);
        if (wait->abandoned)
            wait->outcome = Outcome::Stopped;
        else if (Clock::now() >= wait->deadline)
            wait->outcome = Outcome::TimedOut;
        return wait->outcome == Outcome::Answered ? 1 : 0;
    }
};

// A connection to the scheduler whose every wait is the given one, by the
// clock however the scheduler sends: each socket that libcups talks through
// is relayed.
class CupsClient::Connection
{
public:
    Connection(const CupsLibrary &cups, Wait &wait)
        : m_cups(cups)
        , m_wait(wait)
    {
        const auto left = std::chrono::duration_cast<milliseconds>(wait.deadline - Clock::now());
        const auto patience = std::clamp(left, milliseconds(1), PrintBudget::connect);
        if (!wait.abandoned) {
            m_http = cups.httpConnect2(cups.cupsServer(), cups.ippPort(), nullptr, AF_UNSPEC, cups.cupsEncryption(), 1,
                                       static_cast<int>(patience.count()), nullptr);
        }
        if (m_http) {
            cups.httpSetTimeout(m_http, std::chrono::duration<double>(PrintBudget::askEvery).count(), &Wait::goOn,
                                &wait);
        }
        // A name look-up that outlasted the caller's wait changes nothing any more.
        if (wait.abandoned)
            wait.outcome = Wait::Outcome::Stopped;
    }
    ~Connection()
    {
        m_relays.clear();
        if (m_http)
            m_cups.httpClose(m_http);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    [[nodiscard]] bool connected() const { return m_http; }

    /// The connection for the next operation. A socket that libcups opened
    /// anew since the last one (as a scheduler may make it) is relayed too.
    [[nodiscard]] http_t *http()
    {
        if (!m_http)
            return nullptr;
        const int fd = m_cups.httpGetFd(m_http);
        if (m_relays.empty() || !m_relays.back()->relays(fd))
            m_relays.push_back(std::make_unique<SocketRelay>(fd, m_wait.deadline, m_wait.abandoned,
                                                             PrintBudget::mostAnswered -
                                                                 std::min(received(), PrintBudget::mostAnswered)));
        m_receivedBefore = received();
        return m_http;
    }

    /// How the wait went, by libcups's callbacks or the relay's cuts.
    [[nodiscard]] Wait::Outcome outcome() const
    {
        for (const auto &relay : m_relays) {
            switch (relay->cut()) {
            case SocketRelay::Cut::None:
                break;
            case SocketRelay::Cut::Deadline:
                return Wait::Outcome::TimedOut;
            case SocketRelay::Cut::Stopped:
                return Wait::Outcome::Stopped;
            case SocketRelay::Cut::TooMuch:
                return Wait::Outcome::TooMuch;
            }
        }
        return m_wait.outcome;
    }

    /// Whether the scheduler sent anything since the operation began.
    [[nodiscard]] bool sentSomething() const { return received() > m_receivedBefore; }

private:
    [[nodiscard]] std::size_t received() const
    {
        return std::accumulate(m_relays.begin(), m_relays.end(), std::size_t(0),
                               [](std::size_t all, const auto &relay) { return all + relay->received(); });
    }

    const CupsLibrary &m_cups;
    Wait &m_wait;
    http_t *m_http = nullptr;
    std::vector<std::unique_ptr<SocketRelay>> m_relays;
    std::size_t m_receivedBefore = 0;
};

// What the password callback may hand out in this conversation: the
// credentials it was given, once.
struct CupsClient::Passwords
{
    std::optional<Credentials> given;
    decltype(&cupsSetUser) setUser = nullptr;
    std::string handedOut; // the password, while libcups uses it
    bool wanted = false; // asked for with none at hand
    bool refused = false; // asked for again: the scheduler did not take them

    static const char *answer(const char * /*prompt*/, http_t * /*http*/, const char * /*method*/,
                              const char * /*resource*/, void *data)
    {
        auto *passwords = static_cast<Passwords *>(data);
        if (!passwords)
            return nullptr;
        if (!passwords->handedOut.empty()) {
            passwords->refused = true;
            return nullptr;
        }
        if (!passwords->given) {
            passwords->wanted = true;
            return nullptr;
        }
        passwords->setUser(passwords->given->user.c_str());
        passwords->handedOut = passwords->given->password;
        return passwords->handedOut.c_str();
    }
};

// Paper that prints nothing, or that PDF cannot describe, is left to the
// locale's.
bool CupsClient::Paper::holdsTheLines() const
{
    constexpr int smallest = PrintoutPage::smallest * 100;
    constexpr int largest = PrintoutPage::largest * 100;
    return width >= smallest && length >= smallest && width <= largest && length <= largest;
}

bool CupsClient::JobState::holdsDocument() const
{
    return state >= IPP_JSTATE_PENDING && state != IPP_JSTATE_CANCELED && state != IPP_JSTATE_ABORTED &&
        !documentIncoming;
}

bool CupsClient::Destination::wantsCredentials() const
{
    return std::any_of(authInfoRequired.begin(), authInfoRequired.end(),
                       [](const std::string &keyword) { return keyword != "none" && keyword != "negotiate"; });
}

CupsClient::CupsClient(const CupsLibrary &cups, Clock::time_point deadline, const std::atomic<bool> &abandoned,
                       std::optional<Credentials> credentials)
    : m_cups(cups)
    , m_wait(std::make_unique<Wait>(Wait{deadline, abandoned}))
    , m_passwords(std::make_unique<Passwords>(Passwords{std::move(credentials), cups.cupsSetUser, {}, false, false}))
{
    // libcups keeps the password callback for each thread; this conversation's replaces any earlier one.
    cups.cupsSetPasswordCB2(&Passwords::answer, m_passwords.get());
    m_connection = std::make_unique<Connection>(cups, *m_wait);
}

CupsClient::~CupsClient()
{
    m_connection.reset();
    // Never libcups's own callback, which would ask on the terminal.
    m_cups.cupsSetPasswordCB2(&Passwords::answer, nullptr);
}

std::string CupsClient::server(const CupsLibrary &cups)
{
    const std::string name = cups.cupsServer();
    return name.starts_with('/') ? name : name + ":" + std::to_string(cups.ippPort());
}

// Why a conversation ended before its answer.
template<typename T>
CupsClient::Result<T> CupsClient::failed(const Connection &connection) const
{
    if (m_passwords->refused)
        return {Status::PasswordRefused, {}, {}};
    if (m_passwords->wanted)
        return {Status::PasswordWanted, {}, {}};
    switch (connection.outcome()) {
    case Wait::Outcome::Stopped:
        return {Status::Stopped, {}, {}};
    case Wait::Outcome::TooMuch:
        return {Status::BrokenAnswer, {}, {}};
    case Wait::Outcome::TimedOut:
        if (connection.connected())
            return {Status::NotResponding, {}, {}};
        break;
    case Wait::Outcome::Answered:
        // It answered, with something that is no answer: cut short or garbled.
        if (connection.sentSomething())
            return {Status::BrokenAnswer, {}, {}};
        break;
    }
    return {Status::Unreachable, {}, {}};
}

// Asks the scheduler a real question, briefly: whether it answers at all.
CupsClient::Status CupsClient::probe() const
{
    Wait wait{Clock::now() + PrintBudget::probe, m_wait->abandoned};
    Connection connection(m_cups, wait);
    http_t *http = connection.http();
    ipp_t *answer = http ? m_cups.cupsDoRequest(http, m_cups.ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/") : nullptr;
    m_cups.ippDelete(answer);
    return answer ? Status::Ok : failed<bool>(connection).status;
}

// Why the printer did not take the printout, read from CUPS's last error, so
// it must come before any further CUPS call. CUPS gives one internal error
// both for a scheduler it cannot reach and for a printer that is gone;
// asking the scheduler tells them apart.
template<typename T>
CupsClient::Result<T> CupsClient::notDelivered(const std::string &printer)
{
    if (!m_connection->connected() || m_connection->outcome() != Wait::Outcome::Answered || m_passwords->wanted ||
        m_passwords->refused)
        return failed<T>(*m_connection);
    const char *text = m_cups.cupsLastErrorString();
    const std::string why = text && *text ? text : "unknown error";
    const ipp_status_t status = m_cups.cupsLastError();
    if (status != IPP_STATUS_ERROR_INTERNAL && status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
        return {Status::Refused, why, {}};
    if (const Status answered = probe(); answered != Status::Ok)
        return {answered, {}, {}};
    Wait wait{Clock::now() + PrintBudget::probe, m_wait->abandoned};
    Connection again(m_cups, wait);
    http_t *http = again.http();
    cups_dest_t *dest = http ? m_cups.cupsGetNamedDest(http, printer.c_str(), nullptr) : nullptr;
    if (dest) {
        m_cups.cupsFreeDests(1, dest);
        return {Status::Refused, why, {}};
    }
    if (again.outcome() != Wait::Outcome::Answered)
        return failed<T>(again);
    return {Status::NoSuchPrinter, {}, {}};
}

// A paper that CUPS names by its PWG, legacy or PPD name, if it knows it; of
// a list such as "Letter,Upper", the first that it knows.
CupsClient::Paper CupsClient::paperNamed(const std::string &names) const
{
    for (std::size_t start = 0; start < names.size();) {
        const std::size_t end = std::min(names.find(',', start), names.size());
        const std::string name = names.substr(start, end - start);
        const pwg_media_t *media = m_cups.pwgMediaForPWG(name.c_str());
        if (!media)
            media = m_cups.pwgMediaForLegacy(name.c_str());
        if (!media)
            media = m_cups.pwgMediaForPPD(name.c_str());
        if (media)
            return {media->width, media->length};
        start = end + 1;
    }
    return {};
}

// The paper that the printer prints on when a job names none: its
// "media-default", which a driver's queue takes from its PPD's default page
// size, measured as the printer lists it, else by its name. A printer that
// names none there may measure it in "media-col-default" alone.
CupsClient::Paper CupsClient::printersDefaultPaper(http_t *http, cups_dest_t *dest) const
{
    cups_dinfo_t *info = m_cups.cupsCopyDestInfo(http, dest);
    if (!info)
        return {};
    Paper paper;
    ipp_attribute_t *media = m_cups.cupsFindDestDefault(http, dest, info, "media");
    if (const char *name = media ? m_cups.ippGetString(media, 0, nullptr) : nullptr; name && *name) {
        cups_size_t size{};
        if (m_cups.cupsGetDestMediaByName(http, dest, info, name, CUPS_MEDIA_FLAGS_DEFAULT, &size))
            paper = {size.width, size.length};
        else
            paper = paperNamed(name);
    }
    if (!paper.holdsTheLines()) {
        ipp_attribute_t *collection = m_cups.cupsFindDestDefault(http, dest, info, "media-col");
        ipp_t *col = collection ? m_cups.ippGetCollection(collection, 0) : nullptr;
        ipp_attribute_t *size = col ? m_cups.ippFindAttribute(col, "media-size", IPP_TAG_BEGIN_COLLECTION) : nullptr;
        ipp_t *dimensions = size ? m_cups.ippGetCollection(size, 0) : nullptr;
        ipp_attribute_t *x = dimensions ? m_cups.ippFindAttribute(dimensions, "x-dimension", IPP_TAG_INTEGER) : nullptr;
        ipp_attribute_t *y = dimensions ? m_cups.ippFindAttribute(dimensions, "y-dimension", IPP_TAG_INTEGER) : nullptr;
        if (x && y)
            paper = {m_cups.ippGetInteger(x, 0), m_cups.ippGetInteger(y, 0)};
    }
    m_cups.cupsFreeDestInfo(info);
    return paper;
}

CupsClient::Result<CupsClient::Destination> CupsClient::defaultDestination()
{
    http_t *http = m_connection->http();
    cups_dest_t *dest = http ? m_cups.cupsGetNamedDest(http, nullptr, nullptr) : nullptr;
    if (!dest) {
        const char *text = m_cups.cupsLastErrorString();
        std::string why = text && *text ? text : "unknown error";
        if (!http || m_connection->outcome() != Wait::Outcome::Answered || m_passwords->wanted || m_passwords->refused)
            return failed<Destination>(*m_connection);
        if (const Status answered = probe(); answered != Status::Ok)
            return {answered, {}, {}};
        if (why.ends_with('.'))
            why.pop_back();
        return {Status::NoDefaultPrinter, why, {}};
    }
    Destination found;
    found.name = dest->name;
    for (int i = 0; i < dest->num_options; ++i)
        found.options.emplace_back(dest->options[i].name, dest->options[i].value);
    // The user's own paper (lpoptions) first, which goes with the job as the
    // user saved it, then the printer's default, which a job that names no
    // paper gets, as one from lp does.
    if (const char *media = m_cups.cupsGetOption("media", dest->num_options, dest->options))
        found.paper = paperNamed(media);
    if (!found.paper.holdsTheLines())
        found.paper = printersDefaultPaper(http, dest);
    if (!found.paper.holdsTheLines())
        found.paper = {};
    if (const char *required = m_cups.cupsGetOption("auth-info-required", dest->num_options, dest->options)) {
        const std::string list = required;
        for (std::size_t start = 0; start < list.size();) {
            const std::size_t end = std::min(list.find(',', start), list.size());
            found.authInfoRequired.push_back(list.substr(start, end - start));
            start = end + 1;
        }
    }
    m_cups.cupsFreeDests(1, dest);
    return {Status::Ok, {}, std::move(found)};
}

CupsClient::Result<int> CupsClient::createJob(const Destination &printer, const std::string &title,
                                              const std::optional<Credentials> &authInfo)
{
    http_t *http = m_connection->http();
    if (!http)
        return failed<int>(*m_connection);
    // The user's options as lp sends them.
    cups_option_t *options = nullptr;
    int count = 0;
    for (const auto &[name, value] : printer.options)
        count = m_cups.cupsAddOption(name.c_str(), value.c_str(), count, &options);
    ipp_t *request = m_cups.ippNewRequest(IPP_OP_CREATE_JOB);
    const std::string resource = "/printers/" + printer.name;
    m_cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                        ("ipp://localhost" + resource).c_str());
    m_cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, m_cups.cupsUser());
    m_cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    m_cups.cupsEncodeOptions2(request, count, options, IPP_TAG_OPERATION);
    m_cups.cupsEncodeOptions2(request, count, options, IPP_TAG_JOB);
    m_cups.cupsFreeOptions(count, options);
    if (authInfo)
        addAuthInfo(request, printer.authInfoRequired, *authInfo);
    ipp_t *answer = m_cups.cupsDoRequest(http, request, resource.c_str());
    ipp_attribute_t *id = answer ? m_cups.ippFindAttribute(answer, "job-id", IPP_TAG_INTEGER) : nullptr;
    const int job = id && m_cups.cupsLastError() <= IPP_STATUS_OK_CONFLICTING ? m_cups.ippGetInteger(id, 0) : 0;
    m_cups.ippDelete(answer);
    if (job <= 0)
        return notDelivered<int>(printer.name);
    return {Status::Ok, {}, job};
}

CupsClient::Result<bool> CupsClient::sendDocument(const std::string &printer, int job, std::string_view pdf)
{
    http_t *http = m_connection->http();
    if (!http)
        return failed<bool>(*m_connection);
    const bool started =
        m_cups.cupsStartDocument(http, printer.c_str(), job, "Jeerforge", CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    const bool written = started && m_cups.cupsWriteRequestData(http, pdf.data(), pdf.size()) == HTTP_STATUS_CONTINUE;
    // The answer itself, not libcups's last status, which without one is still Create-Job's.
    ipp_t *answer = written ? m_cups.cupsGetResponse(http, ("/printers/" + printer).c_str()) : nullptr;
    const bool held = answer && m_cups.cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
    m_cups.ippDelete(answer);
    if (held)
        return {Status::Ok, {}, true};
    if (written && !answer && !m_passwords->wanted && !m_passwords->refused) {
        Result<bool> unanswered = failed<bool>(*m_connection);
        unanswered.value = true;
        return unanswered;
    }
    Result<bool> result = notDelivered<bool>(printer);
    // A scheduler that stopped answering is not asked again: the job stays held, unprinted.
    if (m_connection->outcome() == Wait::Outcome::Answered)
        m_cups.cupsCancelJob2(http, printer.c_str(), job, 0);
    return result;
}

ipp_t *CupsClient::jobRequest(ipp_op_t operation, int job) const
{
    ipp_t *request = m_cups.ippNewRequest(operation);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
    m_cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    m_cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, m_cups.cupsUser());
    return request;
}

// The credentials in the order the printer names them.
void CupsClient::addAuthInfo(ipp_t *request, const std::vector<std::string> &required,
                             const Credentials &credentials) const
{
    std::vector<std::string> values;
    for (const std::string &keyword : required) {
        if (keyword == "username")
            values.push_back(credentials.user);
        else if (keyword == "password")
            values.push_back(credentials.password);
        else if (keyword == "domain")
            values.emplace_back();
    }
    if (values.empty())
        values = {credentials.user, credentials.password};
    std::vector<const char *> texts(values.size());
    std::transform(values.begin(), values.end(), texts.begin(), [](const std::string &value) { return value.c_str(); });
    m_cups.ippAddStrings(request, IPP_TAG_JOB, IPP_TAG_TEXT, "auth-info", static_cast<int>(texts.size()), nullptr,
                         texts.data());
}

CupsClient::Result<CupsClient::JobState> CupsClient::jobState(int job)
{
    http_t *http = m_connection->http();
    if (!http)
        return failed<JobState>(*m_connection);
    ipp_t *request = jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, job);
    static constexpr std::array<const char *, 2> wanted{"job-state", "job-state-reasons"};
    m_cups.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", int(wanted.size()),
                         nullptr, wanted.data());
    ipp_t *answer = m_cups.cupsDoRequest(http, request, "/jobs");
    const ipp_status_t status = m_cups.cupsLastError();
    Result<JobState> told;
    ipp_attribute_t *state = answer ? m_cups.ippFindAttribute(answer, "job-state", IPP_TAG_ENUM) : nullptr;
    if (answer && status <= IPP_STATUS_OK_CONFLICTING && !state) {
        told = {Status::BrokenAnswer, {}, {}}; // an answer about a job that does not say its state
    } else if (answer && status <= IPP_STATUS_OK_CONFLICTING) {
        ipp_attribute_t *reasons = m_cups.ippFindAttribute(answer, "job-state-reasons", IPP_TAG_KEYWORD);
        told.value.state = ipp_jstate_t(m_cups.ippGetInteger(state, 0));
        told.value.documentIncoming = reasons && m_cups.ippContainsString(reasons, "job-incoming");
        told.value.heldForAuthentication = reasons && m_cups.ippContainsString(reasons, "cups-held-for-authentication");
    } else if (!answer || m_connection->outcome() != Wait::Outcome::Answered || m_passwords->wanted ||
               m_passwords->refused) {
        told = failed<JobState>(*m_connection);
    } else if (status != IPP_STATUS_ERROR_NOT_FOUND) {
        // A refusal: whether the job prints is not known.
        const char *text = m_cups.cupsLastErrorString();
        told = {Status::Refused, text && *text ? text : "unknown error", {}};
    } // else the scheduler knows no such job any more: as good as canceled
    m_cups.ippDelete(answer);
    return told;
}

CupsClient::Result<bool> CupsClient::authenticate(int job, const Destination &printer, const Credentials &authInfo)
{
    http_t *http = m_connection->http();
    if (!http)
        return failed<bool>(*m_connection);
    ipp_t *request = jobRequest(IPP_OP_CUPS_AUTHENTICATE_JOB, job);
    addAuthInfo(request, printer.authInfoRequired, authInfo);
    ipp_t *answer = m_cups.cupsDoRequest(http, request, "/jobs");
    const bool taken = answer && m_cups.cupsLastError() <= IPP_STATUS_OK_CONFLICTING;
    m_cups.ippDelete(answer);
    if (taken)
        return {Status::Ok, {}, true};
    Result<bool> result = notDelivered<bool>(printer.name);
    // A scheduler that stopped answering is not asked again, as for a document.
    result.value = m_connection->outcome() != Wait::Outcome::Answered ||
        m_cups.cupsCancelJob2(http, printer.name.c_str(), job, 0) > IPP_STATUS_OK_CONFLICTING;
    return result;
}

CupsClient::Result<bool> CupsClient::cancel(const std::string &printer, int job)
{
    http_t *http = m_connection->http();
    if (!http)
        return failed<bool>(*m_connection);
    if (m_cups.cupsCancelJob2(http, printer.c_str(), job, 0) > IPP_STATUS_OK_CONFLICTING)
        return notDelivered<bool>(printer);
    return {Status::Ok, {}, true};
}
