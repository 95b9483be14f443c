// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdfassembly.h"

#include "qpdflibrary.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <string>

namespace {

// A number as PDF reads it, in hundredths, whatever the language setting:
// never through the C library's formatting, which writes a comma for the
// decimal point where the locale does.
void appendNumber(std::string &content, double value)
{
    std::array<char, 32> digits{};
    const auto written = std::to_chars(digits.begin(), digits.end(), value, std::chars_format::fixed, 2);
    content.append(digits.begin(), written.ptr);
}

// The two documents of one assembly, and the forms made so far.
class Assembly
{
public:
    explicit Assembly(const QpdfLibrary &qpdf)
        : q(qpdf)
        , m_pieces(q.qpdf_init())
        , m_pages(q.qpdf_init())
    {
        for (qpdf_data document : {m_pieces, m_pages}) {
            q.qpdf_silence_errors(document);
            q.qpdf_set_suppress_warnings(document, QPDF_TRUE);
        }
    }
    ~Assembly()
    {
        q.qpdf_cleanup(&m_pages);
        q.qpdf_cleanup(&m_pieces);
    }
    Assembly(const Assembly &) = delete;
    Assembly &operator=(const Assembly &) = delete;

    bool read(const QByteArray &pieces)
    {
        const bool read = (q.qpdf_read_memory(m_pieces, "pieces", pieces.constData(),
                                              static_cast<unsigned long long>(pieces.size()), nullptr) &
                           QPDF_ERRORS) == 0 &&
            (q.qpdf_empty_pdf(m_pages) & QPDF_ERRORS) == 0;
        // qpdf gives -1 for pages it cannot count.
        const int counted = read ? q.qpdf_get_num_pages(m_pieces) : 0;
        m_made.assign(static_cast<std::size_t>(std::max(counted, 0)), false);
        return read && counted >= 0 && !failed();
    }

    void addPage(const PdfAssembly::Page &page)
    {
        std::string content;
        content.reserve(page.placed.size() * 40);
        for (const PdfAssembly::Placed &placed : page.placed) {
            const std::string name = "/P" + std::to_string(placed.piece);
            content += "q 1 0 0 1 ";
            appendNumber(content, placed.x);
            content += ' ';
            appendNumber(content, placed.y);
            content += " cm " + name + " Do Q\n";
            form(placed.piece, name);
        }
        const qpdf_oh dictionary = q.qpdf_oh_new_dictionary(m_pages);
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Type", q.qpdf_oh_new_name(m_pages, "/Page"));
        q.qpdf_oh_replace_key(m_pages, dictionary, "/MediaBox", paper(page.width, page.height));
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Resources", resources());
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Contents", stream(content.data(), content.size()));
        q.qpdf_add_page(m_pages, m_pages, q.qpdf_make_indirect_object(m_pages, dictionary), QPDF_FALSE);
    }

    QByteArray write()
    {
        const qpdf_oh info = q.qpdf_oh_new_dictionary(m_pages);
        for (const char *key : {"/Title", "/Creator"})
            q.qpdf_oh_replace_key(m_pages, info, key, q.qpdf_oh_new_unicode_string(m_pages, "Jeerforge"));
        q.qpdf_oh_replace_key(m_pages, q.qpdf_get_trailer(m_pages), "/Info",
                              q.qpdf_make_indirect_object(m_pages, info));
        if (failed() || (q.qpdf_init_write_memory(m_pages) & QPDF_ERRORS) != 0)
            return {};
        // Marked content that says what a cluster of glyphs reads as came with PDF 1.5.
        q.qpdf_set_minimum_pdf_version(m_pages, "1.5");
        q.qpdf_set_deterministic_ID(m_pages, QPDF_TRUE);
        // Every stream is compressed already: it is written as it is.
        q.qpdf_set_decode_level(m_pages, qpdf_dl_none);
        if ((q.qpdf_write(m_pages) & QPDF_ERRORS) != 0 || failed())
            return {};
        return {reinterpret_cast<const char *>(q.qpdf_get_buffer(m_pages)),
                static_cast<qsizetype>(q.qpdf_get_buffer_length(m_pages))};
    }

    [[nodiscard]] QString error() const
    {
        for (qpdf_data document : {m_pieces, m_pages}) {
            if (q.qpdf_has_error(document))
                return QString::fromUtf8(q.qpdf_get_error_full_text(document, q.qpdf_get_error(document)));
        }
        return QStringLiteral("qpdf could not assemble the pages");
    }

private:
    [[nodiscard]] bool failed() const { return q.qpdf_has_error(m_pieces) || q.qpdf_has_error(m_pages); }

