// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

/// The printout's page, in millimetres: its margins, and the papers that it
/// can be set on.
namespace PrintoutPage {

/// The margin on every side.
constexpr int margin = 20;

/// The smallest paper that holds a line inside the margins, a centimetre to
/// spare where a row of 11-point type takes 5 mm.
constexpr int smallest = 2 * margin + 10;

/// The largest paper that PDF can describe: 14,400 units of 1/72 inch.
constexpr int largest = 5080;

} // namespace PrintoutPage
