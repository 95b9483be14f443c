// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsspooler.h"

#include "platformservices.h"

#include <QSizeF>

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
    decltype(&cupsGetOption) getOption = nullptr;
    decltype(&pwgMediaForPWG) mediaForPwg = nullptr;
    decltype(&pwgMediaForLegacy) mediaForLegacy = nullptr;
    decltype(&pwgMediaForPPD) mediaForPpd = nullptr;

    [[nodiscard]] std::string lastError() const
    {
        const char *text = lastErrorString();
        return text && *text ? text : "unknown error";
    }

    // Tries to connect to the scheduler. Returns "" when it answers, or the
    // sentence, without its full stop, that tells the user it does not.
    [[nodiscard]] std::string unreachable() const
    {
        const char *where = server();
        http_t *http = connect(where, port(), nullptr, AF_UNSPEC, HTTP_ENCRYPTION_IF_REQUESTED, 1, 5000, nullptr);
        if (!http)
            return "The print service (CUPS, at " + std::string(where) + ") is not running or could not be reached";
        close(http);
        return {};
    }

    // The default printer; free it with freeDests(1, dest). Throws
    // PlatformError, for the user, when there is none or no print service.
    [[nodiscard]] cups_dest_t *defaultDest() const
    {
        if (cups_dest_t *dest = getNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr))
            return dest;
        std::string why = lastError();
        if (const std::string message = unreachable(); !message.empty())
            throw PlatformError(message + ".");
        if (why.ends_with('.'))
            why.pop_back();
        throw PlatformError("There is no default printer (" + why +
                            "). Set one up in your desktop's printer settings, or with \"lpadmin -d PRINTER\".");
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
        if (const std::string message = unreachable(); !message.empty())
            return message + ", so the printout did not reach the printer \"" + printer + "\".";
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
    resolve(handle, loaded->getOption, "cupsGetOption");
    resolve(handle, loaded->mediaForPwg, "pwgMediaForPWG");
    resolve(handle, loaded->mediaForLegacy, "pwgMediaForLegacy");
    resolve(handle, loaded->mediaForPpd, "pwgMediaForPPD");
    m_library = std::move(loaded);
    return *m_library;
}

QPageSize CupsSpooler::defaultPaper()
{
    const Library &cups = library();
    cups_dest_t *dest = cups.defaultDest();
    // The printer's media-default, or the user's own choice for it, comes with the printer.
    const QPageSize paper = cups.paperNamed(cups.getOption("media", dest->num_options, dest->options));
    cups.freeDests(1, dest);
    return paper;
}

int CupsSpooler::submit(const std::string &title, const QByteArray &pdf)
{
    const Library &cups = library();
    cups_dest_t *dest = cups.defaultDest();
    const std::string printer = dest->name;
    cups.freeDests(1, dest);
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
