// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdflinewriter.h"

#include "pangocairolibrary.h"
#include "pdfassembly.h"
#include "printoutpage.h"
#include "qpdflibrary.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// Glyphs that only a colour font has are drawn as pictures at this resolution.
constexpr double pictureDpi = 300;
constexpr double pointsPerInch = 72;
constexpr double pointSize = 11;

double points(int pangoUnits)
{
    return pangoUnits / double(PANGO_SCALE);
}

// Whether the code point is one of Unicode's noncharacters (U+FDD0 to
// U+FDEF, and the last two of every plane), which cairo refuses in text.
bool isNoncharacter(char32_t c)
{
    return (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
}

// The line as the text box shows it: every control character, line breaks
// and tabs included, as one blank; half a surrogate pair, and a
// noncharacter, as U+FFFD.
QString asInTheBox(QString line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            line[i] = u' ';
        } else if (c.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate()) {
            if (isNoncharacter(QChar::surrogateToUcs4(c, line[i + 1])))
                line.replace(i, 2, QChar::ReplacementCharacter);
            else
                ++i;
        } else if (c.isSurrogate() || isNoncharacter(c.unicode())) {
            line[i] = QChar::ReplacementCharacter;
        }
    }
    return line;
}

// Where a long word may be cut into pieces that Pango shapes one by one: not
// inside a cluster that shaping joins (a mark, a joiner, a variation
// selector, a surrogate pair), nor after a mark such as a virama.
bool standsAlone(QChar c)
{
    if (c.isSurrogate() || (c.unicode() >= 0xFE00 && c.unicode() <= 0xFE0F))
        return false;
    switch (c.category()) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return false;
    default:
        return true;
    }
}

// The length of c in UTF-8, where surrogates come in pairs.
int utf8Length(QChar c)
{
    return c.isHighSurrogate() ? 4 : c.isLowSurrogate() ? 0 : c.unicode() < 0x80 ? 1 : c.unicode() < 0x800 ? 2 : 3;
}

// Byte ranges, in the UTF-8 of a line as in the box, of every other piece of
// each long word.
// Pango breaks a word across rows in time that grows with the square of the
// word's length; pieces of a word in items of their own keep that linear.
// An attribute that changes nothing (letter spacing 0) makes the items.
std::vector<std::pair<int, int>> longWordPieces(const QString &line)
{
    constexpr int piece = 64;
    std::vector<std::pair<int, int>> pieces;
    int bytes = 0;
    int sinceCut = 0;
    int cuts = 0;
    int pieceStart = 0;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.isSpace()) {
            sinceCut = 0;
        } else if (sinceCut >= piece && standsAlone(c) && standsAlone(line[i - 1])) {
            if (++cuts % 2 == 1)
                pieceStart = bytes;
            else
                pieces.emplace_back(pieceStart, bytes);
            sinceCut = 0;
        }
        ++sinceCut;
        bytes += utf8Length(c);
    }
    if (cuts % 2 == 1)
        pieces.emplace_back(pieceStart, bytes);
    return pieces;
}

