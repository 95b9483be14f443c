#include "cupsspooler.h"

#include "platformservices.h"

#include <cups/cups.h>

#include <memory>

namespace {

std::string lastError()
{
    const char *text = cupsLastErrorString();
    return text && *text ? text : "unknown error";
}

} // namespace

std::string CupsSpooler::defaultPrinter() const
{
    const std::unique_ptr<cups_dest_t, void (*)(cups_dest_t *)> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr), [](cups_dest_t *d) { cupsFreeDests(1, d); });
    if (!dest) {
        throw PlatformError("There is no default printer, so nothing was printed (" + lastError() +
                            ").\n\nSet one up in your desktop's printer settings, or with "
                            "\"lpadmin -d PRINTER\", then press Print Results again. "
                            "Your insults are kept.");
    }
    return dest->name;
}

int CupsSpooler::submit(const std::string &printer, const std::string &title, const QByteArray &pdf) const
{
    const auto refused = [&printer](const std::string &why) {
        return PlatformError("The printer \"" + printer + "\" did not accept the printout: " + why);
    };

    const int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), 0, nullptr);
    if (job <= 0)
        throw refused(lastError());

    if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.c_str(), job, title.c_str(), CUPS_FORMAT_PDF, 1) !=
        HTTP_STATUS_CONTINUE) {
        const std::string why = lastError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0);
        throw refused(why);
    }
    const bool written = cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                                              static_cast<std::size_t>(pdf.size())) == HTTP_STATUS_CONTINUE;
    const ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer.c_str());
    if (!written || finished > IPP_STATUS_OK_CONFLICTING) {
        const std::string why = lastError();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, printer.c_str(), job, 0);
        throw refused(why);
    }
    return job;
}
