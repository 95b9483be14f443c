// SPDX-FileCopyrightText: 2026 The Jeerforge developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "printjob.h"

#include "cupsclient.h"
#include "printbudget.h"
#include "printservice.h"

#include <QSizeF>

#include <condition_variable>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;
using Outcome = PrintResult::Outcome;
using Status = CupsClient::Status;
using std::chrono::milliseconds;
using Delivery = PrintoutDocument::Copy::Delivery;

namespace {

QPageSize paperOf(const CupsClient::Paper &paper)
{
    if (paper.width <= 0 || paper.length <= 0)
        return {};
    // CUPS measures in hundredths of a millimetre; a standard size keeps its name.
    return QPageSize(QSizeF(paper.width / 100.0, paper.length / 100.0), QPageSize::Millimeter, QString(),
                     QPageSize::FuzzyMatch);
}

Outcome outcomeOf(Status status)
{
    switch (status) {
    case Status::Ok:
        return Outcome::Printed;
    case Status::Unreachable:
        return Outcome::Unreachable;
    case Status::NotResponding:
        return Outcome::NotResponding;
    case Status::BrokenAnswer:
        return Outcome::BrokenAnswer;
    case Status::Stopped:
        return Outcome::Stopped;
    case Status::NoDefaultPrinter:
        return Outcome::NoDefaultPrinter;
    case Status::NoSuchPrinter:
        return Outcome::PrinterGone;
    case Status::Refused:
        return Outcome::Refused;
    case Status::PasswordWanted:
        return Outcome::NoPasswordGiven;
    case Status::PasswordRefused:
        return Outcome::PasswordRefused;
    }
    return Outcome::Refused;
}

QString loginName()
{
    const passwd *login = ::getpwuid(::geteuid());
    return login ? QString::fromLocal8Bit(login->pw_name) : QString();
}

} // namespace

// The errand itself. run() and what it calls work on the print service's
// thread; the rest is shared with the window's thread under the mutex.
struct PrintJob::Work
{
    Work(std::shared_ptr<PrintService::Session> serviceSession, std::optional<PrintoutDocument::Copy> copy,
         milliseconds bound)
        : session(std::move(serviceSession))
        , printout(std::move(copy))
        , deadlines(bound)
    {}

    const std::shared_ptr<PrintService::Session> session;
    const std::optional<PrintoutDocument::Copy> printout; // none: only the printer is looked for
    std::atomic<bool> abandoned{false};

    std::mutex mutex;
    std::condition_variable changed;
    PrintBudget::Deadlines deadlines;
    bool layingOut = false; // which the deadlines do not count
    PrintJob *job = nullptr; // the caller's object, while someone watches
    bool anyoneToAsk = false;
    PrintResult known; // what is known so far: the print service, the printer, its paper
    std::optional<PrintResult> result;
    std::optional<PasswordRequest> asking;
    std::optional<std::optional<Credentials>> password;

    // What is known so far, the mutex held: the print service's address from
    // an earlier errand too, so that an errand that never got its turn on the
    // thread still names it.
    PrintResult knownSoFar() const
    {
        PrintResult told = known;
        if (told.server.isEmpty()) {
            const std::scoped_lock lock(session->serverMutex);
            told.server = QString::fromStdString(session->server);
        }
        return told;
    }

    // Posts a call to the caller's object, on its thread; the mutex is held.
    template<typename Call>
    void tell(Call call)
    {
        if (job)
            QMetaObject::invokeMethod(job, std::move(call), Qt::QueuedConnection);
    }

    void run()
    {
        if (abandoned)
            return; // given up on before it began
        finish(printout ? print() : findPrinter());
    }

    void finish(const PrintResult &outcome)
    {
        const std::scoped_lock lock(mutex);
        if (result)
            return;
        result = outcome;
        tell([job = job, outcome] { job->deliver(outcome); });
        changed.notify_all();
    }

    PrintResult with(Outcome outcome, const std::string &reason = {})
    {
        const std::scoped_lock lock(mutex);
        PrintResult told = knownSoFar();
        told.outcome = outcome;
        told.reason = QString::fromStdString(reason);
        return told;
    }

    bool loadCups()
    {
        if (!session->cups && session->loadError.empty())
            session->cups = CupsLibrary::load(session->loadError);
        if (!session->cups)
            return false;
        const std::string server = CupsClient::server(*session->cups);
        {
            const std::scoped_lock lock(session->serverMutex);
            session->server = server;
        }
        const std::scoped_lock lock(mutex);
        known.server = QString::fromStdString(server);
        return true;
    }

