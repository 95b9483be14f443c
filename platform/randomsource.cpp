// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "randomsource.h"

#include <algorithm>
#include <bit>
#include <chrono>

namespace {

std::uint64_t splitMix64(std::uint64_t &x)
{
    std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

} // namespace

void RandomSource::seed64(std::uint64_t seed)
{
    std::generate(m_state.begin(), m_state.end(), [&seed] { return splitMix64(seed); });
}

void RandomSource::reseedFromClock()
{
    using namespace std::chrono;
    auto now = static_cast<std::uint64_t>(duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count());
    // The count keeps two reseeds within one clock tick apart; seed64 mixes.
    seed64(now + ++m_reseeds * 0x9e3779b97f4a7c15ULL);
}

std::uint64_t RandomSource::next()
{
    auto &s = m_state;
    const std::uint64_t result = std::rotl(s[1] * 5, 7) * 9;
    const std::uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = std::rotl(s[3], 45);
    return result;
}
