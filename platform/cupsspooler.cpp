// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsspooler.h"

#include "platformservices.h"

#include <QSizeF>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cups/cups.h>
#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

namespace {

// The whole time budget. What a press and an attempt at the end may take of
// their caller; what the scheduler may take of that, leaving room for the
// questions that tell why it failed; how long a connection may take to open
// and how long each of those questions waits for its answer.
constexpr milliseconds pressBound = 10s;
constexpr milliseconds endBound = 30s;
constexpr milliseconds roomForAnswer = 1s;
constexpr milliseconds roomForWhy = 4s;
constexpr milliseconds connectPatience = 1500ms;
constexpr milliseconds probePatience = 2s;
// How often, in seconds, a wait on the scheduler's connection asks whether to go on.
constexpr double askEvery = 0.1;

// What the password callback, on the print service's thread, may hand out
// during one conversation: the credentials the user gave, once.
struct PasswordRequest
{
    std::optional<Printout::Credentials> credentials;
    decltype(&cupsSetUser) setUser = nullptr;
    std::string handedOut; // the password, while libcups uses it
    bool wanted = false; // asked for with none at hand
    bool refused = false; // asked for again: the service did not take them
};
thread_local PasswordRequest *passwordRequest = nullptr;

// Never a prompt on the terminal: only what the user gave in a dialog goes.
const char *answerPassword(const char * /*prompt*/, http_t * /*http*/, const char * /*method*/,
                           const char * /*resource*/, void * /*data*/)
{
    PasswordRequest *request = passwordRequest;
    if (!request)
        return nullptr;
    if (!request->handedOut.empty()) {
        request->refused = true;
        return nullptr;
    }
    if (!request->credentials) {
        request->wanted = true;
        return nullptr;
    }
    request->setUser(request->credentials->user.c_str());
    request->handedOut = request->credentials->password;
    return request->handedOut.c_str();
}

} // namespace