// Leaves out each page's transparency group, which cairo writes into every
// page whatever it draws. The printout draws nothing transparent (its
// pictures are opaque), and a group makes cups-filters' pdftopdf, with
// Ghostscript after it, print each page as a picture of itself, without its
// text. qpdf rewrites nothing else: the streams stay as cairo wrote them.
// Where qpdf cannot read the PDF, it stays as it is.
QByteArray withoutPageGroups(const QpdfLibrary &qpdf, const QByteArray &pdf)
{
    qpdf_data document = qpdf.qpdf_init();
    qpdf.qpdf_silence_errors(document);
    qpdf.qpdf_set_suppress_warnings(document, QPDF_TRUE);
    QByteArray edited;
    if ((qpdf.qpdf_read_memory(document, "printout", pdf.constData(), static_cast<unsigned long long>(pdf.size()),
                               nullptr) &
         QPDF_ERRORS) == 0) {
        const int pages = qpdf.qpdf_get_num_pages(document);
        for (int i = 0; i < pages; ++i) {
            const qpdf_oh page = qpdf.qpdf_get_page_n(document, static_cast<std::size_t>(i));
            if (qpdf.qpdf_oh_has_key(document, page, "/Group"))
                qpdf.qpdf_oh_remove_key(document, page, "/Group");
        }
        qpdf.qpdf_init_write_memory(document);
        qpdf.qpdf_set_decode_level(document, qpdf_dl_none);
        qpdf.qpdf_set_object_stream_mode(document, qpdf_o_preserve);
        qpdf.qpdf_set_deterministic_ID(document, QPDF_TRUE);
        if (!qpdf.qpdf_has_error(document) && (qpdf.qpdf_write(document) & QPDF_ERRORS) == 0)
            edited = QByteArray(reinterpret_cast<const char *>(qpdf.qpdf_get_buffer(document)),
                                static_cast<qsizetype>(qpdf.qpdf_get_buffer_length(document)));
    }
    qpdf.qpdf_cleanup(&document);
    return edited.isEmpty() ? pdf : edited;
}

