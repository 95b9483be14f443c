// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platformservices.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

/// A scripted desktop: answers prompts and uniform draws from queues and
/// records every call, so tests can check what the core asked for and when.
class FakePlatform : public PlatformServices
{
public:
    std::deque<std::optional<std::string>> answers; // nullopt: the user cancels
    std::deque<double> uniforms;
    double uniformWhenEmpty = 0.0;
    std::function<void(std::string &)> userEditsBox; // runs before each read of the box
    bool printerFails = false;

    std::vector<std::string> prompts;
    std::vector<std::string> calls;
    std::vector<std::string> printed;
    std::string display;
    int reseeds = 0;
    int ends = 0;

    std::string AskText(const std::string &prompt) override
    {
        prompts.push_back(prompt);
        calls.emplace_back("AskText");
        if (answers.empty())
            return {};
        std::optional<std::string> answer = answers.front();
        answers.pop_front();
        return answer.value_or(std::string());
    }

    void Reseed() override
    {
        ++reseeds;
        calls.emplace_back("Reseed");
    }

    double NextUniform() override
    {
        calls.emplace_back("NextUniform");
        if (uniforms.empty())
            return uniformWhenEmpty;
        const double r = uniforms.front();
        uniforms.pop_front();
        return r;
    }

    void SetDisplayText(const std::string &text) override
    {
        calls.emplace_back("SetDisplayText");
        display = text;
    }

    std::string GetDisplayText() override
    {
        calls.emplace_back("GetDisplayText");
        if (userEditsBox)
            userEditsBox(display);
        return display;
    }

    void PrintLine(const std::string &line) override
    {
        calls.emplace_back("PrintLine");
        if (printerFails)
            throw PlatformError("the printer failed");
        printed.push_back(line);
    }

    void EndProgram() override
    {
        calls.emplace_back("EndProgram");
        ++ends;
    }
};