// One wait for the scheduler, on the print service's thread: over at its
// deadline, or as soon as nobody waits for it any more.
struct CupsSpooler::Wait
{
    Clock::time_point deadline;
    const PrintServiceThread::Abandoned &abandoned;
    std::string printer; // "" while the default printer is looked for
    enum class Outcome { Answered, TimedOut, Stopped } outcome = Outcome::Answered;

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

// What one conversation found out, written on the print service's thread
// and read on the caller's once it is over.
struct CupsSpooler::Answer
{
    std::string error; // for the user; "" when all went well
    bool passwordWanted = false;
    bool passwordRefused = false;
    std::string printer;
    QPageSize paper;
    // cppcheck-suppress unusedStructMember ; read when the job is sent
    std::string media; // the printer's own name for its default paper, from its capabilities
    // cppcheck-suppress unusedStructMember ; read when the job is sent
    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> authInfoRequired;
    int job = 0;
    bool held = false; // until the printer is given a user name and password
};

// The caller's deadline, and the scheduler's within it.
struct CupsSpooler::Deadline
{
    explicit Deadline(Bound bound)
        : caller(Clock::now() + (bound == Bound::Press ? pressBound : endBound) - roomForAnswer)
        , service(caller - roomForWhy)
    {}
    void extend(Clock::duration by)
    {
        caller += by;
        service += by;
    }
    Clock::time_point caller;
    Clock::time_point service;
};

// The calls Jeerforge makes into libcups, found when printing first needs them,
// and what it makes of their answers. Once loaded the library stays for the
// rest of the run: its dependencies set up state of their own that unloading
// would strand. All but the loading runs on the print service's thread, where
// libcups keeps its settings.
struct CupsSpooler::Library
{
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsAddOption) addOption = nullptr;
    decltype(&cupsFreeOptions) freeOptions = nullptr;
    decltype(&cupsCopyDestInfo) copyDestInfo = nullptr;
    decltype(&cupsFreeDestInfo) freeDestInfo = nullptr;
    decltype(&cupsGetDestMediaDefault) getDestMediaDefault = nullptr;
    decltype(&cupsLastError) lastErrorCode = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsEncodeOptions2) encodeOptions = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob = nullptr;
    decltype(&cupsDoRequest) doRequest = nullptr;
    decltype(&cupsSetPasswordCB2) setPasswordCB = nullptr;
    decltype(&cupsSetUser) setUser = nullptr;
    decltype(&cupsUser) user = nullptr;
    decltype(&ippNewRequest) newRequest = nullptr;
    decltype(&ippAddString) addString = nullptr;
    decltype(&ippAddStrings) addStrings = nullptr;
    decltype(&ippFindAttribute) findAttribute = nullptr;
    decltype(&ippContainsString) containsString = nullptr;
    decltype(&ippGetInteger) getInteger = nullptr;
    decltype(&ippDelete) deleteIpp = nullptr;
    decltype(&cupsServer) server = nullptr;
    decltype(&ippPort) port = nullptr;
    decltype(&cupsEncryption) encryption = nullptr;
    decltype(&httpConnect2) connect = nullptr;
    decltype(&httpSetTimeout) setTimeout = nullptr;
    decltype(&httpClose) close = nullptr;
    decltype(&pwgMediaForPWG) mediaForPwg = nullptr;
    decltype(&pwgMediaForLegacy) mediaForLegacy = nullptr;
    decltype(&pwgMediaForPPD) mediaForPpd = nullptr;
    // "print service (CUPS, at SERVER)", with the port where it is no socket.
    std::string service;

    // A connection to the scheduler whose every wait is the given one.
    class Connection
    {
    public:
        Connection(const Library &cups, Wait &wait)
            : m_cups(cups)
        {
            const auto left = std::chrono::duration_cast<milliseconds>(wait.deadline - Clock::now());
            const auto patience = std::clamp(left, milliseconds(1), connectPatience);
            m_http = wait.abandoned ? nullptr
                                    : cups.connect(cups.server(), cups.port(), nullptr, AF_UNSPEC, cups.encryption(), 1,
                                                   static_cast<int>(patience.count()), nullptr);
            if (m_http)
                cups.setTimeout(m_http, askEvery, &Wait::goOn, &wait);
            // A name look-up that outlasted the caller's wait changes nothing any more.
            if (wait.abandoned)
                wait.outcome = Wait::Outcome::Stopped;
        }
        ~Connection()
        {
            if (m_http)
                m_cups.close(m_http);
        }
        Connection(const Connection &) = delete;
        Connection &operator=(const Connection &) = delete;

        [[nodiscard]] http_t *http() const { return m_http; }

    private:
        const Library &m_cups;
        http_t *m_http = nullptr;
    };

    [[nodiscard]] std::string lastError() const
    {
        const char *text = lastErrorString();
        return text && *text ? text : "unknown error";
    }

    // Asks the scheduler a real question, briefly. Returns "" when it answers,
    // or the sentence, without its full stop, that tells the user it does not.
    [[nodiscard]] std::string unanswered(const Wait &wait) const
    {
        Wait probe{Clock::now() + probePatience, wait.abandoned, {}};
        const Connection connection(*this, probe);
        ipp_t *answer =
            connection.http() ? doRequest(connection.http(), newRequest(IPP_OP_CUPS_GET_DEFAULT), "/") : nullptr;
        deleteIpp(answer);
        return answer ? std::string() : whyUnanswered(connection, probe);
    }

    // Why a conversation with the scheduler ended before its answer, as the
    // beginning of a sentence.
    [[nodiscard]] std::string whyUnanswered(const Connection &connection, const Wait &wait) const
    {
        if (wait.outcome == Wait::Outcome::Stopped)
            return "The wait for the " + service + " was stopped";
        if (connection.http() && wait.outcome == Wait::Outcome::TimedOut)
            return "The " + service + " is not responding";
        return "The " + service + " is not running or could not be reached";
    }

    // The default printer; free it with freeDests(1, dest). Throws
    // PlatformError, for the user, when there is none or no print service.
    [[nodiscard]] cups_dest_t *defaultDest(const Connection &connection, const Wait &wait) const
    {
        cups_dest_t *dest = connection.http() ? getNamedDest(connection.http(), nullptr, nullptr) : nullptr;
        if (dest)
            return dest;
        std::string why = lastError();
        if (!connection.http() || wait.outcome != Wait::Outcome::Answered)
            throw PlatformError(whyUnanswered(connection, wait) + ".");
        if (std::string message = unanswered(wait); !message.empty())
            throw PlatformError(message + ".");
        if (why.ends_with('.'))
            why.pop_back();
        throw PlatformError("There is no default printer (" + why +
                            "). Set one up in your desktop's printer settings, or with \"lpadmin -d PRINTER\".");
    }

    // Why the printer did not take the printout, read from CUPS's last error,
    // so it must come before any further CUPS call. CUPS gives one internal
    // error both for a scheduler it cannot reach and for a printer that is
    // gone; asking the scheduler tells them apart.
    [[nodiscard]] std::string whyNotDelivered(const Connection &connection, const Wait &wait) const
    {
        const std::string consequence = ", so the printout did not reach the printer \"" + wait.printer + "\".";
        if (!connection.http() || wait.outcome != Wait::Outcome::Answered)
            return whyUnanswered(connection, wait) + consequence;
        const std::string why = lastError();
        const ipp_status_t status = lastErrorCode();
        const std::string refused = "The printer \"" + wait.printer + "\" refused the printout: ";
        if (status != IPP_STATUS_ERROR_INTERNAL && status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
            return refused + why;
        if (const std::string message = unanswered(wait); !message.empty())
            return message + consequence;
        Wait lookup{Clock::now() + probePatience, wait.abandoned, wait.printer};
        const Connection again(*this, lookup);
        cups_dest_t *dest = again.http() ? getNamedDest(again.http(), wait.printer.c_str(), nullptr) : nullptr;
        if (dest)
            freeDests(1, dest);
        else if (lookup.outcome != Wait::Outcome::Answered)
            return whyUnanswered(again, lookup) + consequence;
        return refused + (dest ? why : "the print service knows no such printer any more.");
    }

    // A paper size that CUPS names by its PWG, legacy or PPD name, if it
    // knows it; of a list such as "Letter,Upper", the first that it knows.
    [[nodiscard]] QPageSize paperNamed(const std::string &names) const
    {
        for (std::size_t start = 0; start < names.size();) {
            const std::size_t end = std::min(names.find(',', start), names.size());
            const std::string name = names.substr(start, end - start);
            const pwg_media_t *media = mediaForPwg(name.c_str());
            if (!media)
                media = mediaForLegacy(name.c_str());
            if (!media)
                media = mediaForPpd(name.c_str());
            if (media)
                return paperOf(media->width, media->length);
            start = end + 1;
        }
        return {};
    }

    // CUPS measures in hundredths of a millimetre; a standard size keeps its name.
    static QPageSize paperOf(int width, int length)
    {
        if (width <= 0 || length <= 0)
            return {};
        return QPageSize(QSizeF(width / 100.0, length / 100.0), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
    }

    // The default printer, its paper and what the user saved for it.
    void lookUp(Answer &answer, Wait &wait) const
    {
        const Connection connection(*this, wait);
        cups_dest_t *dest = defaultDest(connection, wait);
        answer.printer = dest->name;
        for (int i = 0; i < dest->num_options; ++i)
            answer.options.emplace_back(dest->options[i].name, dest->options[i].value);
        // The user's own paper (lpoptions) first, then the printer's default from its capabilities.
        if (const char *media = getOption("media", dest->num_options, dest->options))
            answer.paper = paperNamed(media);
        if (!answer.paper.isValid()) {
            cups_dinfo_t *info = copyDestInfo(connection.http(), dest);
            cups_size_t size{};
            if (info && getDestMediaDefault(connection.http(), dest, info, CUPS_MEDIA_FLAGS_DEFAULT, &size)) {
                answer.paper = paperOf(size.width, size.length);
                answer.media = size.media;
            }
            freeDestInfo(info);
        }
        if (const char *required = getOption("auth-info-required", dest->num_options, dest->options)) {
            const std::string list = required;
            for (std::size_t start = 0; start < list.size();) {
                const std::size_t end = std::min(list.find(',', start), list.size());
                answer.authInfoRequired.push_back(list.substr(start, end - start));
                start = end + 1;
            }
        }
        freeDests(1, dest);
    }

    // Sends the document as one job, with the user's options as lp sends
    // them and Jeerforge's own paper where they overlap, and with the
    // credentials that its printer asks for, if given. Then looks once at
    // whether the printer holds it for a user name and password.
    void send(Answer &answer, const Answer &found, const std::optional<Printout::Credentials> &credentials,
              const std::string &title, const QByteArray &pdf, Wait &wait) const
    {
        const Connection connection(*this, wait);
        http_t *http = connection.http();
        if (!http)
            throw PlatformError(whyNotDelivered(connection, wait));
        const char *printer = wait.printer.c_str();
        const int job = createJob(http, found, credentials, title, wait);
        if (job <= 0)
            throw PlatformError(whyNotDelivered(connection, wait));

        const bool started =
            startDocument(http, printer, job, title.c_str(), CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
        const bool written = started &&
            writeRequestData(http, pdf.constData(), static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
        if (!started || !written || finishDocument(http, printer) > IPP_STATUS_OK_CONFLICTING) {
            const PlatformError error(whyNotDelivered(connection, wait));
            // A scheduler that stopped answering is not asked again: the job stays held, unprinted.
            if (wait.outcome == Wait::Outcome::Answered)
                cancelJob(http, printer, job, 0);
            throw error;
        }
        answer.job = job;
        answer.held = heldForCredentials(http, job);
    }

    // Create-Job, as cupsCreateJob sends it, with auth-info added where given.
    [[nodiscard]] int createJob(http_t *http, const Answer &found,
                                const std::optional<Printout::Credentials> &credentials, const std::string &title,
                                const Wait &wait) const
    {
        cups_option_t *options = nullptr;
        int count = 0;
        for (const auto &[name, value] : found.options)
            count = addOption(name.c_str(), value.c_str(), count, &options);
        if (!found.media.empty())
            count = addOption("media", found.media.c_str(), count, &options);
        ipp_t *request = newRequest(IPP_OP_CREATE_JOB);
        const std::string resource = "/printers/" + wait.printer;
        addString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                  ("ipp://localhost" + resource).c_str());
        addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, user());
        addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
        encodeOptions(request, count, options, IPP_TAG_OPERATION);
        encodeOptions(request, count, options, IPP_TAG_JOB);
        freeOptions(count, options);
        if (credentials)
            addAuthInfo(request, found.authInfoRequired, *credentials);
        ipp_t *answer = doRequest(http, request, resource.c_str());
        ipp_attribute_t *id = answer ? findAttribute(answer, "job-id", IPP_TAG_INTEGER) : nullptr;
        const int job = id && lastErrorCode() <= IPP_STATUS_OK_CONFLICTING ? getInteger(id, 0) : 0;
        deleteIpp(answer);
        return job;
    }

    // The credentials in the order the printer names them.
    void addAuthInfo(ipp_t *request, const std::vector<std::string> &required,
                     const Printout::Credentials &credentials) const
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
        std::transform(values.begin(), values.end(), texts.begin(),
                       [](const std::string &value) { return value.c_str(); });
        addStrings(request, IPP_TAG_JOB, IPP_TAG_TEXT, "auth-info", static_cast<int>(texts.size()), nullptr,
                   texts.data());
    }

    [[nodiscard]] ipp_t *jobRequest(ipp_op_t operation, int job) const
    {
        ipp_t *request = newRequest(operation);
        const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
        addString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
        addString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, user());
        return request;
    }

    [[nodiscard]] bool heldForCredentials(http_t *http, int job) const
    {
        ipp_t *request = jobRequest(IPP_OP_GET_JOB_ATTRIBUTES, job);
        static constexpr std::array<const char *, 1> wanted{"job-state-reasons"};
        addStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 1, nullptr, wanted.data());
        ipp_t *answer = doRequest(http, request, "/jobs");
        ipp_attribute_t *reasons = answer ? findAttribute(answer, "job-state-reasons", IPP_TAG_KEYWORD) : nullptr;
        const bool held = reasons && containsString(reasons, "cups-held-for-authentication");
        deleteIpp(answer);
        return held;
    }

    // Hands a held job the credentials its printer asks for, in the order it
    // names them (CUPS-Authenticate-Job), or, without them, cancels it.
    void release(const Answer &sent, const std::optional<Printout::Credentials> &credentials, Wait &wait) const
    {
        const Connection connection(*this, wait);
        http_t *http = connection.http();
        if (!http)
            throw PlatformError(whyNotDelivered(connection, wait));
        if (!credentials) {
            cancelJob(http, wait.printer.c_str(), sent.job, 0);
            return;
        }
        ipp_t *request = jobRequest(IPP_OP_CUPS_AUTHENTICATE_JOB, sent.job);
        addAuthInfo(request, sent.authInfoRequired, *credentials);
        ipp_t *answer = doRequest(http, request, "/jobs");
        deleteIpp(answer);
        if (!answer || lastErrorCode() > IPP_STATUS_OK_CONFLICTING) {
            const std::string why = whyNotDelivered(connection, wait);
            cancelJob(http, wait.printer.c_str(), sent.job, 0);
            throw PlatformError(why);
        }
    }
};

