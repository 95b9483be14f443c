// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printoutdocument.h"

#include "pdflinewriter.h"

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QSaveFile>

#include <cerrno>
#include <unistd.h>

using namespace Qt::StringLiterals;

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

} // namespace

struct PrintoutDocument::Copy::LaidOut
{
    std::mutex mutex;
    QPageSize paper;
    QByteArray pdf;
};

QByteArray PrintoutDocument::Copy::on(const QPageSize &paper, QString &error) const
{
    {
        const std::scoped_lock lock(laidOut->mutex);
        if (!laidOut->pdf.isEmpty() && samePage(paper, laidOut->paper))
            return laidOut->pdf;
    }
    const auto writer = PdfLineWriter::open(PdfLineWriter::pageLayout(paper), family, error);
    if (!writer)
        return {};
    for (const QString &line : lines)
        writer->addLine(line);
    QByteArray pdf = writer->finish();
    if (pdf.isEmpty()) {
        error = u"cairo could not write the PDF"_s;
        return {};
    }
    const std::scoped_lock lock(laidOut->mutex);
    laidOut->paper = paper;
    laidOut->pdf = pdf;
    return pdf;
}

PrintoutDocument::PrintoutDocument() = default;
PrintoutDocument::~PrintoutDocument() = default;

void PrintoutDocument::addLine(const QString &line)
{
    const std::scoped_lock lock(m_mutex);
    if (m_done.lines.isEmpty()) {
        m_done.delivery = std::make_shared<Copy::Delivery>();
        // The paper shows the lines in the font the box shows them in.
        m_done.family = QFontInfo(QFont()).family();
    }
    m_done.lines.append(line);
    m_done.laidOut.reset();
}

void PrintoutDocument::setPaper(const QPageSize &paper)
{
    const std::scoped_lock lock(m_mutex);
    m_paper = paper;
}

QPageSize PrintoutDocument::paper() const
{
    const std::scoped_lock lock(m_mutex);
    return m_paper;
}

bool PrintoutDocument::pending() const
{
    const std::scoped_lock lock(m_mutex);
    return !m_done.lines.isEmpty();
}

PrintoutDocument::Copy PrintoutDocument::copy()
{
    const std::scoped_lock lock(m_mutex);
    if (!m_done.laidOut)
        m_done.laidOut = std::make_shared<Copy::LaidOut>();
    return m_done;
}

std::optional<QString> PrintoutDocument::save(const QString &path, bool replace)
{
    QString error;
    const QByteArray pdf = copy().on(paper(), error);
    if (pdf.isEmpty())
        return error;
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
    const std::scoped_lock lock(m_mutex);
    m_done = {};
}
