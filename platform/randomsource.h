// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <array>
#include <cstdint>

/// xoshiro256** (Blackman and Vigna): a 64-bit engine with a 256-bit state,
/// cheap to seed (four rounds of splitmix64) and of good statistical quality,
/// so it can be reseeded on every press without cost.
class RandomSource
{
public:
    explicit RandomSource(std::uint64_t seed = 0) { seed64(seed); }

    void seed64(std::uint64_t seed);

    /// Seeds from the high-resolution clock. Every call gives a new seed,
    /// even twice within one clock tick.
    void reseedFromClock();

    std::uint64_t next();

    /// Uniform in [0, 1), with 53 bits of resolution; never 1.0.
    double nextUniform() { return toUniform(next()); }

    /// The top 53 bits of a 64-bit output as a double in [0, 1).
    static constexpr double toUniform(std::uint64_t bits) { return static_cast<double>(bits >> 11) * 0x1.0p-53; }

private:
    std::array<std::uint64_t, 4> m_state{};
    std::uint64_t m_reseeds = 0;
};
