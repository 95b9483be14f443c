// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "randomsource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <limits>
#include <numeric>

TEST(RandomSource, UniformValuesStayBelowOneWithFullResolution)
{
    EXPECT_EQ(RandomSource::toUniform(0), 0.0);
    EXPECT_LT(RandomSource::toUniform(std::numeric_limits<std::uint64_t>::max()), 1.0);
    EXPECT_EQ(RandomSource::toUniform(std::numeric_limits<std::uint64_t>::max()), 1.0 - 0x1.0p-53);
    EXPECT_EQ(RandomSource::toUniform(std::uint64_t{1} << 11), 0x1.0p-53);
}

TEST(RandomSource, SameSeedSameSequence)
{
    RandomSource a(42);
    RandomSource b(42);
    RandomSource c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const std::uint64_t x = a.next();
        EXPECT_EQ(x, b.next());
        differs = differs || x != c.next();
    }
    EXPECT_TRUE(differs);
}

TEST(RandomSource, BackToBackClockReseedsDrawDifferently)
{
    RandomSource source;
    std::array<std::uint64_t, 1000> firsts{};
    for (std::uint64_t &first : firsts) {
        source.reseedFromClock();
        first = source.next();
    }
    std::sort(firsts.begin(), firsts.end());
    EXPECT_EQ(std::adjacent_find(firsts.begin(), firsts.end()), firsts.end());
}

TEST(RandomSource, EveryBinOfTwentyIsHitEvenly)
{
    RandomSource source(7);
    constexpr int draws = 200'000;
    std::array<int, 20> bins{};
    for (int i = 0; i < draws; ++i) {
        const double r = source.nextUniform();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
        ++bins[static_cast<std::size_t>(r * 20)];
    }
    constexpr double expected = draws / 20.0;
    const double chiSquare = std::accumulate(bins.begin(), bins.end(), 0.0, [](double sum, int count) {
        return sum + (count - expected) * (count - expected) / expected;
    });
    EXPECT_LT(chiSquare, 43.8) << "19 degrees of freedom, p = 0.001";
}