    // The pages' paper, one object for all of them.
    qpdf_oh paper(double width, double height)
    {
        if (m_paper == 0 || width != m_paperWidth || height != m_paperHeight) {
            m_paper = q.qpdf_make_indirect_object(m_pages, box(width, height));
            m_paperWidth = width;
            m_paperHeight = height;
        }
        return m_paper;
    }

    qpdf_oh box(double width, double height) const
    {
        const qpdf_oh box = q.qpdf_oh_new_array(m_pages);
        for (const double corner : {0.0, 0.0, width, height})
            q.qpdf_oh_append_item(m_pages, box, q.qpdf_oh_new_real_from_double(m_pages, corner, 3));
        return box;
    }

    // A stream of the data, compressed at once, so that a large printout is
    // not held whole until it is written.
    qpdf_oh stream(const char *data, std::size_t size) const
    {
        // zlib's own format, after the length that qCompress puts first.
        const QByteArray compressed = qCompress(reinterpret_cast<const uchar *>(data), qsizetype(size), 1).mid(4);
        const qpdf_oh stream = q.qpdf_oh_new_stream(m_pages);
        q.qpdf_oh_replace_stream_data(m_pages, stream, reinterpret_cast<const unsigned char *>(compressed.constData()),
                                      std::size_t(compressed.size()), q.qpdf_oh_new_name(m_pages, "/FlateDecode"),
                                      q.qpdf_oh_new_null(m_pages));
        return stream;
    }

    // What every page draws with: one dictionary of all the forms, so that
    // a page says no more than where it places them.
    qpdf_oh resources()
    {
        if (m_resources == 0) {
            m_forms = q.qpdf_oh_new_dictionary(m_pages);
            const qpdf_oh dictionary = q.qpdf_oh_new_dictionary(m_pages);
            q.qpdf_oh_replace_key(m_pages, dictionary, "/XObject", m_forms);
            m_resources = q.qpdf_make_indirect_object(m_pages, dictionary);
        }
        return m_resources;
    }

    // The piece's page as a form, made when first placed: its content, its
    // resources (fonts, pictures) and its box.
    void form(int piece, const std::string &name)
    {
        resources();
        const auto index = static_cast<std::size_t>(piece);
        if (index >= m_made.size() || m_made[index])
            return;
        m_made[index] = true;
        const qpdf_oh page = q.qpdf_get_page_n(m_pieces, index);
        unsigned char *content = nullptr;
        std::size_t size = 0;
        q.qpdf_oh_get_page_content_data(m_pieces, page, &content, &size);
        const qpdf_oh made = stream(reinterpret_cast<const char *>(content), size);
        std::free(content);
        const qpdf_oh dictionary = q.qpdf_oh_get_dict(m_pages, made);
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Type", q.qpdf_oh_new_name(m_pages, "/XObject"));
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Subtype", q.qpdf_oh_new_name(m_pages, "/Form"));
        q.qpdf_oh_replace_key(m_pages, dictionary, "/BBox", copied(q.qpdf_oh_get_key(m_pieces, page, "/MediaBox")));
        q.qpdf_oh_replace_key(m_pages, dictionary, "/Resources",
                              copied(q.qpdf_oh_get_key(m_pieces, page, "/Resources")));
        q.qpdf_oh_replace_key(m_pages, m_forms, name.c_str(), made);
    }

    // An object of the pieces, in the pages; qpdf copies only indirect ones,
    // and what they refer to once.
    qpdf_oh copied(qpdf_oh piecesObject) const
    {
        if (!q.qpdf_oh_is_indirect(m_pieces, piecesObject))
            piecesObject = q.qpdf_make_indirect_object(m_pieces, piecesObject);
        return q.qpdf_oh_copy_foreign_object(m_pages, m_pieces, piecesObject);
    }

    const QpdfLibrary &q;
    qpdf_data m_pieces;
    qpdf_data m_pages;
    std::vector<bool> m_made; // for each piece, whether its form is made
    qpdf_oh m_forms = 0; // by name
    qpdf_oh m_resources = 0;
    qpdf_oh m_paper = 0;
    double m_paperWidth = 0;
    double m_paperHeight = 0;
};

} // namespace

QByteArray PdfAssembly::assemble(const QpdfLibrary &qpdf, const QByteArray &pieces, const std::vector<Page> &pages,
                                 QString &error)
{
    Assembly assembly(qpdf);
    QByteArray pdf;
    if (assembly.read(pieces)) {
        for (const Page &page : pages)
            assembly.addPage(page);
        pdf = assembly.write();
    }
    if (pdf.isEmpty())
        error = assembly.error();
    return pdf;
}
