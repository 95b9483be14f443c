// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The floor of any Qt program that asks for a word: one input dialog and
// nothing else. Jeerforge's start-up is measured against it.
#include <QApplication>
#include <QInputDialog>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QInputDialog::getText(nullptr, QStringLiteral("Jeerforge"),
                          QStringLiteral("Give me a beginning to a sentence, such as 'you always', "
                                         "'everyone knows that you', 'I want you to,' etc."));
    return 0;
}