namespace {

template<typename Function>
void resolve(void *handle, Function &function, const char *name)
{
    function = reinterpret_cast<Function>(dlsym(handle, name));
    if (!function)
        throw PlatformError(std::string("The CUPS library lacks ") + name + ", so nothing can be printed.");
}

} // namespace

CupsSpooler::CupsSpooler() = default;
CupsSpooler::~CupsSpooler() = default;

const CupsSpooler::Library &CupsSpooler::library()
{
    if (m_library)
        return *m_library;
    auto loaded = std::make_shared<Library>();
    void *handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        throw PlatformError("Printing needs the CUPS library (the libcups2 package), which could not be loaded: " +
                            std::string(dlerror()));
    }
    resolve(handle, loaded->getNamedDest, "cupsGetNamedDest");
    resolve(handle, loaded->freeDests, "cupsFreeDests");
    resolve(handle, loaded->getOption, "cupsGetOption");
    resolve(handle, loaded->addOption, "cupsAddOption");
    resolve(handle, loaded->freeOptions, "cupsFreeOptions");
    resolve(handle, loaded->copyDestInfo, "cupsCopyDestInfo");
    resolve(handle, loaded->freeDestInfo, "cupsFreeDestInfo");
    resolve(handle, loaded->getDestMediaDefault, "cupsGetDestMediaDefault");
    resolve(handle, loaded->lastErrorCode, "cupsLastError");
    resolve(handle, loaded->lastErrorString, "cupsLastErrorString");
    resolve(handle, loaded->encodeOptions, "cupsEncodeOptions2");
    resolve(handle, loaded->startDocument, "cupsStartDocument");
    resolve(handle, loaded->writeRequestData, "cupsWriteRequestData");
    resolve(handle, loaded->finishDocument, "cupsFinishDocument");
    resolve(handle, loaded->cancelJob, "cupsCancelJob2");
    resolve(handle, loaded->doRequest, "cupsDoRequest");
    resolve(handle, loaded->setPasswordCB, "cupsSetPasswordCB2");
    resolve(handle, loaded->setUser, "cupsSetUser");
    resolve(handle, loaded->user, "cupsUser");
    resolve(handle, loaded->newRequest, "ippNewRequest");
    resolve(handle, loaded->addString, "ippAddString");
    resolve(handle, loaded->addStrings, "ippAddStrings");
    resolve(handle, loaded->findAttribute, "ippFindAttribute");
    resolve(handle, loaded->containsString, "ippContainsString");
    resolve(handle, loaded->getInteger, "ippGetInteger");
    resolve(handle, loaded->deleteIpp, "ippDelete");
    resolve(handle, loaded->server, "cupsServer");
    resolve(handle, loaded->port, "ippPort");
    resolve(handle, loaded->encryption, "cupsEncryption");
    resolve(handle, loaded->connect, "httpConnect2");
    resolve(handle, loaded->setTimeout, "httpSetTimeout");
    resolve(handle, loaded->close, "httpClose");
    resolve(handle, loaded->mediaForPwg, "pwgMediaForPWG");
    resolve(handle, loaded->mediaForLegacy, "pwgMediaForLegacy");
    resolve(handle, loaded->mediaForPpd, "pwgMediaForPPD");
    // Read where it is set: from the environment and client.conf, as the other thread reads it.
    const std::string server = loaded->server();
    loaded->service = "print service (CUPS, at " + server +
        (server.starts_with('/') ? std::string() : ":" + std::to_string(loaded->port())) + ")";
    m_library = std::move(loaded);
    return *m_library;
}

