// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cairo-pdf.h>
#include <hb-ot.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>

// Every Pango, cairo and HarfBuzz call that the printout's PDF needs, each named once.
#define JEERFORGE_PANGOCAIRO_CALLS(X)                                                                                  \
    X(g_object_ref)                                                                                                    \
    X(g_object_unref)                                                                                                  \
    X(cairo_pdf_surface_create_for_stream)                                                                             \
    X(cairo_pdf_surface_set_size)                                                                                      \
    X(cairo_pdf_surface_set_metadata)                                                                                  \
    X(cairo_image_surface_create)                                                                                      \
    X(cairo_surface_finish)                                                                                            \
    X(cairo_surface_status)                                                                                            \
    X(cairo_status)                                                                                                    \
    X(cairo_status_to_string)                                                                                          \
    X(cairo_surface_destroy)                                                                                           \
    X(cairo_create)                                                                                                    \
    X(cairo_destroy)                                                                                                   \
    X(cairo_save)                                                                                                      \
    X(cairo_restore)                                                                                                   \
    X(cairo_translate)                                                                                                 \
    X(cairo_scale)                                                                                                     \
    X(cairo_move_to)                                                                                                   \
    X(cairo_set_source_surface)                                                                                        \
    X(cairo_paint)                                                                                                     \
    X(cairo_show_page)                                                                                                 \
    X(cairo_set_source_rgb)                                                                                            \
    X(cairo_set_font_face)                                                                                             \
    X(cairo_set_font_matrix)                                                                                           \
    X(cairo_show_text_glyphs)                                                                                          \
    X(cairo_scaled_font_get_font_face)                                                                                 \
    X(cairo_scaled_font_get_font_matrix)                                                                               \
    X(pango_cairo_font_map_new)                                                                                        \
    X(pango_cairo_context_set_resolution)                                                                              \
    X(pango_cairo_font_get_scaled_font)                                                                                \
    X(pango_cairo_show_glyph_item)                                                                                     \
    X(pango_cairo_show_glyph_string)                                                                                   \
    X(pango_font_map_create_context)                                                                                   \
    X(pango_cairo_update_context)                                                                                      \
    X(pango_context_load_font)                                                                                         \
    X(pango_context_set_round_glyph_positions)                                                                         \
    X(pango_font_description_new)                                                                                      \
    X(pango_font_description_set_family)                                                                               \
    X(pango_font_description_set_size)                                                                                 \
    X(pango_font_description_free)                                                                                     \
    X(pango_font_get_hb_font)                                                                                          \
    X(pango_attr_list_new)                                                                                             \
    X(pango_attr_list_insert)                                                                                          \
    X(pango_attr_list_unref)                                                                                           \
    X(pango_attr_insert_hyphens_new)                                                                                   \
    X(pango_attr_letter_spacing_new)                                                                                   \
    X(pango_layout_new)                                                                                                \
    X(pango_layout_set_attributes)                                                                                     \
    X(pango_layout_set_font_description)                                                                               \
    X(pango_layout_set_width)                                                                                          \
    X(pango_layout_set_wrap)                                                                                           \
    X(pango_layout_set_auto_dir)                                                                                       \
    X(pango_layout_set_text)                                                                                           \
    X(pango_layout_get_text)                                                                                           \
    X(pango_layout_get_iter)                                                                                           \
    X(pango_layout_iter_get_line_extents)                                                                              \
    X(pango_layout_iter_get_baseline)                                                                                  \
    X(pango_layout_iter_get_line_readonly)                                                                             \
    X(pango_layout_iter_next_line)                                                                                     \
    X(pango_layout_iter_free)                                                                                          \
    X(pango_glyph_string_extents)                                                                                      \
    X(pango_glyph_string_get_width)                                                                                    \
    X(pango_glyph_string_copy)                                                                                         \
    X(pango_glyph_string_free)                                                                                         \
    X(hb_font_get_face)                                                                                                \
    X(hb_font_get_scale)                                                                                               \
    X(hb_font_get_nominal_glyph)                                                                                       \
    X(hb_font_get_glyph_h_advance)                                                                                     \
    X(hb_ot_color_has_png)

/// Pango with cairo, which lays text out in every script and writes PDF that
/// keeps each cluster's characters, as a table of the calls that the printout
/// makes. Found when a printout is first laid out, so that a run that never
/// prints does not pay for loading it.
struct PangoCairoLibrary
{
// NOLINTNEXTLINE(bugprone-macro-parentheses): the argument names a member
#define JEERFORGE_PANGOCAIRO_MEMBER(name) decltype(&::name) name = nullptr;
    JEERFORGE_PANGOCAIRO_CALLS(JEERFORGE_PANGOCAIRO_MEMBER)
#undef JEERFORGE_PANGOCAIRO_MEMBER

    /// Loads libpangocairo-1.0.so.0 for the rest of the run and finds every
    /// call. Returns nothing, with error saying why, when it is not there or
    /// lacks a call.
    static std::shared_ptr<const PangoCairoLibrary> load(std::string &error);
};
