#pragma once

#include <QObject>

class QSocketNotifier;

/// While it lives, SIGTERM, SIGINT and SIGHUP end the event loop the way
/// Exit does, so the program still ends properly when it is asked to from
/// outside (kill, Ctrl+C, the session ending). Only one may live at a time.
class QuitOnSignals : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignals(QObject *parent = nullptr);
    ~QuitOnSignals() override;

private:
    static void handle(int signal);

    int m_fds[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
};
