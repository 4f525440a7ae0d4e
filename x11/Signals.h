#pragma once
// SIGTERM, SIGINT and SIGCHLD arrive as readable data on a descriptor, so that the frame
// loop and the wait for a helper program sleep in one poll with the X connection.
#include <csignal>
#include <thread>

class Signals {
public:
    Signals();
    ~Signals();
    Signals(const Signals&) = delete;
    Signals& operator=(const Signals&) = delete;

    int Fd() const { return m_fd; }
    // Reads what has arrived; true once SIGTERM or SIGINT has come.
    bool Drain();
    bool Terminated() const { return m_terminated; }
    // What a child process should start with: nothing blocked.
    const sigset_t& Original() const { return m_original; }

private:
    void Watch() const;

    int m_fd = -1;
    bool m_terminated = false;
    sigset_t m_original{};
    // A server that stops answering (SIGSTOP, a hung host) holds the loop, or the closing of
    // the display after it, inside Xlib: a thread ends the process a grace period after
    // SIGTERM or SIGINT, seen on a second descriptor or told by Drain (m_armFd).
    int m_watchFd = -1;
    int m_armFd = -1;
    int m_stopFd = -1;
    std::thread m_watcher;
};
