// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <chrono>
#include <cstddef>

/// How long Jeerforge waits for the print service, and for how much, all in one place.
namespace PrintBudget {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

/// How long a press of Print Results, an attempt at the end, and an attempt
/// with nobody left to ask may wait for the print service. Time spent in the
/// password dialog is the user's and is not counted.
constexpr milliseconds press = 10s;
constexpr milliseconds attempt = 30s;
constexpr milliseconds unattended = 1s;

/// After this long, a window says what is awaited and offers to stop.
constexpr milliseconds showWaitAfter = 1s;

/// Of each bound: the caller gives up this much before its end, and the
/// scheduler is given up on this much before that, which leaves room for the
/// questions that tell why it failed.
constexpr milliseconds roomForAnswer = 1s;
constexpr milliseconds roomForWhy = 4s;

/// How long a connection may take to open, how long each of those questions
/// waits, and how often a wait on the scheduler asks whether to go on.
constexpr milliseconds connect = 1500ms;
constexpr milliseconds probe = 2s;
constexpr milliseconds askEvery = 100ms;

/// How much the scheduler may send in one conversation: many times what a
/// printer with every option says of itself, and far less than would press
/// on memory. An answer past it is a broken one.
constexpr std::size_t mostAnswered = std::size_t(16) * 1024 * 1024;

/// The deadlines of one job: the caller's, and the scheduler's within it.
struct Deadlines
{
    explicit Deadlines(milliseconds bound, Clock::time_point start = Clock::now())
        : caller(start + bound - (bound > roomForAnswer ? roomForAnswer : 0ms))
        , service(bound > roomForAnswer + roomForWhy ? caller - roomForWhy : caller)
    {}
    /// Moves both on by the time a person took to answer.
    void extend(Clock::duration by)
    {
        caller += by;
        service += by;
    }
    Clock::time_point caller;
    Clock::time_point service;
};

} // namespace PrintBudget
