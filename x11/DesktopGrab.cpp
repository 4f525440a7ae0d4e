#include "DesktopGrab.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

#include "HackCanvas.h"
#include "Signals.h"

extern char** environ;

namespace {
// Loading an image from a folder or a feed can take a while; a hung helper must not keep
// the fires from starting.
constexpr int kGetImageTimeoutMs = 20000;
constexpr const char* kGetImage = "xscreensaver-getimage";
constexpr const char* kHackDir = "/usr/libexec/xscreensaver";

bool Executable(const std::string& path) { return access(path.c_str(), X_OK) == 0; }

std::string Id(unsigned long id) {
    std::ostringstream s;
    s << "0x" << std::hex << id;
    return s.str();
}

// What a helper asked to stop gets to tidy up before its whole group is killed.
constexpr int kStopGraceMs = 500;

// True once the child has exited; it stays a zombie, keeping its group's id from reuse.
bool Exited(pid_t child) {
    siginfo_t info{};
    return waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == child;
}

bool WaitExited(pid_t child, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (Exited(child)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        poll(nullptr, 0, 20);
    }
}

// Ends the helper and everything it started (its process group). A helper that will not
// go, even blocked in the kernel, is not waited for beyond the grace periods: its zombie
// goes to init when the hack exits.
void Stop(pid_t child) {
    kill(-child, SIGTERM);
    WaitExited(child, kStopGraceMs);
    // The group may outlive its leader: its children are killed either way.
    kill(-child, SIGKILL);
    if (WaitExited(child, kStopGraceMs)) waitpid(child, nullptr, 0);
}

// Waits for the child; ends it early on SIGTERM, SIGINT or the timeout.
GrabOutcome WaitFor(pid_t child, Signals& signals, std::string& note) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kGetImageTimeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child) {
            if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return GrabOutcome::Done;
            note = std::string(kGetImage) + " failed";
            return GrabOutcome::Failed;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (signals.Drain() || left.count() <= 0) {
            Stop(child);
            if (signals.Terminated()) return GrabOutcome::Ended;
            note = std::string(kGetImage) + " took too long";
            return GrabOutcome::Failed;
        }
        pollfd fd{signals.Fd(), POLLIN, 0};
        poll(&fd, 1, int(std::min<long long>(left.count(), 1000)));
    }
}
}  // namespace

std::string FindGetImage() {
    if (const char* path = std::getenv("PATH")) {
        std::istringstream dirs(path);
        std::string dir;
        while (std::getline(dirs, dir, ':'))
            if (!dir.empty() && Executable(dir + "/" + kGetImage)) return dir + "/" + kGetImage;
    }
    const std::string installed = std::string(kHackDir) + "/" + kGetImage;
    return Executable(installed) ? installed : std::string();
}

GrabOutcome GrabDesktop(Display* display, Window window, HackCanvas& canvas, Signals& signals,
                        const std::string& getImage, std::string& note) {
    canvas.FillBlack();
    if (getImage.empty()) {
        if (!canvas.CopyFromRoot()) note = "could not copy the screen";
        return note.empty() ? GrabOutcome::Done : GrabOutcome::Failed;
    }
    // The helper draws on the picture itself, so nothing else can spoil the read-back.
    XSync(display, False);
    const std::string windowId = Id(window), pixmapId = Id(canvas.Picture());
    std::vector<char*> argv = {const_cast<char*>(getImage.c_str()), const_cast<char*>(windowId.c_str()),
                               const_cast<char*>(pixmapId.c_str()), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setsigmask(&attributes, &signals.Original());
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGCHLD);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // A group of its own, so that whatever it starts can be ended with it.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    pid_t child = 0;
    const int failed = posix_spawn(&child, getImage.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (failed) {
        note = std::string("could not start ") + getImage + ": " + std::strerror(failed);
        return GrabOutcome::Failed;
    }
    const GrabOutcome outcome = WaitFor(child, signals, note);
    if (outcome == GrabOutcome::Failed) canvas.FillBlack();
    return outcome;
}
