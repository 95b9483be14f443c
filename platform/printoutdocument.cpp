// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutdocument.h"

#include "pdflinewriter.h"

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

// Whether two papers lay out alike, where an invalid one stands for the locale's.
bool samePage(const QPageSize &one, const QPageSize &other)
{
    return PdfLineWriter::pageLayout(one).pageSize().isEquivalentTo(PdfLineWriter::pageLayout(other).pageSize());
}

QByteArray laidOut(const QStringList &lines, const QPageSize &paper)
{
    PdfLineWriter writer(PdfLineWriter::pageLayout(paper));
    for (const QString &line : lines)
        writer.addLine(line);
    return writer.finish();
}

} // namespace

QByteArray PrintoutDocument::Copy::on(const QPageSize &paper) const
{
    return samePage(paper, laidOutFor) && !pdf.isEmpty() ? pdf : laidOut(lines, paper);
}

PrintoutDocument::PrintoutDocument() = default;
PrintoutDocument::~PrintoutDocument() = default;

void PrintoutDocument::addLine(const QString &line)
{
    if (!m_writer && m_done.lines.isEmpty()) {
        m_done.laidOutFor = m_paper;
        m_done.printedAs = std::make_shared<std::atomic<int>>(0);
        m_writer = std::make_unique<PdfLineWriter>(PdfLineWriter::pageLayout(m_paper));
    }
    m_done.lines.append(line);
    if (m_writer)
        m_writer->addLine(line);
    else
        m_done.pdf.clear(); // laid out anew, with this line, when it is handed over
}

void PrintoutDocument::setPaper(const QPageSize &paper)
{
    m_paper = paper;
    if (!m_writer || samePage(paper, m_done.laidOutFor))
        return;
    m_writer = std::make_unique<PdfLineWriter>(PdfLineWriter::pageLayout(paper));
    for (const QString &line : std::as_const(m_done.lines))
        m_writer->addLine(line);
    m_done.laidOutFor = paper;
}

PrintoutDocument::Copy PrintoutDocument::copy()
{
    if (m_writer) {
        m_done.pdf = m_writer->finish();
        m_writer.reset();
    }
    return m_done;
}

std::optional<QString> PrintoutDocument::save(const QString &path, bool replace)
{
    const QByteArray pdf = copy().on(m_paper);
    QString error;
    if (replace) {
        // Another file is written and put in the old one's place only once it is whole on the disk.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeWhole(file, pdf, error) && file.commit()) {
            discard();
            return std::nullopt;
        }
        if (error.isEmpty())
            error = file.errorString();
        file.cancelWriting();
        return error;
    }
    // Created only where no file is; one that could not be written whole is removed.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (!writeWhole(file, pdf, error)) {
        file.close();
        file.remove();
        return error;
    }
    file.close();
    discard();
    return std::nullopt;
}

void PrintoutDocument::discard()
{
    m_writer.reset();
    m_done = {};
}
