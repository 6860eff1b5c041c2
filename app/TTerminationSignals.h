#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

// Ends the message loops on SIGTERM, SIGINT or SIGHUP, so that a logout or a
// kill closes the program as its window's close button does: the windows go,
// the connection ends, the exit code is 0. A statement under way finishes
// first, as the signal is only looked at by the message loop.
//
// Firebird's client library installs handlers of its own when it loads, and
// those leave the process running; so install this once the connection is
// open. The handlers found are put back on destruction.
class TTerminationSignals : public QObject
{
public:
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};

private:
    static void Handle(int signal);
    void Received();

    QSocketNotifier* FNotifier = nullptr;
    std::array<struct sigaction, Signals.size()> FPrevious{};
};
