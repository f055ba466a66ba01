#include "platform/TerminationSignals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace platform {

namespace {

int g_fds[2] = {-1, -1};

void onSignal(int signo) {
    const int saved = errno;
    const unsigned char c = static_cast<unsigned char>(signo);
    (void)!::write(g_fds[0], &c, 1);
    errno = saved;
}

void setHandler(int signo, void (*handler)(int)) {
    struct sigaction sa = {};
    sa.sa_handler = handler;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(signo, &sa, nullptr);
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_fds) != 0) return;
    notifier_ = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
    setHandler(SIGTERM, onSignal);
    setHandler(SIGHUP, onSignal);
}

TerminationSignals::~TerminationSignals() {
    if (!notifier_) return;
    setHandler(SIGTERM, SIG_DFL);
    setHandler(SIGHUP, SIG_DFL);
    delete notifier_;
    ::close(g_fds[0]);
    ::close(g_fds[1]);
    g_fds[0] = g_fds[1] = -1;
}

void TerminationSignals::readSignal() {
    unsigned char c = 0;
    while (::read(g_fds[1], &c, 1) == 1) emit terminationRequested(int(c));
}

}  // namespace platform
