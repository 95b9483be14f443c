// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "pdflinewriter.h"

#include "pangocairolibrary.h"
#include "printoutpage.h"

#include <QLocale>

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

// The line as the text box shows it: every control character, line breaks
// and tabs included, as one blank, and half a surrogate pair as U+FFFD.
QString asInTheBox(QString line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            line[i] = u' ';
        else if (c.isHighSurrogate() && i + 1 < line.size() && line[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            line[i] = QChar::ReplacementCharacter;
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
    PangoLayout *layout = nullptr;
    PangoFont *textFont = nullptr; // the family's own font, whose full stop carries a picture's characters
    // The same words come back in insult after insult; so does each picture, drawn once.
    std::map<std::pair<PangoFont *, std::vector<PangoGlyph>>, std::pair<cairo_surface_t *, PangoRectangle>> pictures;

    explicit Drawing(const PangoCairoLibrary &library)
        : pango(library)
    {}

    ~Drawing()
    {
        for (auto &[key, picture] : pictures) {
            pango.cairo_surface_destroy(picture.first);
            pango.g_object_unref(key.first);
        }
        for (gpointer object : {gpointer(textFont), gpointer(layout), gpointer(context), gpointer(fonts)}) {
            if (object)
                pango.g_object_unref(object);
        }
        if (cairo)
            pango.cairo_destroy(cairo);
        if (surface)
            pango.cairo_surface_destroy(surface);
    }
    Drawing(const Drawing &) = delete;
    Drawing &operator=(const Drawing &) = delete;

    // One row of a laid-out line, its runs left to right from x.
    void drawRow(const PangoLayoutLine *row, double x, double baseline)
    {
        const char *text = pango.pango_layout_get_text(layout);
        for (GSList *run = row->runs; run; run = run->next) {
            auto *glyphs = static_cast<PangoGlyphItem *>(run->data);
            PangoFont *font = glyphs->item->analysis.font;
            const double width = points(pango.pango_glyph_string_get_width(glyphs->glyphs));
            if (pango.hb_ot_color_has_png(pango.hb_font_get_face(pango.pango_font_get_hb_font(font)))) {
                carryText(text + glyphs->item->offset, glyphs->item->length, x, baseline, width);
                drawPicture(glyphs, x, baseline);
            } else {
                pango.cairo_move_to(cairo, x, baseline);
                pango.pango_cairo_show_glyph_item(cairo, text, glyphs);
            }
            x += width;
        }
    }

    // A PDF font holds outlines, not a colour font's bitmaps (its CBDT or
    // sbix table): such glyphs go onto the paper as pictures, as the screen
    // shows them.
    void drawPicture(PangoGlyphItem *glyphs, double x, double baseline)
    {
        PangoFont *font = glyphs->item->analysis.font;
        std::vector<PangoGlyph> ids;
        ids.reserve(std::size_t(glyphs->glyphs->num_glyphs));
        for (int i = 0; i < glyphs->glyphs->num_glyphs; ++i)
            ids.push_back(glyphs->glyphs->glyphs[i].glyph);
        constexpr double scale = pictureDpi / pointsPerInch;
        auto [picture, drawn] = pictures.try_emplace({font, std::move(ids)});
        auto &[image, ink] = picture->second;
        if (drawn) {
            (pango.g_object_ref)(font); // in brackets, as GLib's macro of that name would cast
            pango.pango_glyph_string_extents(glyphs->glyphs, font, &ink, nullptr);
            image = pango.cairo_image_surface_create(CAIRO_FORMAT_ARGB32, int(std::ceil(points(ink.width) * scale)) + 1,
                                                     int(std::ceil(points(ink.height) * scale)) + 1);
            cairo_t *painter = pango.cairo_create(image);
            pango.cairo_scale(painter, scale, scale);
            pango.cairo_move_to(painter, -points(ink.x), -points(ink.y));
            pango.pango_cairo_show_glyph_string(painter, font, glyphs->glyphs);
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

PdfLineWriter::PdfLineWriter(std::shared_ptr<const PangoCairoLibrary> pango, const QPageLayout &layout,
                             const QString &family)
    : m_pango(std::move(pango))
    , m_page(layout.paintRect(QPageLayout::Point))
    , m_drawing(std::make_unique<Drawing>(*m_pango))
{
    const PangoCairoLibrary &p = *m_pango;
    Drawing &d = *m_drawing;
    const QRectF paper = layout.fullRect(QPageLayout::Point);
    d.surface = p.cairo_pdf_surface_create_for_stream(append, &m_pdf, paper.width(), paper.height());
    p.cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_TITLE, "Jeerforge");
    p.cairo_pdf_surface_set_metadata(d.surface, CAIRO_PDF_METADATA_CREATOR, "Jeerforge");
    d.cairo = p.cairo_create(d.surface);

    // A font map of its own, as Pango's are not shared between threads.
    d.fonts = p.pango_cairo_font_map_new();
    d.context = p.pango_font_map_create_context(d.fonts);
    p.pango_cairo_update_context(d.cairo, d.context);
    p.pango_cairo_context_set_resolution(d.context, pointsPerInch); // sizes in points, as the page measures
    p.pango_context_set_round_glyph_positions(d.context, FALSE); // paper has no pixels to snap to
    d.layout = p.pango_layout_new(d.context);

    PangoFontDescription *font = p.pango_font_description_new();
    p.pango_font_description_set_family(font, family.toUtf8().constData());
    p.pango_font_description_set_size(font, int(pointSize * PANGO_SCALE));
    p.pango_layout_set_font_description(d.layout, font);
    d.textFont = p.pango_context_load_font(d.context, font);
    p.pango_font_description_free(font);

    p.pango_layout_set_width(d.layout, int(m_page.width() * PANGO_SCALE));
    p.pango_layout_set_wrap(d.layout, PANGO_WRAP_WORD_CHAR);
    // As the box does, the first strong character decides; such a line starts at the right margin.
    p.pango_layout_set_auto_dir(d.layout, TRUE);
}

PdfLineWriter::~PdfLineWriter() = default;

std::unique_ptr<PdfLineWriter> PdfLineWriter::open(const QPageLayout &layout, const QString &family, QString &error)
{
    std::string why;
    auto pango = PangoCairoLibrary::load(why);
    if (!pango) {
        error = QString::fromStdString(why);
        return nullptr;
    }
    return std::make_unique<PdfLineWriter>(std::move(pango), layout, family);
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
    const PangoCairoLibrary &p = *m_pango;
    Drawing &d = *m_drawing;
    const QString line = asInTheBox(recorded);
    const QByteArray text = line.toUtf8();
    p.pango_layout_set_text(d.layout, text.constData(), int(text.size()));
    // A word broken at the margin goes on on the next row as typed, with no hyphen added.
    PangoAttrList *attributes = p.pango_attr_list_new();
    p.pango_attr_list_insert(attributes, p.pango_attr_insert_hyphens_new(FALSE));
    for (const auto &[start, end] : longWordPieces(line)) {
        PangoAttribute *piece = p.pango_attr_letter_spacing_new(0);
        piece->start_index = guint(start);
        piece->end_index = guint(end);
        p.pango_attr_list_insert(attributes, piece);
    }
    p.pango_layout_set_attributes(d.layout, attributes);
    p.pango_attr_list_unref(attributes);
    // Even an empty line makes one row, so it takes a line's height.
    PangoLayoutIter *rows = p.pango_layout_get_iter(d.layout);
    do {
        PangoRectangle row{};
        p.pango_layout_iter_get_line_extents(rows, nullptr, &row);
        const double height = points(row.height);
        if (m_y + height > m_page.height() && m_y > 0) {
            p.cairo_show_page(d.cairo);
            ++m_pages;
            m_y = 0;
        }
        d.drawRow(p.pango_layout_iter_get_line_readonly(rows), m_page.left() + points(row.x),
                  m_page.top() + m_y + points(p.pango_layout_iter_get_baseline(rows) - row.y));
        m_y += height;
    } while (p.pango_layout_iter_next_line(rows));
    p.pango_layout_iter_free(rows);
}

QByteArray PdfLineWriter::finish()
{
    if (!m_drawing)
        return {};
    const PangoCairoLibrary &p = *m_pango;
    // cairo leaves out a last page with nothing drawn on it; one of empty
    // lines is a page of the printout all the same.
    if (m_y > 0)
        p.cairo_show_page(m_drawing->cairo);
    p.cairo_surface_finish(m_drawing->surface);
    const bool written = p.cairo_surface_status(m_drawing->surface) == CAIRO_STATUS_SUCCESS;
    m_drawing.reset();
    QByteArray pdf = written ? m_pdf : QByteArray();
    m_pdf.clear();
    return pdf;
}
