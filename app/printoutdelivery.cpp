// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutdelivery.h"

#include "errorreport.h"
#include "platformservices.h"
#include "printout.h"
#include "quitonsignals.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Qt ends the process with exit() when the display goes away (the X server
// stops as the session ends), which skips everything on the stack. This is
// how the printout is still handed over then.
PrintoutDelivery *deliveryAtExit = nullptr;

void deliverAtExit()
{
    if (PrintoutDelivery *delivery = std::exchange(deliveryAtExit, nullptr))
        delivery->deliverUnattended();
}

void tell(const QString &message)
{
    std::fprintf(stderr, "jeerforge: %s\n", qPrintable(message));
}

// The user's documents folder, or the home folder where there is none.
QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

} // namespace

PrintoutDelivery::PrintoutDelivery(Printout &printout)
    : m_printout(printout)
{
    Q_ASSERT(!deliveryAtExit);
    [[maybe_unused]] static const bool hooked = std::atexit(deliverAtExit) == 0;
    deliveryAtExit = this;
}

PrintoutDelivery::~PrintoutDelivery()
{
    deliveryAtExit = nullptr;
}

int PrintoutDelivery::deliver(const QuitOnSignals &quitOnSignals)
{
    if (quitOnSignals.sessionEnding())
        return deliverUnattended();
    for (;;) {
        QString why;
        try {
            m_printout.print();
            return 0;
        } catch (const PlatformError &error) {
            why = QString::fromUtf8(error.what());
        }
        tell(why);
        // A signal closes an open question unanswered, and nobody is asked again.
        const int heard = quitOnSignals.count();
        const auto answered = [&quitOnSignals, heard] { return quitOnSignals.count() == heard; };
        for (;;) {
            const Choice choice = ask(why);
            if (!answered())
                return keepInFile();
            if (choice == Choice::Retry)
                break;
            if (choice == Choice::Discard) {
                m_printout.discard();
                return 1;
            }
            if (saveAs())
                return 0;
            if (!answered())
                return keepInFile();
        }
    }
}

int PrintoutDelivery::deliverUnattended()
{
    try {
        m_printout.print();
        return 0;
    } catch (const PlatformError &error) {
        tell(QString::fromUtf8(error.what()));
    }
    return keepInFile();
}

PrintoutDelivery::Choice PrintoutDelivery::ask(const QString &why)
{
    QMessageBox box(QMessageBox::Warning, u"Jeerforge"_s, why);
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(u"The printout is kept until you choose. Retry sends it to the default printer again, "
                           u"Save as PDF… writes it to a file, and Discard closes Jeerforge without it."_s);
    QPushButton *retry = box.addButton(QMessageBox::Retry);
    retry->setText(u"&Retry"_s);
    QPushButton *save = box.addButton(u"&Save as PDF…"_s, QMessageBox::ActionRole);
    QPushButton *discard = box.addButton(QMessageBox::Discard);
    discard->setText(u"&Discard"_s);
    box.setDefaultButton(retry);
    // With no escape button, neither Escape nor closing the window throws the printout away.
    box.exec();
    if (box.clickedButton() == save)
        return Choice::SaveAsPdf;
    return box.clickedButton() == discard ? Choice::Discard : Choice::Retry;
}

// Asks where to save the printout and saves it there. False when the user
// cancels or the file cannot be written; the user has been told why.
bool PrintoutDelivery::saveAs()
{
    QFileDialog dialog(nullptr, u"Save the printout as PDF"_s);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(u"PDF documents (*.pdf)"_s);
    dialog.setDefaultSuffix(u"pdf"_s);
    dialog.selectFile(QDir(documentsFolder()).filePath(u"Jeerforge insults.pdf"_s));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    QString path = dialog.selectedFiles().constFirst();
    // The dialog confirmed replacing the file it returned, not one with a suffix added here.
    const bool confirmed = !QFileInfo(path).suffix().isEmpty();
    if (!confirmed)
        path += u".pdf"_s;
    try {
        m_printout.save(path.toStdString(), confirmed);
        return true;
    } catch (const PlatformError &error) {
        reportError(nullptr, QString::fromUtf8(error.what()));
        return false;
    }
}

// The printout in a new file that replaces none, named after this moment.
int PrintoutDelivery::keepInFile()
{
    const QDir folder(documentsFolder());
    const QString stamp = QDateTime::currentDateTime().toString(u"yyyy-MM-dd HH.mm.ss"_s);
    QString path = folder.filePath(u"Jeerforge insults %1.pdf"_s.arg(stamp));
    for (int copy = 2; QFileInfo::exists(path); ++copy)
        path = folder.filePath(u"Jeerforge insults %1 (%2).pdf"_s.arg(stamp, QString::number(copy)));
    try {
        m_printout.save(path.toStdString(), false);
        tell(u"The printout was not printed, so it is kept in \"%1\"."_s.arg(path));
    } catch (const PlatformError &error) {
        tell(QString::fromUtf8(error.what()) + u" The printout is lost."_s);
    }
    return 1;
}
