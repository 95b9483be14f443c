// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What composing one insult costs: a whole NextInsult press on a light
// desktop stand-in, against the floor of joining the same five words.
#include "insultcomposer.h"
#include "platformservices.h"
#include "randomsource.h"
#include "wordbank.h"

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <string_view>

namespace {

// The real random source and a text box that is just a string.
class BenchPlatform : public PlatformServices
{
public:
    std::string AskText(const std::string & /*prompt*/) override { return {}; }
    void Reseed() override { m_random.reseedFromClock(); }
    double NextUniform() override { return m_random.nextUniform(); }
    void SetDisplayText(const std::string &text) override { m_display = text; }
    std::string GetDisplayText() override { return m_display; }
    void PrintLine(const std::string & /*line*/) override {}
    void EndProgram() override {}

private:
    RandomSource m_random;
    std::string m_display;
};

WordBank filledBank()
{
    WordBank bank;
    const std::array<const char *, 5> beginnings{"you always", "everyone knows that you", "I want you to,", "you never",
                                                 "your cat says you"};
    for (std::size_t i = 0; i < bank.Beginnings.size(); ++i)
        bank.Beginnings[i] = beginnings[i];
    for (std::size_t i = 0; i < bank.Verbs.size(); ++i) {
        bank.Verbs[i] = "verb" + std::to_string(i);
        bank.Nouns[i] = "hedgehog" + std::to_string(i);
    }
    return bank;
}

void NextInsultPress(benchmark::State &state)
{
    WordBank bank = filledBank();
    BenchPlatform platform;
    InsultComposer composer(bank, platform);
    for (auto _ : state) {
        if (bank.IsBatchFull())
            bank.ClearBatch(); // a fresh batch every 100 presses, as in a new run
        composer.NextInsult();
    }
    benchmark::DoNotOptimize(bank.Batch().data());
}
BENCHMARK(NextInsultPress);

void ConcatenationFloor(benchmark::State &state)
{
    const WordBank bank = filledBank();
    const std::array<std::string_view, 8> words{bank.Beginnings[1],       " ", bank.Verbs[7],  " ",
                                                WordBank::Determiners[3], " ", bank.Nouns[13], WordBank::Endings[1]};
    for (auto _ : state) {
        std::string sentence;
        sentence.reserve(64);
        for (std::string_view word : words)
            sentence += word;
        benchmark::DoNotOptimize(sentence);
    }
}
BENCHMARK(ConcatenationFloor);

void ReseedFromClock(benchmark::State &state)
{
    RandomSource random;
    for (auto _ : state) {
        random.reseedFromClock();
        benchmark::DoNotOptimize(random.next());
    }
}
BENCHMARK(ReseedFromClock);

} // namespace

BENCHMARK_MAIN();