// Runs one step on the print service's thread within the deadline. Where the
// scheduler wants a password that is not at hand, the user is asked and the
// step runs again. Throws PlatformError when the wait ends first, or the
// password is refused or not given.
std::shared_ptr<CupsSpooler::Answer> CupsSpooler::converse(const Step &step, Deadline &deadline,
                                                           const std::string &printer)
{
    const std::string consequence =
        printer.empty() ? std::string(".") : ", so the printout did not reach the printer \"" + printer + "\".";
    for (;;) {
        auto answer = std::make_shared<Answer>();
        const bool done = m_thread.run(
            [library = m_library, answer, step, printer, credentials = m_credentials,
             until = deadline.service](const PrintServiceThread::Abandoned &abandoned) {
                PasswordRequest request{credentials, library->setUser, {}, false, false};
                passwordRequest = &request;
                library->setPasswordCB(&answerPassword, nullptr);
                Wait wait{until, abandoned, printer};
                try {
                    step(*library, *answer, wait);
                } catch (const PlatformError &error) {
                    answer->error = error.what();
                }
                passwordRequest = nullptr;
                answer->passwordWanted = request.wanted;
                answer->passwordRefused = request.refused;
            },
            deadline.caller, [this, &printer] { return !m_keepWaiting || m_keepWaiting(printer); });
        if (!done)
            throw PlatformError(unanswered(Clock::now() >= deadline.caller, consequence));
        if (answer->passwordRefused) {
            const std::string user = m_credentials ? m_credentials->user : std::string();
            m_credentials.reset();
            throw PlatformError(passwordRefused(user, consequence));
        }
        if (!answer->passwordWanted)
            return answer;
        m_credentials = ask(passwordWanted(printer), deadline);
        if (!m_credentials)
            throw PlatformError(noPasswordGiven(consequence));
    }
}

