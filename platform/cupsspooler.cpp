// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsspooler.h"

#include "platformservices.h"

#include <QSizeF>

#include <algorithm>
#include <cups/cups.h>
#include <dlfcn.h>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using namespace std::chrono_literals;

namespace {

// How long a connection may take to open, and how long the probe that tells
// a silent scheduler from a missing one waits for an answer.
constexpr milliseconds connectPatience = 1500ms;
constexpr milliseconds probePatience = 2s;
// How often, in seconds, a wait asks whether to go on.
constexpr double askEvery = 0.1;

// One wait for the scheduler: over at its deadline, or as soon as the one
// waiting does not want to go on.
struct Wait
{
    Clock::time_point deadline;
    const Printout::KeepWaiting &keepWaiting;
    std::string printer; // "" while the default printer is looked for
    enum class Outcome { Answered, TimedOut, Stopped } outcome = Outcome::Answered;

    static int goOn(http_t * /*http*/, void *data)
    {
        auto *wait = static_cast<Wait *>(data);
        if (Clock::now() >= wait->deadline)
            wait->outcome = Outcome::TimedOut;
        else if (wait->keepWaiting && !wait->keepWaiting(wait->printer))
            wait->outcome = Outcome::Stopped;
        return wait->outcome == Outcome::Answered ? 1 : 0;
    }
};

} // namespace