    void found(const CupsClient::Destination &printer)
    {
        const std::scoped_lock lock(mutex);
        known.printer = QString::fromStdString(printer.name);
        known.paper = paperOf(printer.paper);
        tell([job = job, name = known.printer] { Q_EMIT job->waiting(name); });
    }

    // One operation with the scheduler, within the deadline. Where it wants a
    // user name and password that are not at hand, the user is asked and the
    // operation runs again.
    template<typename Operation>
    auto converse(const Operation &operation)
    {
        for (;;) {
            Clock::time_point until;
            {
                const std::scoped_lock lock(mutex);
                until = deadlines.service;
            }
            auto answer = [&] {
                CupsClient client(*session->cups, until, abandoned, session->credentials);
                return operation(client);
            }();
            if (answer.status == Status::PasswordRefused) {
                const std::scoped_lock lock(mutex);
                known.user = QString::fromStdString(session->credentials ? session->credentials->user : std::string());
                session->credentials.reset();
            }
            if (answer.status != Status::PasswordWanted)
                return answer;
            std::optional<Credentials> given = askPassword(false);
            if (!given)
                return answer;
            session->credentials = std::move(given);
        }
    }

    // Asks the person at the window, if anyone is there, and waits for the answer.
    std::optional<Credentials> askPassword(bool printerAsks)
    {
        std::unique_lock lock(mutex);
        if (!anyoneToAsk || !job || abandoned)
            return std::nullopt;
        const QString offered = session->credentials ? QString::fromStdString(session->credentials->user) : loginName();
        asking = PasswordRequest{printerAsks, known.server, known.printer, offered};
        password.reset();
        tell([job = job, request = *asking] { job->askForPassword(request); });
        changed.wait(lock, [this] { return password.has_value() || abandoned; });
        asking.reset();
        if (abandoned || !*password || (*password)->password.empty())
            return std::nullopt;
        return **password;
    }

    PrintResult findPrinter()
    {
        if (!loadCups())
            return with(Outcome::NoCupsLibrary, session->loadError);
        const auto printer = converse([](CupsClient &cups) { return cups.defaultDestination(); });
        if (!printer.ok())
            return with(outcomeOf(printer.status), printer.reason);
        found(printer.value);
        return with(Outcome::PrinterFound);
    }

    // The printout on the paper: the program's own work, which no bound on
    // the print service counts, and which stops as soon as nobody waits.
    QByteArray layOut(const QPageSize &paper, QString &error)
    {
        const Clock::time_point start = Clock::now();
        {
            const std::scoped_lock lock(mutex);
            layingOut = true;
            tell([job = job] { job->prepare(true); });
            changed.notify_all();
        }
        QByteArray pdf = printout->on(paper, error, &abandoned);
        const std::scoped_lock lock(mutex);
        layingOut = false;
        deadlines.extend(Clock::now() - start);
        tell([job = job] { job->prepare(false); });
        changed.notify_all();
        return pdf;
    }

    PrintResult printed(int id)
    {
        PrintResult told = with(Outcome::Printed);
        told.job = id;
        return told;
    }

    // The job holds the printout whole: from now on, whatever stops the
    // errand, the printout is told as at the printer, unconfirmed.
    void documentHeld(Delivery &delivery)
    {
        delivery.documentWhole = true;
        const std::scoped_lock lock(mutex);
        known.job = delivery.job;
    }

    // The job is cancelled, or never got the printout: the next attempt sends anew.
    void forget(Delivery &delivery)
    {
        delivery = {};
        const std::scoped_lock lock(mutex);
        known.job = 0;
    }

    PrintResult unconfirmed(const Delivery &delivery, const CupsClient::Result<CupsClient::JobState> &why)
    {
        PrintResult told = with(Outcome::Unconfirmed, why.status == Status::Refused ? why.reason : "");
        told.job = delivery.job;
        return told;
    }