// What the user is told of a conversation with the print service that ended
// without an answer, or of a password it wanted.
std::string CupsSpooler::unanswered(bool timedOut, const std::string &consequence) const
{
    const std::string &service = m_library->service;
    return (timedOut ? "The " + service + " is not responding" : "The wait for the " + service + " was stopped") +
        consequence;
}

std::string CupsSpooler::passwordRefused(const std::string &user, const std::string &consequence) const
{
    return "The " + m_library->service + " did not accept the password for \"" + user + "\"" + consequence;
}

std::string CupsSpooler::passwordWanted(const std::string &printer) const
{
    return "The " + m_library->service + " asks for a user name and password" +
        (printer.empty() ? std::string(".") : " to print on \"" + printer + "\".");
}

std::string CupsSpooler::noPasswordGiven(const std::string &consequence) const
{
    return "The " + m_library->service + " asks for a user name and password, and none was given" + consequence;
}

// Asks the user for a password, if anyone is there; the time it takes is the user's.
std::optional<Printout::Credentials> CupsSpooler::ask(const std::string &who, Deadline &deadline)
{
    if (!m_askPassword)
        return std::nullopt;
    const auto start = Clock::now();
    std::string user = m_credentials ? m_credentials->user : std::string();
    if (const passwd *login = user.empty() ? ::getpwuid(::geteuid()) : nullptr)
        user = login->pw_name;
    std::optional<Printout::Credentials> given = m_askPassword(who, user);
    deadline.extend(Clock::now() - start);
    if (given && given->password.empty())
        given.reset();
    return given;
}

