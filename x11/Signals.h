#pragma once
// SIGTERM, SIGINT and SIGCHLD arrive as readable data on a descriptor, so that the frame
// loop and the wait for a helper program sleep in one poll with the X connection.
#include <csignal>

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
    int m_fd = -1;
    bool m_terminated = false;
    sigset_t m_original{};
};
