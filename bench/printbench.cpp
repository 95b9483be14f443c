// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the print path costs: one press of Print Results (100 lines into the
// printout), and ending it until the spooler holds the job, laid out as PDF
// then; with "largest N" or "ordinary N" as arguments, N presses of the
// largest batch, or of a batch of ordinary insults, instead.
// Needs a default printer; bench/run.sh provides a private one.
#include "printbudget.h"
#include "qtplatformservices.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// As a press does: the lines go in, and the first press looks for the
// printer, whose paper the printout then takes. Timed to the end of both.
void pressPrint(QtPlatformServices &services, const std::vector<std::string> &batch, bool first)
{
    for (const std::string &line : batch)
        services.PrintLine(line);
    if (!first)
        return;
    const PrintResult found = services.printService().findPrinter(PrintBudget::press)->run();
    if (found.outcome != PrintResult::Outcome::PrinterFound)
        std::fprintf(stderr, "no printer found\n");
    services.printout().setPaper(found.paper);
}

// Ends the document until the spooler holds the job, as the end of the program
// does: the printout is laid out then, on the printer's paper.
double release(QtPlatformServices &services)
{
    const auto start = Clock::now();
    if (services.printService().print(*services.printout().pendingCopy(), PrintBudget::attempt)->run().outcome !=
        PrintResult::Outcome::Printed)
        std::fprintf(stderr, "not printed\n");
    services.printout().discard();
    return microseconds(Clock::now() - start);
}

// Many presses of one batch, from the end of the program until the spooler
// holds the job; once, with the peak memory of the whole run. The largest
// batch is 100 lines, each of three 2,000-character words.
int manyPresses(int presses, bool largest)
{
    const std::string line = largest
        ? std::string(2000, 'a') + " " + std::string(2000, 'b') + " your " + std::string(2000, 'c') + "!"
        : std::string("everyone knows that you juggle your mom's hedgehog!");
    std::vector<std::string> batch(100, line);
    for (std::size_t i = 0; !largest && i < batch.size(); ++i)
        batch[i] += " " + std::to_string(i);
    QtPlatformServices services;
    pressPrint(services, batch, true);
    for (int press = 1; press < presses; ++press)
        pressPrint(services, batch, false);
    const double took = release(services);
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("| end of program until the spooler holds %d presses of 100 %s (%d lines) | %.2f s |\n", presses,
                largest ? "lines of 2,000-character words" : "ordinary insults", presses * 100, took / 1e6);
    std::printf("| peak memory of that run | %.1f MiB |\n", double(usage.ru_maxrss) / 1024);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // "largest PRESSES" or "ordinary PRESSES": that many presses of one batch.
    if (argc > 2)
        return manyPresses(std::stoi(argv[2]), std::string(argv[1]) == "largest");
    std::vector<std::string> batch;
    std::vector<std::string> devanagari;
    std::vector<std::string> emoji; // each line with an emoji that only colour fonts have
    for (int i = 0; i < 100; ++i) {
        batch.push_back("everyone knows that you " + std::to_string(i) + " juggle your mom's hedgehog!");
        devanagari.push_back("सब जानते हैं कि तुम " + std::to_string(i) + " क्षत्रिय की हिन्दी पुस्तक चुराते हो!");
        emoji.push_back(batch.back() + " \U0001F979");
    }

    constexpr int runs = 30;
    std::vector<double> firstPress;
    std::vector<double> laterPress;
    std::vector<double> plain;
    std::vector<double> inDevanagari;
    std::vector<double> withEmoji;
    for (int run = 0; run < runs; ++run) {
        QtPlatformServices services;
        auto start = Clock::now();
        pressPrint(services, batch, true);
        firstPress.push_back(microseconds(Clock::now() - start));
        start = Clock::now();
        pressPrint(services, batch, false);
        laterPress.push_back(microseconds(Clock::now() - start));
        plain.push_back(release(services));
        pressPrint(services, devanagari, false);
        inDevanagari.push_back(release(services));
        pressPrint(services, emoji, false);
        withEmoji.push_back(release(services));
    }
    std::printf("| first Print Results press, 100 lines, until the printer is found (median of %d) | %.2f ms |\n", runs,
                median(firstPress) / 1000);
    std::printf("| later Print Results press, 100 lines | %.2f ms |\n", median(laterPress) / 1000);
    std::printf("| end of program until the spooler holds the 200-line job, laid out then | %.2f ms |\n",
                median(plain) / 1000);
    std::printf("| the same, the first time in a run, which loads Pango and cairo | %.2f ms |\n", plain.front() / 1000);
    std::printf("| the same for 100 lines of Devanagari | %.2f ms |\n", median(inDevanagari) / 1000);
    std::printf("| the same for 100 lines, each with an emoji that only colour fonts have | %.2f ms |\n",
                median(withEmoji) / 1000);
    return 0;
}