QPageSize CupsSpooler::defaultPaper(Bound bound)
{
    library();
    Deadline deadline(bound);
    const auto found =
        converse([](const Library &cups, Answer &answer, Wait &wait) { cups.lookUp(answer, wait); }, deadline, {});
    if (!found->error.empty())
        throw PlatformError(found->error);
    return found->paper;
}

int CupsSpooler::submit(const std::string &title, const std::function<QByteArray(const QPageSize &)> &layOut,
                        Bound bound)
{
    library();
    Deadline deadline(bound);
    // An end of the process that came during an attempt waits for that
    // attempt, which the thread finishes first, so the printout never goes twice.
    if (const auto earlier = m_delivered) {
        m_thread.run([](const PrintServiceThread::Abandoned &) {}, deadline.caller,
                     [this] { return !m_keepWaiting || m_keepWaiting({}); });
        if (*earlier > 0)
            return *earlier;
    }

    const auto found =
        converse([](const Library &cups, Answer &answer, Wait &wait) { cups.lookUp(answer, wait); }, deadline, {});
    if (!found->error.empty())
        throw PlatformError(found->error);
    const std::string &printer = found->printer;
    const QByteArray pdf = layOut(found->paper);

    // A printer that holds its jobs until it gets a user name and password
    // (an SMB share, a protected IPP printer) gets them with the job, or
    // gets no job; a hold that comes all the same is met the same way.
    const std::string printerAsks =
        "The printer \"" + printer + "\" asks for a user name and password before it prints";
    const auto noneGiven = [&printerAsks] {
        return PlatformError(printerAsks + ", and none was given, so the printout was not printed.");
    };
    std::optional<Printout::Credentials> credentials;
    const auto &required = found->authInfoRequired;
    if (std::any_of(required.begin(), required.end(),
                    [](const std::string &keyword) { return keyword != "none" && keyword != "negotiate"; })) {
        credentials = ask(printerAsks + ".", deadline);
        if (!credentials)
            throw noneGiven();
    }

    auto delivered = std::make_shared<std::atomic<int>>(0);
    m_delivered = delivered;
    const auto forget = [this] { m_delivered.reset(); };
    std::shared_ptr<Answer> sent;
    try {
        sent = converse(
            [found, credentials, title, pdf, delivered](const Library &cups, Answer &answer, Wait &wait) {
                cups.send(answer, *found, credentials, title, pdf, wait);
                if (!answer.held)
                    *delivered = answer.job;
            },
            deadline, printer);
    } catch (...) {
        forget();
        throw;
    }
    forget();
    if (!sent->error.empty())
        throw PlatformError(sent->error);
    if (!sent->held)
        return sent->job;

    sent->authInfoRequired = found->authInfoRequired;
    credentials = ask(printerAsks + ".", deadline);
    const auto released = converse([sent, credentials](const Library &cups, Answer & /*answer*/,
                                                       Wait &wait) { cups.release(*sent, credentials, wait); },
                                   deadline, printer);
    if (!released->error.empty())
        throw PlatformError(released->error);
    if (!credentials)
        throw noneGiven();
    return sent->job;
}
