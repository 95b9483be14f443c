// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// What the print path costs: one press of Print Results (100 lines into the
// document), and ending the document until the spooler holds the job.
// Needs a default printer; bench/run.sh provides a private one.
#include "printbudget.h"
#include "qtplatformservices.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

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

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    std::vector<std::string> batch;
    std::vector<std::string> emojiBatch; // each line with an emoji that only colour fonts have
    for (int i = 0; i < 100; ++i) {
        batch.push_back("everyone knows that you " + std::to_string(i) + " juggle your mom's hedgehog!");
        emojiBatch.push_back(batch.back() + " \U0001F979");
    }

    constexpr int runs = 30;
    std::vector<double> firstPress;
    std::vector<double> laterPress;
    std::vector<double> release;
    std::vector<double> emojiPress;
    for (int run = 0; run < runs; ++run) {
        QtPlatformServices services;
        auto start = Clock::now();
        pressPrint(services, batch, true);
        firstPress.push_back(microseconds(Clock::now() - start));
        start = Clock::now();
        pressPrint(services, batch, false);
        laterPress.push_back(microseconds(Clock::now() - start));
        start = Clock::now();
        if (services.printService().print(services.printout().copy(), PrintBudget::attempt)->run().outcome !=
            PrintResult::Outcome::Printed)
            std::fprintf(stderr, "not printed\n");
        services.printout().discard();
        release.push_back(microseconds(Clock::now() - start));
        start = Clock::now();
        pressPrint(services, emojiBatch, false);
        emojiPress.push_back(microseconds(Clock::now() - start));
        services.printout().discard();
    }
    std::printf("| first Print Results press, 100 lines, opening the document, until the printer is found (median of "
                "%d) | %.2f ms |\n",
                runs, median(firstPress) / 1000);
    std::printf("| later Print Results press, 100 lines | %.2f ms |\n", median(laterPress) / 1000);
    std::printf("| end of program until the spooler holds the 200-line job | %.2f ms |\n", median(release) / 1000);
    std::printf("| a press of 100 lines, each with an emoji that only colour fonts have | %.2f ms |\n",
                median(emojiPress) / 1000);
    return 0;
}
