#pragma once

#include <QObject>
#include <array>
#include <csignal>

class QSocketNotifier;

// Ends the message loops on SIGTERM, SIGINT or SIGHUP, so that a logout or a
// kill closes the program as its window's close button does: the windows go,
// the connection ends, the exit code is 0. A statement under way finishes
// first, as the signal is only looked at by the message loop; one that came
// before the loop runs is Pending().
//
// Install() puts the handlers in as the process starts, before anything else
// runs; a signal from then on waits for the object, which watches for it in
// the message loop and puts the earlier handlers back on destruction. A library
// that puts in handlers of its own later (Firebird's client does, in its first
// attach) may call these from its own; the Firebird driver puts these back
// after each attach and keeps that library from ending its attachments on
// these signals.
class TTerminationSignals : public QObject
{
public:
    explicit TTerminationSignals(QObject* parent = nullptr);
    ~TTerminationSignals() override;
    TTerminationSignals(const TTerminationSignals&) = delete;
    TTerminationSignals& operator=(const TTerminationSignals&) = delete;

    static constexpr std::array<int, 3> Signals{SIGTERM, SIGINT, SIGHUP};

    // Puts the handlers in, once until the next object goes; the object does
    // it too when it was not done.
    static void Install();

    // True when a signal came that the message loop has not yet taken.
    bool Pending() const;

private:
    static void Handle(int signal);
    void Received();

    QSocketNotifier* FNotifier = nullptr;
};
