#include "Signals.h"

#include <sys/signalfd.h>
#include <unistd.h>

Signals::Signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, &m_original);
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

Signals::~Signals() {
    if (m_fd >= 0) close(m_fd);
    sigprocmask(SIG_SETMASK, &m_original, nullptr);
}

bool Signals::Drain() {
    signalfd_siginfo info{};
    while (read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
        if (info.ssi_signo == SIGTERM || info.ssi_signo == SIGINT) m_terminated = true;
    return m_terminated;
}
