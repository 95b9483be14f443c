// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <qpdf/qpdf-c.h>

#include <memory>
#include <string>

// Every call of qpdf's C interface that Jeerforge makes, each named once.
#define JEERFORGE_QPDF_CALLS(X)                                                                                        \
    X(qpdf_init)                                                                                                       \
    X(qpdf_cleanup)                                                                                                    \
    X(qpdf_silence_errors)                                                                                             \
    X(qpdf_set_suppress_warnings)                                                                                      \
    X(qpdf_has_error)                                                                                                  \
    X(qpdf_get_error)                                                                                                  \
    X(qpdf_get_error_full_text)                                                                                        \
    X(qpdf_read_memory)                                                                                                \
    X(qpdf_get_num_pages)                                                                                              \
    X(qpdf_get_page_n)                                                                                                 \
    X(qpdf_init_write_memory)                                                                                          \
    X(qpdf_set_deterministic_ID)                                                                                       \
    X(qpdf_set_decode_level)                                                                                           \
    X(qpdf_set_object_stream_mode)                                                                                     \
    X(qpdf_oh_has_key)                                                                                                 \
    X(qpdf_oh_remove_key)                                                                                              \
    X(qpdf_write)                                                                                                      \
    X(qpdf_get_buffer_length)                                                                                          \
    X(qpdf_get_buffer)                                                                                                 \
    X(qpdf_empty_pdf)                                                                                                  \
    X(qpdf_get_trailer)                                                                                                \
    X(qpdf_make_indirect_object)                                                                                       \
    X(qpdf_add_page)                                                                                                   \
    X(qpdf_set_minimum_pdf_version)                                                                                    \
    X(qpdf_oh_new_dictionary)                                                                                          \
    X(qpdf_oh_new_array)                                                                                               \
    X(qpdf_oh_append_item)                                                                                             \
    X(qpdf_oh_new_name)                                                                                                \
    X(qpdf_oh_new_real_from_double)                                                                                    \
    X(qpdf_oh_new_unicode_string)                                                                                      \
    X(qpdf_oh_new_null)                                                                                                \
    X(qpdf_oh_new_stream)                                                                                              \
    X(qpdf_oh_replace_stream_data)                                                                                     \
    X(qpdf_oh_get_page_content_data)                                                                                   \
    X(qpdf_oh_get_dict)                                                                                                \
    X(qpdf_oh_get_key)                                                                                                 \
    X(qpdf_oh_replace_key)                                                                                             \
    X(qpdf_oh_copy_foreign_object)                                                                                     \
    X(qpdf_oh_is_indirect)

/// qpdf, the library for structural edits of PDF files, as a table of its
/// calls, found when a printout is first laid out.
struct QpdfLibrary
{
// NOLINTNEXTLINE(bugprone-macro-parentheses): the argument names a member
#define JEERFORGE_QPDF_MEMBER(name) decltype(&::name) name = nullptr;
    JEERFORGE_QPDF_CALLS(JEERFORGE_QPDF_MEMBER)
#undef JEERFORGE_QPDF_MEMBER

    /// Loads libqpdf (by the SONAME it was built against) for the rest of the
    /// run and finds every call.
    /// Returns nothing, with error saying why, when it is not there or lacks
    /// a call.
    static std::shared_ptr<const QpdfLibrary> load(std::string &error);
};
