// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "messages.h"

#include "outsidetext.h"
#include "printjob.h"

using Outcome = PrintResult::Outcome;

QString Messages::whyNotPrinted(const PrintResult &r)
{
    // What the print service, the printer and the environment said, shown as text.
    const QString server = isolatedName(r.server);
    const QString printer = isolatedName(r.printer);
    const QString user = isolatedName(r.user);
    const QString reason = plainText(r.reason);
    const bool toPrinter = !r.printer.isEmpty();
    switch (r.outcome) {
    case Outcome::PrinterFound:
    case Outcome::Printed:
        break;
    case Outcome::NoCupsLibrary:
        return tr("Printing needs the CUPS library (the libcups2 package), which could not be loaded: %1").arg(reason);
    case Outcome::NotLaidOut:
        return tr("The printout could not be laid out for printing: %1").arg(reason);
    case Outcome::Unreachable:
        return toPrinter ? tr("The print service (CUPS, at %1) is not running or could not be reached, so the "
                              "printout did not reach the printer \"%2\".")
                               .arg(server, printer)
                         : tr("The print service (CUPS, at %1) is not running or could not be reached.").arg(server);
    case Outcome::NotResponding:
        return toPrinter ? tr("The print service (CUPS, at %1) is not responding, so the printout did not reach the "
                              "printer \"%2\".")
                               .arg(server, printer)
                         : tr("The print service (CUPS, at %1) is not responding.").arg(server);
    case Outcome::BrokenAnswer:
        return toPrinter ? tr("The print service (CUPS, at %1) answered with something that is no answer (too long, "
                              "cut short or garbled), so the printout did not reach the printer \"%2\".")
                               .arg(server, printer)
                         : tr("The print service (CUPS, at %1) answered with something that is no answer (too long, "
                              "cut short or garbled).")
                               .arg(server);
    case Outcome::Stopped:
        return toPrinter ? tr("The wait for the print service (CUPS, at %1) was stopped, so the printout did not "
                              "reach the printer \"%2\".")
                               .arg(server, printer)
                         : tr("The wait for the print service (CUPS, at %1) was stopped.").arg(server);
    case Outcome::NoDefaultPrinter:
        return tr("There is no default printer (%1). Set one up in your desktop's printer settings, or with "
                  "\"lpadmin -d PRINTER\".")
            .arg(reason);
    case Outcome::Refused:
        return tr("The printer \"%1\" refused the printout: %2").arg(printer, reason);
    case Outcome::PrinterGone:
        return tr("The printer \"%1\" refused the printout: the print service knows no such printer any more.")
            .arg(printer);
    case Outcome::PasswordRefused:
        return toPrinter
            ? tr("The print service (CUPS, at %1) did not accept the password for \"%2\", so the "
                 "printout did not reach the printer \"%3\".")
                  .arg(server, user, printer)
            : tr("The print service (CUPS, at %1) did not accept the password for \"%2\".").arg(server, user);
    case Outcome::NoPasswordGiven:
        return toPrinter
            ? tr("The print service (CUPS, at %1) asks for a user name and password, and none was "
                 "given, so the printout did not reach the printer \"%2\".")
                  .arg(server, printer)
            : tr("The print service (CUPS, at %1) asks for a user name and password, and none was given.").arg(server);
    case Outcome::Unconfirmed:
        return reason.isEmpty()
            ? tr("The printout reached the printer \"%1\" as job %2, but the print service (CUPS, at %3) did not "
                 "confirm that it will print it.")
                  .arg(printer, QString::number(r.job), server)
            : tr("The printout reached the printer \"%1\" as job %2, but the print service (CUPS, at %3) did not "
                 "confirm that it will print it: %4")
                  .arg(printer, QString::number(r.job), server, reason);
    case Outcome::PrinterWantsPassword:
        return tr("The printer \"%1\" asks for a user name and password before it prints, and none was given, so "
                  "the printout was not printed.")
            .arg(printer);
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
    const QString server = isolatedName(request.server);
    const QString printer = isolatedName(request.printer);
    if (request.printerAsks)
        return tr("The printer \"%1\" asks for a user name and password before it prints.").arg(printer);
    return request.printer.isEmpty()
        ? tr("The print service (CUPS, at %1) asks for a user name and password.").arg(server)
        : tr("The print service (CUPS, at %1) asks for a user name and password to print on \"%2\".")
              .arg(server, printer);
}

QString Messages::waitingFor(bool sending, const QString &printer)
{
    if (!sending)
        return tr("Looking for the default printer…");
    return printer.isEmpty() ? tr("Sending the printout to the default printer…")
                             : tr("Sending the printout to the printer \"%1\"…").arg(isolatedName(printer));
}

QString Messages::preparing()
{
    return tr("Preparing the printout…");
}

QString Messages::printoutFull()
{
    return tr("The printout already holds as much as Jeerforge can print at once, so this Print Results added "
              "nothing. Everything printed so far is kept: it goes to the default printer when Jeerforge closes, or "
              "you can save it as a PDF.");
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
    return tr("The printout could not be saved as \"%1\": %2.").arg(isolatedName(path), plainText(reason));
}

QString Messages::notKept(const QString &path, const QString &reason, bool lost)
{
    return lost ? tr("The printout could not be saved as \"%1\": %2. The printout is lost.")
                      .arg(isolatedName(path), plainText(reason))
                : notSaved(path, reason);
}

QString Messages::keptIn(const QString &path, bool reachedPrinter)
{
    return reachedPrinter ? tr("The printout reached the printer, but its printing was not confirmed, so it is also "
                               "kept in \"%1\".")
                                .arg(isolatedName(path))
                          : tr("The printout was not printed, so it is kept in \"%1\".").arg(isolatedName(path));
}

QString Messages::alreadyExists(const QString &name)
{
    return tr("\"%1\" already exists. Do you want to replace it?").arg(isolatedName(name));
}

QString Messages::inFolder(const QString &folder)
{
    return tr("It is in \"%1\".").arg(isolatedName(folder));
}

QString Messages::replace()
{
    return tr("&Replace");
}

QString Messages::displayGoneDuringPrompts()
{
    return tr("The display went away during the start-up prompts, so Jeerforge ends without having shown its window.");
}
