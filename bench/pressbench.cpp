// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// A press of Next Insult through the real widgets: from the click on the
// button until the text box holds the new sentence. Run offscreen.
#include "frminsult.h"
#include "qtplatformservices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

// The Qt desktop, with the start-up prompts answered at once.
class AnsweredPrompts : public QtPlatformServices
{
public:
    std::string AskText(const std::string & /*prompt*/) override { return "everyone knows that you"; }
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    constexpr int windows = 30;
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(windows) * BATCH_CAPACITY);

    for (int w = 0; w < windows; ++w) {
        AnsweredPrompts services;
        FrmInsult window(services, WordBank{});
        services.setDisplay(window.insultBox());
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            std::fprintf(stderr, "the window did not show\n");
            return 1;
        }
        auto *next = window.findChild<QPushButton *>(QStringLiteral("cmdNext"));
        const QLineEdit *box = window.insultBox();
        for (int press = 0; press < BATCH_CAPACITY; ++press) {
            const auto start = std::chrono::steady_clock::now();
            QTest::mouseClick(next, Qt::LeftButton);
            const auto end = std::chrono::steady_clock::now();
            if (window.wordBank().BatchCount() != press + 1 || box->text().isEmpty()) {
                std::fprintf(stderr, "press %d did not record a sentence\n", press);
                return 1;
            }
            samples.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        }
    }
    std::sort(samples.begin(), samples.end());
    std::printf("| Next Insult press through the widgets, click to text (median of %zu) | %.1f us |\n", samples.size(),
                samples[samples.size() / 2]);
    std::printf("| the same, 90th percentile | %.1f us |\n", samples[samples.size() * 9 / 10]);
    return 0;
}
