// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The deadlines of one errand: within its bound, the caller gives up a second
// early so that its answer still comes in time, and the scheduler is given up
// on four seconds before that, which leaves room for the questions that tell
// why; a bound too short for that room keeps what it can. A person's time
// moves both on.
#include "printbudget.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using PrintBudget::Clock;
using std::chrono::milliseconds;

struct Bound
{
    const char *what;
    milliseconds bound;
    milliseconds caller; // after the start
    milliseconds service;
};

void PrintTo(const Bound &bound, std::ostream *out)
{
    *out << bound.what;
}

class Deadlines : public ::testing::TestWithParam<Bound>
{};

TEST_P(Deadlines, LeaveRoomForTheAnswerAndTheWhyWithinTheBound)
{
    const Bound b = GetParam();
    const Clock::time_point start{};
    PrintBudget::Deadlines deadlines(b.bound, start);
    EXPECT_EQ(deadlines.caller - start, b.caller);
    EXPECT_EQ(deadlines.service - start, b.service);
    EXPECT_LE(deadlines.service, deadlines.caller);
    EXPECT_LE(deadlines.caller - start, b.bound);

    deadlines.extend(95s); // the time a person took over a password
    EXPECT_EQ(deadlines.caller - start, b.caller + 95s);
    EXPECT_EQ(deadlines.service - start, b.service + 95s);
}

INSTANTIATE_TEST_SUITE_P(EveryBound, Deadlines,
                         ::testing::Values(Bound{"APress", PrintBudget::press, 9s, 5s},
                                           Bound{"AnAttempt", PrintBudget::attempt, 29s, 25s},
                                           Bound{"UnattendedKeepsItAll", PrintBudget::unattended, 1s, 1s},
                                           Bound{"TooShortForTheWhy", 3s, 2s, 2s},
                                           Bound{"JustLongEnough", 5001ms, 4001ms, 1ms}),
                         [](const auto &test) { return std::string(test.param.what); });