cairo_status_t append(void *pdf, const unsigned char *data, unsigned int length)
{
    static_cast<QByteArray *>(pdf)->append(reinterpret_cast<const char *>(data), qsizetype(length));
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

// What Pango and cairo hold while the document is open.
struct PdfLineWriter::Drawing
{
    const PangoCairoLibrary &pango;
    cairo_surface_t *surface = nullptr;
    cairo_t *cairo = nullptr;
    PangoFontMap *fonts = nullptr;
    PangoContext *context = nullptr;
    PangoFontDescription *type = nullptr; // the printout's
    int rowWidth = 0; // in Pango's units
    PangoFont *textFont = nullptr; // the family's own font, whose full stop carries a picture's characters

    // The rows of each distinct line, laid out once, however often the line
    // is printed; past a bound, and where every line is to be laid out anew,
    // a line's rows serve that line only. Where rows are placed, each
    // distinct row is drawn once, as a page of its own (a piece) with room
    // around it for ink beyond its box, and the printout's pages show the
    // pieces; else each row is drawn on the page where it is printed.
    struct Row
    {
        int piece = -1; // where rows are placed; -1 for a row with nothing to draw
        const PangoLayoutLine *line = nullptr; // where rows are drawn
        double x = 0;
        double baseline = 0;
        double height = 0;
    };
    struct Line
    {
        PangoLayout *layout = nullptr; // kept while its rows are drawn from it
        std::vector<Row> rows;
    };
    static constexpr double room = 2 * pointSize;
    static constexpr qsizetype mostKept = 4096;
    Layouts layouts = Layouts::Drawn;
    QHash<QString, Line> lines;
    Line fresh; // laid out for one line only
    int pieces = 0;
    // The same words come back in insult after insult; so does each picture, drawn once.
    std::map<std::pair<PangoFont *, std::vector<PangoGlyph>>, std::pair<cairo_surface_t *, PangoRectangle>> pictures;

    explicit Drawing(const PangoCairoLibrary &library)
        : pango(library)
    {}

    ~Drawing()
    {
        for (Line &line : lines)
            forget(line);
        forget(fresh);
        for (auto &[key, picture] : pictures) {
            pango.cairo_surface_destroy(picture.first);
            pango.g_object_unref(key.first);
        }
        for (gpointer object : {gpointer(textFont), gpointer(context), gpointer(fonts)}) {
            if (object)
                pango.g_object_unref(object);
        }
        if (type)
            pango.pango_font_description_free(type);
        if (cairo)
            pango.cairo_destroy(cairo);
        if (surface)
            pango.cairo_surface_destroy(surface);
    }
    Drawing(const Drawing &) = delete;
    Drawing &operator=(const Drawing &) = delete;

    void forget(Line &line) const
    {
        if (line.layout)
            pango.g_object_unref(line.layout);
        line = {};
    }

    // The rows of the line, as in the box, in rows as wide as the page's
    // room for text.
    const std::vector<Row> &rowsOf(const QString &text, double width)
    {
        if (const auto kept = lines.constFind(text); kept != lines.cend())
            return kept->rows;
        forget(fresh);
        Line &line = layouts != Layouts::Anew && lines.size() < mostKept ? lines[text] : fresh;
        line.layout = layOut(text);
        // Even an empty line makes one row, so it takes a line's height.
        PangoLayoutIter *rows = pango.pango_layout_get_iter(line.layout);
        do {
            PangoRectangle extents{};
            pango.pango_layout_iter_get_line_extents(rows, nullptr, &extents);
            Row row{-1, pango.pango_layout_iter_get_line_readonly(rows), points(extents.x),
                    points(pango.pango_layout_iter_get_baseline(rows) - extents.y), points(extents.height)};
            if (layouts == Layouts::Placed && row.line->runs) {
                pango.cairo_pdf_surface_set_size(surface, width + 2 * room, row.height + 2 * room);
                drawRow(row.line, room + row.x, room + row.baseline);
                pango.cairo_show_page(cairo);
                row.piece = pieces++;
            }
            line.rows.push_back(row);
        } while (pango.pango_layout_iter_next_line(rows));
        pango.pango_layout_iter_free(rows);
        if (layouts == Layouts::Placed) {
            pango.g_object_unref(line.layout);
            line.layout = nullptr;
        }
        return line.rows;
    }

    // The line in rows as wide as the page, in the printout's type.
    [[nodiscard]] PangoLayout *layOut(const QString &line) const
    {
        PangoLayout *layout = pango.pango_layout_new(context);
        pango.pango_layout_set_font_description(layout, type);
        pango.pango_layout_set_width(layout, rowWidth);
        pango.pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        // As the box does, the first strong character decides; such a line starts at the right margin.
        pango.pango_layout_set_auto_dir(layout, TRUE);
        const QByteArray text = line.toUtf8();
        pango.pango_layout_set_text(layout, text.constData(), int(text.size()));
        // A word broken at the margin goes on on the next row as typed, with no hyphen added.
        PangoAttrList *attributes = pango.pango_attr_list_new();
        pango.pango_attr_list_insert(attributes, pango.pango_attr_insert_hyphens_new(FALSE));
        for (const auto &[start, end] : longWordPieces(line)) {
            PangoAttribute *piece = pango.pango_attr_letter_spacing_new(0);
            piece->start_index = guint(start);
            piece->end_index = guint(end);
            pango.pango_attr_list_insert(attributes, piece);
        }
        pango.pango_layout_set_attributes(layout, attributes);
        pango.pango_attr_list_unref(attributes);
        return layout;
    }

    // One row of the line laid out, its runs left to right from x.
    void drawRow(const PangoLayoutLine *row, double x, double baseline)
    {
        const char *text = pango.pango_layout_get_text(row->layout);
        for (GSList *run = row->runs; run; run = run->next) {
            auto *glyphs = static_cast<PangoGlyphItem *>(run->data);
            PangoFont *font = glyphs->item->analysis.font;
            const double width = points(pango.pango_glyph_string_get_width(glyphs->glyphs));
            if (pango.hb_ot_color_has_png(pango.hb_font_get_face(pango.pango_font_get_hb_font(font)))) {
                carryText(text + glyphs->item->offset, glyphs->item->length, x, baseline, width);
                drawPicture(font, glyphs->glyphs, x, baseline);
            } else {
                drawWithBoxes(text, glyphs, x, baseline);
            }
            x += width;
        }
    }

    // A character that no font has is drawn as a box of its hex digits, whose
    // digits would read as text: the box goes onto the paper as a picture,
    // and the character as text under it. The run's other glyphs are drawn
    // as they are.
    void drawWithBoxes(const char *text, PangoGlyphItem *glyphs, double x, double baseline)
    {
        const PangoGlyphString *string = glyphs->glyphs;
        PangoGlyphString *known = nullptr;
        double at = x;
        for (int i = 0; i < string->num_glyphs; ++i) {
            PangoGlyphInfo box = string->glyphs[i];
            if ((box.glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0) {
                if (!known)
                    known = pango.pango_glyph_string_copy(glyphs->glyphs);
                known->glyphs[i].glyph = PANGO_GLYPH_EMPTY;
                const auto [start, end] = boxedCluster(*string, glyphs->item->length, i);
                if (end > start)
                    carryText(text + glyphs->item->offset + start, end - start, at, baseline,
                              points(box.geometry.width));
                int cluster = 0;
                PangoGlyphString one{1, &box, &cluster, 1};
                drawPicture(glyphs->item->analysis.font, &one, at, baseline);
            }
            at += points(string->glyphs[i].geometry.width);
        }
        PangoGlyphItem drawn = *glyphs;
        if (known)
            drawn.glyphs = known;
        pango.cairo_move_to(cairo, x, baseline);
        pango.pango_cairo_show_glyph_item(cairo, text, &drawn);
        if (known)
            pango.pango_glyph_string_free(known);
    }

    // The bytes, from the run's start, of the cluster of a box glyph, for the
    // box to carry as text; none where another glyph of the cluster carries
    // them, or an earlier box did.
    static std::pair<int, int> boxedCluster(const PangoGlyphString &string, int length, int box)
    {
        const int start = string.log_clusters[box];
        int end = length;
        for (int i = 0; i < string.num_glyphs; ++i) {
            const int other = string.log_clusters[i];
            if (other > start && other < end)
                end = other;
            const bool boxed = (string.glyphs[i].glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0;
            const bool shown = string.glyphs[i].glyph != PANGO_GLYPH_EMPTY && !boxed;
            if (other == start && i != box && (shown || (boxed && i < box)))
                return {0, 0};
        }
        return {start, end};
    }

    // A PDF font holds outlines, not a colour font's bitmaps (its CBDT or
    // sbix table): such glyphs go onto the paper as pictures, as the screen
    // shows them.
    void drawPicture(PangoFont *font, PangoGlyphString *glyphs, double x, double baseline)
    {
        std::vector<PangoGlyph> ids;
        ids.reserve(std::size_t(glyphs->num_glyphs));
        for (int i = 0; i < glyphs->num_glyphs; ++i)
            ids.push_back(glyphs->glyphs[i].glyph);
        constexpr double scale = pictureDpi / pointsPerInch;
        auto [picture, drawn] = pictures.try_emplace({font, std::move(ids)});
        auto &[image, ink] = picture->second;
        if (drawn) {
            (pango.g_object_ref)(font); // in brackets, as GLib's macro of that name would cast
            pango.pango_glyph_string_extents(glyphs, font, &ink, nullptr);
            image = pango.cairo_image_surface_create(CAIRO_FORMAT_RGB24, int(std::ceil(points(ink.width) * scale)) + 1,
                                                     int(std::ceil(points(ink.height) * scale)) + 1);
            cairo_t *painter = pango.cairo_create(image);
            // On the paper's white, with no alpha channel: a picture with one
            // is real transparency, which printers' filters render by turning
            // the whole page into a picture.
            pango.cairo_set_source_rgb(painter, 1, 1, 1);
            pango.cairo_paint(painter);
            pango.cairo_set_source_rgb(painter, 0, 0, 0); // a box of hex digits is drawn in the text's black
            pango.cairo_scale(painter, scale, scale);
            pango.cairo_move_to(painter, -points(ink.x), -points(ink.y));
            pango.pango_cairo_show_glyph_string(painter, font, glyphs);
            pango.cairo_destroy(painter);
        }
        pango.cairo_save(cairo);
        pango.cairo_translate(cairo, x + points(ink.x), baseline + points(ink.y));
        pango.cairo_scale(cairo, 1 / scale, 1 / scale);
        pango.cairo_set_source_surface(cairo, image, 0, 0);
        pango.cairo_paint(cairo);
        pango.cairo_restore(cairo);
    }

    // A picture says nothing to copy and search: a glyph of the text's font,
    // stretched over the picture's width, says its characters instead. cairo
    // leaves out a glyph without ink, such as a blank, so it is a full stop,
    // in the paper's white, under the picture.
    void carryText(const char *text, int length, double x, double baseline, double width) const
    {
        hb_font_t *shaper = pango.pango_font_get_hb_font(textFont);
        hb_codepoint_t stop = 0;
        const hb_position_t advance =
            pango.hb_font_get_nominal_glyph(shaper, '.', &stop) ? pango.hb_font_get_glyph_h_advance(shaper, stop) : 0;
        if (advance <= 0 || width <= 0)
            return;
        int emX = 0;
        int emY = 0;
        pango.hb_font_get_scale(shaper, &emX, &emY);
        cairo_scaled_font_t *scaled =
            pango.pango_cairo_font_get_scaled_font(reinterpret_cast<PangoCairoFont *>(textFont));
        cairo_matrix_t size{};
        pango.cairo_scaled_font_get_font_matrix(scaled, &size);
        size.xx = width * emX / advance;
        pango.cairo_save(cairo);
        pango.cairo_set_source_rgb(cairo, 1, 1, 1);
        pango.cairo_set_font_face(cairo, pango.cairo_scaled_font_get_font_face(scaled));
        pango.cairo_set_font_matrix(cairo, &size);
        const cairo_glyph_t glyph{stop, x, baseline};
        const cairo_text_cluster_t cluster{length, 1};
        pango.cairo_show_text_glyphs(cairo, text, length, &glyph, 1, &cluster, 1, cairo_text_cluster_flags_t{});
        pango.cairo_restore(cairo);
    }
};

PdfLineWriter::PdfLineWriter(std::shared_ptr<const PangoCairoLibrary> pango, std::shared_ptr<const QpdfLibrary> qpdf,
                             const QPageLayout &layout, const QString &family, Layouts layouts)
    : m_pango(std::move(pango))
    , m_qpdf(std::move(qpdf))
    , m_page(layout.paintRect(QPageLayout::Point))
    , m_drawing(std::make_unique<Drawing>(*m_pango))
{
    const PangoCairoLibrary &p = *m_pango;
    Drawing &d = *m_drawing;
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    m_pages.push_back({paper.width(), paper.height(), {}});
    d.layouts = layouts;
    // Where rows are placed, cairo draws the pieces, and the pages are made of them at the end.
    d.surface = p.cairo_pdf_surface_create_for_stream(append, &m_pdf, paper.width(), paper.height());
    if (layouts != Layouts::Placed) {
        p.cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_TITLE, "Jeerforge");
        p.cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATOR, "Jeerforge");
    }
    d.cairo = p.cairo_create(d.surface);

    // A font map of its own, as Pango's are not shared between threads.
    d.fonts = p.pango_cairo_font_map_new();
    d.context = p.pango_font_map_create_context(d.fonts);
    p.pango_cairo_update_context(d.cairo, d.context);
    p.pango_cairo_context_set_resolution(d.context, pointsPerInch); // sizes in points, as the page measures
    p.pango_context_set_round_glyph_positions(d.context, FALSE); // paper has no pixels to snap to

    d.type = p.pango_font_description_new();
    p.pango_font_description_set_family(d.type, family.toUtf8().constData());
    p.pango_font_description_set_size(d.type, int(pointSize * PANGO_SCALE));
    d.textFont = p.pango_context_load_font(d.context, d.type);
    d.rowWidth = int(m_page.width() * PANGO_SCALE);
}

PdfLineWriter::~PdfLineWriter() = default;

std::unique_ptr<PdfLineWriter> PdfLineWriter::open(const QPageLayout &layout, const QString &family, QString &error,
                                                   Layouts layouts)
{
    std::string why;
    auto pango = PangoCairoLibrary::load(why);
    if (!pango) {
        error = QString::fromStdString(why);
        return nullptr;
    }
    auto qpdf = QpdfLibrary::load(why);
    if (!qpdf) {
        error = QString::fromStdString(why);
        return nullptr;
    }
    return std::make_unique<PdfLineWriter>(std::move(pango), std::move(qpdf), layout, family, layouts);
}

QPageLayout PdfLineWriter::pageLayout(const QPageSize &paper)
{
    const bool inches = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return {paper.isValid() ? paper : QPageSize(inches ? QPageSize::Letter : QPageSize::A4), QPageLayout::Portrait,
            QMarginsF(PrintoutPage::margin, PrintoutPage::margin, PrintoutPage::margin, PrintoutPage::margin),
            QPageLayout::Millimeter};
}

void PdfLineWriter::addLine(const QString &recorded)
{
    if (!m_drawing)
        return;
    Drawing &d = *m_drawing;
    for (const Drawing::Row &row : d.rowsOf(asInTheBox(recorded), m_page.width())) {
        if (m_y + row.height > m_page.height() && m_y > 0) {
            if (d.layouts == Layouts::Placed)
                m_pages.push_back({m_pages.back().width, m_pages.back().height, {}});
            else
                m_pango->cairo_show_page(d.cairo);
            ++m_pageCount;
            m_y = 0;
        }
        PdfAssembly::Page &page = m_pages.back();
        if (row.piece >= 0) {
            // The piece's lower left corner, where PDF measures from the bottom.
            page.placed.push_back({row.piece, m_page.left() - Drawing::room,
                                   page.height - (m_page.top() + m_y + row.height + Drawing::room)});
        } else if (row.line && d.layouts != Layouts::Placed) {
            d.drawRow(row.line, m_page.left() + row.x, m_page.top() + m_y + row.baseline);
        }
        m_y += row.height;
    }
    // A drawing context in error draws nothing more: the printout fails
    // whole rather than losing its later lines.
    if (m_pango->cairo_status(d.cairo) != CAIRO_STATUS_SUCCESS && m_failure.isEmpty())
        m_failure = QString::fromUtf8(m_pango->cairo_status_to_string(m_pango->cairo_status(d.cairo)));
}

QByteArray PdfLineWriter::finish(QString *error)
{
    if (!m_drawing)
        return {};
    const PangoCairoLibrary &p = *m_pango;
    const bool placed = m_drawing->layouts == Layouts::Placed;
    // cairo leaves out a last page with nothing drawn on it; one of empty
    // lines is a page of the printout all the same.
    if (!placed && m_y > 0)
        p.cairo_show_page(m_drawing->cairo);
    p.cairo_surface_finish(m_drawing->surface);
    const cairo_status_t status = p.cairo_surface_status(m_drawing->surface);
    m_drawing.reset();
    QString why = m_failure.isEmpty()
        ? QStringLiteral("cairo could not write the PDF: %1").arg(QString::fromUtf8(p.cairo_status_to_string(status)))
        : QStringLiteral("cairo could not draw a line: %1").arg(m_failure);
    const bool written = status == CAIRO_STATUS_SUCCESS && m_failure.isEmpty();
    QByteArray pdf;
    if (written)
        pdf = placed ? PdfAssembly::assemble(*m_qpdf, m_pdf, m_pages, why) : withoutPageGroups(*m_qpdf, m_pdf);
    m_pdf.clear();
    m_pages.clear();
    if (pdf.isEmpty() && error)
        *error = why;
    return pdf;
}
