#include "TTerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

// A signal handler may only write to a descriptor; the loop reads the other end.
int Pair[2] = {-1, -1};
// The handlers found when Install() put these in, put back by the object.
std::array<struct sigaction, TTerminationSignals::Signals.size()> Previous{};

} // namespace

void TTerminationSignals::Install()
{
    if (Pair[0] >= 0) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, Pair) != 0)
        qFatal("Cannot make the pipe for termination signals");
    struct sigaction action = {};
    action.sa_handler = &TTerminationSignals::Handle;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], &action, &Previous[i]);
}

TTerminationSignals::TTerminationSignals(QObject* parent) : QObject(parent)
{
    Install();
    FNotifier = new QSocketNotifier(Pair[1], QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, [this] { Received(); });
}

TTerminationSignals::~TTerminationSignals()
{
    for (std::size_t i = 0; i < Signals.size(); ++i)
        ::sigaction(Signals[i], &Previous[i], nullptr);
    delete FNotifier;
    ::close(Pair[0]);
    ::close(Pair[1]);
    Pair[0] = Pair[1] = -1;
}

void TTerminationSignals::Handle(int signal)
{
    const int saved = errno;
    const char byte = char(signal);
    // A full pipe already holds a request to end: nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(Pair[0], &byte, 1);
    errno = saved;
}

bool TTerminationSignals::Pending() const
{
    char byte = 0;
    return ::recv(Pair[1], &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 1;
}

void TTerminationSignals::Received()
{
    char bytes[16];
    while (::read(Pair[1], bytes, sizeof bytes) > 0)
        ;
    QCoreApplication::exit(0);
}
