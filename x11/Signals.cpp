#include "Signals.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdint>
#include <initializer_list>

namespace {
// Longer than ending a picture helper takes (two 500 ms waits), which a signal also starts.
constexpr int kGraceMilliseconds = 3000;

bool Notify(int eventFd) {
    const uint64_t one = 1;
    return write(eventFd, &one, sizeof one) == ssize_t(sizeof one);
}
}  // namespace

Signals::Signals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGCHLD);
    sigprocmask(SIG_BLOCK, &set, &m_original);
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);

    sigdelset(&set, SIGCHLD);
    m_watchFd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    m_armFd = eventfd(0, EFD_CLOEXEC);
    m_stopFd = eventfd(0, EFD_CLOEXEC);
    if (m_watchFd >= 0 && m_armFd >= 0 && m_stopFd >= 0) m_watcher = std::thread([this] { Watch(); });
}

Signals::~Signals() {
    if (m_watcher.joinable()) {
        if (Notify(m_stopFd)) m_watcher.join();
        else m_watcher.detach();
    }
    for (const int fd : {m_fd, m_watchFd, m_armFd, m_stopFd})
        if (fd >= 0) close(fd);
    sigprocmask(SIG_SETMASK, &m_original, nullptr);
}

// Never reads m_watchFd: the signal stays for the loop, which normally ends the process first.
void Signals::Watch() const {
    pollfd fds[] = {{m_watchFd, POLLIN, 0}, {m_armFd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    while (poll(fds, 3, -1) < 0) {
    }
    if (fds[2].revents != 0) return;
    pollfd stop{m_stopFd, POLLIN, 0};
    if (poll(&stop, 1, kGraceMilliseconds) == 0) _exit(0);
}

bool Signals::Drain() {
    signalfd_siginfo info{};
    while (read(m_fd, &info, sizeof info) == ssize_t(sizeof info))
        if ((info.ssi_signo == SIGTERM || info.ssi_signo == SIGINT) && !m_terminated) {
            m_terminated = true;
            if (m_armFd >= 0) Notify(m_armFd);
        }
    return m_terminated;
}