// The calls Jeerforge makes into libcups, found when printing first needs them,
// and what it makes of their answers. Once loaded the library stays for the
// rest of the run: its dependencies set up state of their own that unloading
// would strand.
struct CupsSpooler::Library
{
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&cupsLastError) lastErrorCode = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob = nullptr;
    decltype(&cupsDoRequest) doRequest = nullptr;
    decltype(&ippNewRequest) newRequest = nullptr;
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

    // A connection to the scheduler whose every wait is the given one.
    class Connection
    {
    public:
        Connection(const Library &cups, Wait &wait)
            : m_cups(cups)
        {
            const auto left = std::chrono::duration_cast<milliseconds>(wait.deadline - Clock::now());
            const auto patience = std::clamp(left, milliseconds(1), connectPatience);
            m_http = cups.connect(cups.server(), cups.port(), nullptr, AF_UNSPEC, cups.encryption(), 1,
                                  static_cast<int>(patience.count()), nullptr);
            if (m_http)
                cups.setTimeout(m_http, askEvery, &Wait::goOn, &wait);
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
    [[nodiscard]] std::string unanswered(const Printout::KeepWaiting &keepWaiting) const
    {
        Wait wait{Clock::now() + probePatience, keepWaiting, {}};
        const Connection connection(*this, wait);
        ipp_t *answer =
            connection.http() ? doRequest(connection.http(), newRequest(IPP_OP_CUPS_GET_DEFAULT), "/") : nullptr;
        deleteIpp(answer);
        return answer ? std::string() : whyUnanswered(connection, wait);
    }

    // Why a conversation with the scheduler ended before its answer, as the
    // beginning of a sentence.
    [[nodiscard]] std::string whyUnanswered(const Connection &connection, const Wait &wait) const
    {
        const std::string service = "print service (CUPS, at " + std::string(server()) + ")";
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
        if (std::string message = unanswered(wait.keepWaiting); !message.empty())
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
        if (wait.outcome != Wait::Outcome::Answered)
            return whyUnanswered(connection, wait) + consequence;
        const std::string why = lastError();
        const ipp_status_t status = lastErrorCode();
        const std::string refused = "The printer \"" + wait.printer + "\" refused the printout: ";
        if (status != IPP_STATUS_ERROR_INTERNAL && status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
            return refused + why;
        if (const std::string message = unanswered(wait.keepWaiting); !message.empty())
            return message + consequence;
        Wait lookup{Clock::now() + probePatience, wait.keepWaiting, wait.printer};
        const Connection again(*this, lookup);
        cups_dest_t *dest = again.http() ? getNamedDest(again.http(), wait.printer.c_str(), nullptr) : nullptr;
        if (dest)
            freeDests(1, dest);
        else if (lookup.outcome != Wait::Outcome::Answered)
            return whyUnanswered(again, lookup) + consequence;
        return refused + (dest ? why : "the print service knows no such printer any more.");
    }

    // A paper size that CUPS names by its PWG, legacy or PPD name, if it knows it.
    [[nodiscard]] QPageSize paperNamed(const char *name) const
    {
        const pwg_media_t *media = name ? mediaForPwg(name) : nullptr;
        if (!media && name)
            media = mediaForLegacy(name);
        if (!media && name)
            media = mediaForPpd(name);
        if (!media || media->width <= 0 || media->length <= 0)
            return {};
        // CUPS measures in hundredths of a millimetre; a standard size keeps its name.
        return QPageSize(QSizeF(media->width / 100.0, media->length / 100.0), QPageSize::Millimeter, QString(),
                         QPageSize::FuzzyMatch);
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
    auto loaded = std::make_unique<Library>();
    void *handle = dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        throw PlatformError("Printing needs the CUPS library (the libcups2 package), which could not be loaded: " +
                            std::string(dlerror()));
    }
    resolve(handle, loaded->getNamedDest, "cupsGetNamedDest");
    resolve(handle, loaded->freeDests, "cupsFreeDests");
    resolve(handle, loaded->getOption, "cupsGetOption");
    resolve(handle, loaded->lastErrorCode, "cupsLastError");
    resolve(handle, loaded->lastErrorString, "cupsLastErrorString");
    resolve(handle, loaded->createJob, "cupsCreateJob");
    resolve(handle, loaded->startDocument, "cupsStartDocument");
    resolve(handle, loaded->writeRequestData, "cupsWriteRequestData");
    resolve(handle, loaded->finishDocument, "cupsFinishDocument");
    resolve(handle, loaded->cancelJob, "cupsCancelJob2");
    resolve(handle, loaded->doRequest, "cupsDoRequest");
    resolve(handle, loaded->newRequest, "ippNewRequest");
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
    m_library = std::move(loaded);
    return *m_library;
}

QPageSize CupsSpooler::defaultPaper(milliseconds patience)
{
    const Library &cups = library();
    Wait wait{Clock::now() + patience, m_keepWaiting, {}};
    const Library::Connection connection(cups, wait);
    cups_dest_t *dest = cups.defaultDest(connection, wait);
    // The printer's media-default, or the user's own choice for it, comes with the printer.
    const QPageSize paper = cups.paperNamed(cups.getOption("media", dest->num_options, dest->options));
    cups.freeDests(1, dest);
    return paper;
}

int CupsSpooler::submit(const std::string &title, const QByteArray &pdf, milliseconds patience)
{
    const Library &cups = library();
    Wait wait{Clock::now() + patience, m_keepWaiting, {}};
    const Library::Connection connection(cups, wait);
    http_t *http = connection.http();
    cups_dest_t *dest = cups.defaultDest(connection, wait);
    wait.printer = dest->name;
    cups.freeDests(1, dest);
    const char *printer = wait.printer.c_str();

    const int job = cups.createJob(http, printer, title.c_str(), 0, nullptr);
    if (job <= 0)
        throw PlatformError(cups.whyNotDelivered(connection, wait));

    const bool started =
        cups.startDocument(http, printer, job, title.c_str(), CUPS_FORMAT_PDF, 1) == HTTP_STATUS_CONTINUE;
    const bool written = started &&
        cups.writeRequestData(http, pdf.constData(), static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    if (!started || !written || cups.finishDocument(http, printer) > IPP_STATUS_OK_CONFLICTING) {
        const PlatformError error(cups.whyNotDelivered(connection, wait));
        // A scheduler that stopped answering is not asked again: the job stays held, unprinted.
        if (wait.outcome == Wait::Outcome::Answered)
            cups.cancelJob(http, printer, job, 0);
        throw error;
    }
    return job;
}
