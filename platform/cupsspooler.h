#pragma once

#include <QByteArray>

#include <string>

/// The print spooler as CUPS offers it: which printer is the default, and
/// handing it a finished PDF document.
class CupsSpooler
{
public:
    /// The default printer's name. Throws PlatformError, telling the user how
    /// to set one up, when there is none or the spooler cannot be reached.
    [[nodiscard]] std::string defaultPrinter() const;

    /// Hands the document to the printer as one job and returns its id.
    /// Throws PlatformError with CUPS's reason when the job is not accepted.
    int submit(const std::string &printer, const std::string &title, const QByteArray &pdf) const;
};