    PrintResult print()
    {
        // An errand given up on may have delivered it after all: never twice.
        Delivery &delivery = *printout->delivery;
        if (delivery.confirmed)
            return printed(delivery.job);
        if (delivery.documentWhole)
            documentHeld(delivery); // by an earlier attempt
        if (!loadCups())
            return with(Outcome::NoCupsLibrary, session->loadError);
        const auto lookedUp = converse([](CupsClient &cups) { return cups.defaultDestination(); });
        if (!lookedUp.ok())
            return with(outcomeOf(lookedUp.status), lookedUp.reason);
        const CupsClient::Destination &printer = lookedUp.value;
        found(printer);
        QString notLaidOut;
        const QByteArray pdf = layOut(paperOf(printer.paper), notLaidOut);
        if (pdf.isEmpty())
            return with(Outcome::NotLaidOut, notLaidOut.toStdString());

        // A printer that holds its jobs until it gets a user name and password
        // (an SMB share, a protected IPP printer) gets them with the job, or
        // gets no job; a hold that comes all the same is met the same way.
        std::optional<Credentials> authInfo;
        if (printer.wantsCredentials()) {
            authInfo = askPassword(true);
            if (!authInfo)
                return with(Outcome::PrinterWantsPassword);
        }
        // The printout goes once. A job of an earlier attempt whose document
        // no answer confirmed is asked about first: one that holds it whole
        // is kept, one still waiting for it is cancelled and sent anew.
        std::optional<Status> unanswered; // why the document of this attempt got no answer
        const auto state = converse([&](CupsClient &cups) -> CupsClient::Result<CupsClient::JobState> {
            if (delivery.job != 0 && !delivery.documentWhole) {
                auto earlier = cups.jobState(delivery.job);
                if (!earlier.ok() || earlier.value.holdsDocument())
                    return earlier;
                if (earlier.value.documentIncoming) {
                    const auto cancelled = cups.cancel(printer.name, delivery.job);
                    if (!cancelled.ok())
                        return {cancelled.status, cancelled.reason, {}};
                }
                forget(delivery);
            }
            if (delivery.job == 0) {
                const auto created = cups.createJob(printer, "Jeerforge", authInfo);
                if (!created.ok())
                    return {created.status, created.reason, {}};
                delivery.job = created.value;
                const auto document = cups.sendDocument(printer.name, delivery.job,
                                                        {pdf.constData(), static_cast<std::size_t>(pdf.size())});
                if (document.ok()) {
                    documentHeld(delivery);
                } else if (document.value) {
                    unanswered = document.status; // all of it went: the job's state tells what it holds
                } else {
                    forget(delivery);
                    return {document.status, document.reason, {}};
                }
            }
            return cups.jobState(delivery.job);
        });
        if (!state.ok() && delivery.job == 0)
            return with(outcomeOf(state.status), state.reason);
        if (!state.ok())
            return unconfirmed(delivery, state);
        if (!delivery.documentWhole) {
            if (state.value.documentIncoming)
                return unconfirmed(delivery, state);
            if (!state.value.holdsDocument()) {
                // The scheduler threw the job away without its whole document.
                forget(delivery);
                return with(outcomeOf(unanswered.value_or(Status::NotResponding)));
            }
            documentHeld(delivery);
        }
        if (state.value.heldForAuthentication) {
            authInfo = askPassword(true);
            const auto released = converse([&](CupsClient &cups) {
                return authInfo ? cups.authenticate(delivery.job, printer, *authInfo)
                                : cups.cancel(printer.name, delivery.job);
            });
            // A job that did not take them is cancelled, and the next attempt
            // sends anew; one that nobody answered about is kept, and asked about.
            if (!authInfo) {
                if (released.ok())
                    forget(delivery);
                return with(Outcome::PrinterWantsPassword);
            }
            if (!released.ok() && !released.value) {
                forget(delivery);
                return with(outcomeOf(released.status), released.reason);
            }
            if (!released.ok())
                return unconfirmed(delivery, {released.status, released.reason, {}});
        }
        delivery.confirmed = true;
        return printed(delivery.job);
    }
};

PrintJob::PrintJob(PrintService &service, std::optional<PrintoutDocument::Copy> printout, milliseconds bound)
    : m_service(service)
    , m_work(std::make_shared<Work>(service.m_session, std::move(printout), bound))
    , m_sendsPrintout(m_work->printout.has_value())
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { giveUp(Outcome::NotResponding); });
}

PrintJob::~PrintJob()
{
    const std::scoped_lock lock(m_work->mutex);
    m_work->job = nullptr;
    m_work->abandoned = true;
    m_work->changed.notify_all();
}

void PrintJob::post()
{
    m_service.m_thread.post([work = m_work] { work->run(); });
}

