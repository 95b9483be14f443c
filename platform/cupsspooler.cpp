// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsspooler.h"

#include "platformservices.h"

#include <cups/cups.h>
#include <dlfcn.h>

// The calls Jeerforge makes into libcups, found when printing first needs them.
// Once loaded the library stays for the rest of the run: its dependencies set
// up state of their own that unloading would strand.
struct CupsSpooler::Library
{
    decltype(&cupsGetNamedDest) getNamedDest = nullptr;
    decltype(&cupsFreeDests) freeDests = nullptr;
    decltype(&cupsLastError) lastErrorCode = nullptr;
    decltype(&cupsLastErrorString) lastErrorString = nullptr;
    decltype(&cupsCreateJob) createJob = nullptr;
    decltype(&cupsStartDocument) startDocument = nullptr;
    decltype(&cupsWriteRequestData) writeRequestData = nullptr;
    decltype(&cupsFinishDocument) finishDocument = nullptr;
    decltype(&cupsCancelJob2) cancelJob = nullptr;
    decltype(&cupsServer) server = nullptr;
    decltype(&ippPort) port = nullptr;
    decltype(&httpConnect2) connect = nullptr;
    decltype(&httpClose) close = nullptr;

    [[nodiscard]] std::string lastError() const
    {
        const char *text = lastErrorString();
        return text && *text ? text : "unknown error";
    }

    // Tries to connect to the scheduler. Returns "" when it answers, or
    // what the user reads when it does not, ending in the consequence.
    [[nodiscard]] std::string unreachable(const std::string &consequence) const
    {
        const char *where = server();
        http_t *http = connect(where, port(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
        if (!http) {
            return "The print service (CUPS, at " + std::string(where) +
                ") is not running or could not be reached, so " + consequence + ".";
        }
        close(http);
        return {};
    }

    // Why the printer did not take the printout, read from CUPS's last error,
    // so it must come before any further CUPS call. CUPS gives one internal
    // error both for a scheduler it cannot reach and for a printer that is
    // gone; asking the scheduler tells them apart.
    [[nodiscard]] std::string whyNotDelivered(const std::string &printer) const
    {
        const std::string why = lastError();
        const ipp_status_t status = lastErrorCode();
        const std::string refused = "The printer \"" + printer + "\" refused the printout: ";
        if (status != IPP_STATUS_ERROR_INTERNAL && status != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE)
            return refused + why;
        if (std::string message = unreachable("the printout did not reach the printer \"" + printer + "\"");
            !message.empty())
            return message;
        cups_dest_t *dest = getNamedDest(CUPS_HTTP_DEFAULT, printer.c_str(), nullptr);
        if (!dest)
            return refused + "the print service knows no such printer any more.";
        freeDests(1, dest);
        return refused + why;
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
    resolve(handle, loaded->lastErrorCode, "cupsLastError");
    resolve(handle, loaded->lastErrorString, "cupsLastErrorString");
    resolve(handle, loaded->createJob, "cupsCreateJob");
    resolve(handle, loaded->startDocument, "cupsStartDocument");
    resolve(handle, loaded->writeRequestData, "cupsWriteRequestData");
    resolve(handle, loaded->finishDocument, "cupsFinishDocument");
    resolve(handle, loaded->cancelJob, "cupsCancelJob2");
    resolve(handle, loaded->server, "cupsServer");
    resolve(handle, loaded->port, "ippPort");
    resolve(handle, loaded->connect, "httpConnect2");
    resolve(handle, loaded->close, "httpClose");
    m_library = std::move(loaded);
    return *m_library;
}

std::string CupsSpooler::defaultPrinter()
{
    const Library &cups = library();
    cups_dest_t *dest = cups.getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        const std::string why = cups.lastError();
        if (const std::string message = cups.unreachable("nothing was printed"); !message.empty())
            throw PlatformError(message + "\n\nYour insults are kept: press Print Results again once it runs.");
        throw PlatformError("There is no default printer, so nothing was printed (" + why +
                            ").\n\nSet one up in your desktop's printer settings, or with "
                            "\"lpadmin -d PRINTER\", then press Print Results again. "
                            "Your insults are kept.");
    }
    std::string name = dest->name;
    cups.freeDests(1, dest);
    return name;
}

int CupsSpooler::submit(const std::string &printer, const std::string &title, const QByteArray &pdf)
{
    const Library &cups = library();
    const auto notDelivered = [&cups, &printer] { return PlatformError(cups.whyNotDelivered(printer)); };

    const int job = cups.createJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), 0, nullptr);
    if (job <= 0)
        throw notDelivered();

    if (cups.startDocument(CUPS_HTTP_DEFAULT, printer.c_str(), job, title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        const PlatformError error = notDelivered();
        cups.cancelJob(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0);
        throw error;
    }
    const bool written = cups.writeRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                                               static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cups.finishDocument(CUPS_HTTP_DEFAULT, printer.c_str());
    if (!written || finished > IPP_STATUS_OK_CONFLICTING) {
        const PlatformError error = notDelivered();
        cups.cancelJob(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0);
        throw error;
    }
    return job;
}
