// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cupsprintout.h"

#include "platformservices.h"
#include "printdocument.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

namespace {

// Writes all of data, unbuffered, and has it on the disk before it returns
// true; else error says why, in the system's words.
bool writeWhole(QFileDevice &file, const QByteArray &data, QString &error)
{
    qint64 written = 0;
    // A write that fills the disk is short; the next one says why.
    while (written < data.size()) {
        const qint64 now = file.write(data.constData() + written, data.size() - written);
        if (now <= 0) {
            error = file.errorString();
            return false;
        }
        written += now;
    }
    if (::fsync(file.handle()) != 0) {
        error = qt_error_string(errno);
        return false;
    }
    return true;
}

// The page a paper gives, where an invalid one stands for the locale's.
QPageSize pageOf(const QPageSize &paper)
{
    return PrintDocument::pageLayout(paper).pageSize();
}

} // namespace

CupsPrintout::CupsPrintout() = default;
CupsPrintout::~CupsPrintout() = default;

void CupsPrintout::addLine(const QString &line)
{
    if (!m_document && m_finished.isEmpty()) {
        m_laidOutFor = m_paper;
        m_document = std::make_unique<PrintDocument>(PrintDocument::pageLayout(m_paper));
    }
    m_lines.append(line);
    if (m_document)
        m_document->addLine(line);
    else
        m_finished.clear(); // laid out anew, with this line, when it is handed over
}

std::string CupsPrintout::findPrinter()
{
    if (m_printerFound)
        return {};
    try {
        m_paper = m_spooler.defaultPaper(CupsSpooler::Bound::Press);
        m_printerFound = true;
        return {};
    } catch (const PlatformError &error) {
        return error.what();
    }
}

bool CupsPrintout::pending() const
{
    return !m_lines.isEmpty();
}

// The whole printout on the given paper, laid out anew from its lines where
// it was laid out for another.
const QByteArray &CupsPrintout::finished(const QPageSize &paper)
{
    const bool samePaper = pageOf(paper).isEquivalentTo(pageOf(m_laidOutFor));
    if (m_document && samePaper) {
        m_finished = m_document->finish();
        m_document.reset();
    } else if (!samePaper || m_finished.isEmpty()) {
        m_document.reset();
        PrintDocument document(PrintDocument::pageLayout(paper));
        for (const QString &line : std::as_const(m_lines))
            document.addLine(line);
        m_finished = document.finish();
        m_laidOutFor = paper;
    }
    return m_finished;
}

void CupsPrintout::print()
{
    if (!pending())
        return;
    m_spooler.submit(
        "Jeerforge",
        [this](const QPageSize &paper) {
            m_paper = paper;
            return finished(paper);
        },
        CupsSpooler::Bound::End);
    discard();
}

void CupsPrintout::save(const std::string &path, bool replace)
{
    const QByteArray &pdf = finished(m_paper);
    const QString name = QString::fromStdString(path);
    QString error;
    if (replace) {
        // Another file is written and put in the old one's place only once it is whole on the disk.
        QSaveFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeWhole(file, pdf, error) && file.commit()) {
            discard();
            return;
        }
        if (error.isEmpty())
            error = file.errorString();
        file.cancelWriting();
    } else {
        // Created only where no file is; one that could not be written whole is removed.
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            error = file.errorString();
        } else if (writeWhole(file, pdf, error)) {
            file.close();
            discard();
            return;
        } else {
            file.close();
            file.remove();
        }
    }
    throw PlatformError("The printout could not be saved as \"" + path + "\": " + error.toStdString() + ".");
}

void CupsPrintout::discard()
{
    m_document.reset();
    m_finished.clear();
    m_lines.clear();
}