void PrintJob::start()
{
    Clock::duration left;
    {
        const std::scoped_lock lock(m_work->mutex);
        m_work->job = this;
        m_work->anyoneToAsk = true;
        left = m_work->deadlines.caller - Clock::now();
        // Given up on by a Waiter before it began: that is what became of it.
        if (m_work->result) {
            m_work->tell([this, told = *m_work->result] { deliver(told); });
            return;
        }
    }
    post();
    m_deadline.start(std::chrono::duration_cast<milliseconds>(left));
}

PrintResult PrintJob::run()
{
    post();
    return waiter().waitWithoutEvents(PrintBudget::attempt);
}

PrintResult PrintJob::Waiter::waitWithoutEvents(milliseconds atMost) const
{
    Work &work = *m_work;
    std::unique_lock lock(work.mutex);
    // The layout's time moves the bound on, as it moves the deadlines.
    const Clock::time_point begun = Clock::now();
    const Clock::time_point callerBefore = work.deadlines.caller;
    for (;;) {
        const auto until = std::min(begun + atMost + (work.deadlines.caller - callerBefore), work.deadlines.caller);
        const bool over =
            !work.changed.wait_until(lock, until, [&work] { return work.result || work.asking || work.layingOut; });
        if (work.result || work.asking || over)
            break;
        work.changed.wait(lock, [&work] { return work.result || !work.layingOut; });
    }
    if (!work.result) {
        // Nobody is left to answer a question, nor to wait any longer.
        PrintResult told = work.knownSoFar();
        told.outcome = work.asking
            ? (work.asking->printerAsks ? Outcome::PrinterWantsPassword : Outcome::NoPasswordGiven)
            : told.job != 0 ? Outcome::Unconfirmed
                            : Outcome::NotResponding;
        work.result = told;
        work.abandoned = true;
        work.changed.notify_all();
        work.tell([job = work.job, told] { job->deliver(told); });
    }
    return *work.result;
}

void PrintJob::cancel()
{
    giveUp(Outcome::Stopped);
}

void PrintJob::giveUp(Outcome outcome)
{
    PrintResult told;
    {
        const std::scoped_lock lock(m_work->mutex);
        if (m_work->result)
            return;
        told = m_work->knownSoFar();
        // A printout that the printer holds whole did reach it.
        told.outcome = told.job != 0 ? Outcome::Unconfirmed : outcome;
        m_work->result = told;
        m_work->abandoned = true;
        m_work->changed.notify_all();
    }
    m_deadline.stop();
    const auto report = [this, told] { deliver(told); };
    QMetaObject::invokeMethod(this, report, Qt::QueuedConnection);
}

void PrintJob::deliver(const PrintResult &result)
{
    if (std::exchange(m_reported, true))
        return;
    m_deadline.stop();
    // cppcheck-suppress shadowFunction ; a signal emitted, not a variable
    Q_EMIT finished(result);
}

void PrintJob::prepare(bool layingOut)
{
    if (m_reported)
        return;
    // While the printout is laid out, the wait for the print service stands still.
    if (layingOut) {
        m_deadline.stop();
    } else {
        Clock::duration left;
        {
            const std::scoped_lock lock(m_work->mutex);
            left = m_work->deadlines.caller - Clock::now();
        }
        m_deadline.start(std::max(milliseconds(0), std::chrono::duration_cast<milliseconds>(left)));
    }
    // cppcheck-suppress shadowFunction ; a signal emitted, not a variable
    Q_EMIT preparing(layingOut);
}

void PrintJob::askForPassword(const PasswordRequest &request)
{
    if (isFinished())
        return;
    m_deadline.stop();
    m_pausedAt = Clock::now();
    // cppcheck-suppress shadowFunction ; a signal emitted, not a variable
    Q_EMIT passwordWanted(request);
}

void PrintJob::answerPassword(const std::optional<Credentials> &credentials)
{
    Clock::duration left;
    {
        const std::scoped_lock lock(m_work->mutex);
        if (!m_work->asking || m_work->password)
            return;
        m_work->password = credentials;
        // The time the person took is theirs.
        m_work->deadlines.extend(Clock::now() - m_pausedAt);
        left = m_work->deadlines.caller - Clock::now();
        m_work->changed.notify_all();
    }
    if (!m_reported)
        m_deadline.start(std::max(milliseconds(0), std::chrono::duration_cast<milliseconds>(left)));
}

bool PrintJob::isFinished() const
{
    const std::scoped_lock lock(m_work->mutex);
    return m_work->result.has_value();
}
