// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printservice.h"

PrintService::PrintService(std::shared_ptr<const CupsLibrary> cups)
    : m_session(std::make_shared<Session>())
{
    m_session->cups = std::move(cups);
}

PrintService::~PrintService() = default;

std::unique_ptr<PrintJob> PrintService::findPrinter(std::chrono::milliseconds bound)
{
    return std::unique_ptr<PrintJob>(new PrintJob(*this, std::nullopt, bound));
}

std::unique_ptr<PrintJob> PrintService::print(PrintoutDocument::Copy printout, std::chrono::milliseconds bound)
{
    return std::unique_ptr<PrintJob>(new PrintJob(*this, std::move(printout), bound));
}
