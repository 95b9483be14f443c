// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "messages.h"

#include "printjob.h"

using Outcome = PrintResult::Outcome;

QString Messages::whyNotPrinted(const PrintResult &r)
{
    const bool toPrinter = !r.printer.isEmpty();
    switch (r.outcome) {
    case Outcome::PrinterFound:
    case Outcome::Printed:
        break;
    case Outcome::NoCupsLibrary:
        return tr("Printing needs the CUPS library (the libcups2 package), which could not be loaded: %1")
            .arg(r.reason);
    case Outcome::NotLaidOut:
        return tr("The printout could not be laid out for printing: %1").arg(r.reason);
    case Outcome::Unreachable:
        return toPrinter ? tr("The print service (CUPS, at %1) is not running or could not be reached, so the "
                              "printout did not reach the printer \"%2\".")
                               .arg(r.server, r.printer)
                         : tr("The print service (CUPS, at %1) is not running or could not be reached.").arg(r.server);
    case Outcome::NotResponding:
        return toPrinter ? tr("The print service (CUPS, at %1) is not responding, so the printout did not reach the "
                              "printer \"%2\".")
                               .arg(r.server, r.printer)
                         : tr("The print service (CUPS, at %1) is not responding.").arg(r.server);
    case Outcome::Stopped:
        return toPrinter ? tr("The wait for the print service (CUPS, at %1) was stopped, so the printout did not "
                              "reach the printer \"%2\".")
                               .arg(r.server, r.printer)
                         : tr("The wait for the print service (CUPS, at %1) was stopped.").arg(r.server);
    case Outcome::NoDefaultPrinter:
        return tr("There is no default printer (%1). Set one up in your desktop's printer settings, or with "
                  "\"lpadmin -d PRINTER\".")
            .arg(r.reason);
    case Outcome::Refused:
        return tr("The printer \"%1\" refused the printout: %2").arg(r.printer, r.reason);
    case Outcome::PrinterGone:
        return tr("The printer \"%1\" refused the printout: the print service knows no such printer any more.")
            .arg(r.printer);
    case Outcome::PasswordRefused:
        return toPrinter
            ? tr("The print service (CUPS, at %1) did not accept the password for \"%2\", so the "
                 "printout did not reach the printer \"%3\".")
                  .arg(r.server, r.user, r.printer)
            : tr("The print service (CUPS, at %1) did not accept the password for \"%2\".").arg(r.server, r.user);
    case Outcome::NoPasswordGiven:
        return toPrinter ? tr("The print service (CUPS, at %1) asks for a user name and password, and none was "
                              "given, so the printout did not reach the printer \"%2\".")
                               .arg(r.server, r.printer)
                         : tr("The print service (CUPS, at %1) asks for a user name and password, and none was given.")
                               .arg(r.server);
    case Outcome::Unconfirmed:
        return r.reason.isEmpty()
            ? tr("The printer \"%1\" has the printout as job %2, but the print service (CUPS, at %3) did not "
                 "answer whether it will print it.")
                  .arg(r.printer, QString::number(r.job), r.server)
            : tr("The printer \"%1\" has the printout as job %2, but the print service (CUPS, at %3) did not "
                 "say whether it will print it: %4")
                  .arg(r.printer, QString::number(r.job), r.server, r.reason);
    case Outcome::PrinterWantsPassword:
        return tr("The printer \"%1\" asks for a user name and password before it prints, and none was given, so "
                  "the printout was not printed.")
            .arg(r.printer);
    }
    return {};
}

QString Messages::printoutKeptAtPress(const PrintResult &result)
{
    return tr("%1\n\nYour printout is kept. When Jeerforge closes, it goes to the default printer, or you can save "
              "it as a PDF.")
        .arg(whyNotPrinted(result));
}

QString Messages::passwordWanted(const PasswordRequest &request)
{
    if (request.printerAsks)
        return tr("The printer \"%1\" asks for a user name and password before it prints.").arg(request.printer);
    return request.printer.isEmpty()
        ? tr("The print service (CUPS, at %1) asks for a user name and password.").arg(request.server)
        : tr("The print service (CUPS, at %1) asks for a user name and password to print on \"%2\".")
              .arg(request.server, request.printer);
}

QString Messages::waitingFor(bool sending, const QString &printer)
{
    if (!sending)
        return tr("Looking for the default printer…");
    return printer.isEmpty() ? tr("Sending the printout to the default printer…")
                             : tr("Sending the printout to the printer \"%1\"…").arg(printer);
}

QString Messages::stopWaiting()
{
    return tr("&Stop Waiting");
}

QString Messages::choicesExplained()
{
    return tr("The printout is kept until you choose. Retry sends it to the default printer again, Save as PDF… "
              "writes it to a file, and Discard closes Jeerforge without it.");
}

QString Messages::retry()
{
    return tr("&Retry");
}

QString Messages::saveAsPdf()
{
    return tr("&Save as PDF…");
}

QString Messages::discard()
{
    return tr("&Discard");
}

QString Messages::notSaved(const QString &path, const QString &reason)
{
    return tr("The printout could not be saved as \"%1\": %2.").arg(path, reason);
}

QString Messages::notKept(const QString &path, const QString &reason, bool lost)
{
    return lost ? tr("The printout could not be saved as \"%1\": %2. The printout is lost.").arg(path, reason)
                : notSaved(path, reason);
}

QString Messages::keptIn(const QString &path)
{
    return tr("The printout was not printed, so it is kept in \"%1\".").arg(path);
}

QString Messages::alreadyExists(const QString &name)
{
    return tr("\"%1\" already exists. Do you want to replace it?").arg(name);
}

QString Messages::inFolder(const QString &folder)
{
    return tr("It is in \"%1\".").arg(folder);
}

QString Messages::replace()
{
    return tr("&Replace");
}

QString Messages::displayGoneDuringPrompts()
{
    return tr("The display went away during the start-up prompts, so Jeerforge ends without having shown its window.");
}
