// Plays the Display control panel's side of the preview against the real saver:
//   preview_host preview  SAVER [WxH]  a window of its own (151x111, or W x H), the saver
//                                      inside it, then closed
//   preview_host bad-args SAVER   command lines that must end the saver at once
//   preview_host show SAVER [SECONDS [WxH]]  the preview to look at (151x111, or W x H),
//                                      until closed or SECONDS pass (0: until closed)
//   preview_host display-change        tells the full-screen savers that the display changed,
//                                      as Windows does and Wine does not, and prints where
//                                      each window is then: "saver window X,Y WxH"
// Wine shows nothing that one process draws into another's window, so this checks the
// structure and the lifetime of the saver's window only. Every check prints one line.
#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Checks.h"

namespace {

// The Display control panel's preview; multi-monitor tools use a whole monitor.
constexpr SIZE kDisplayPanelClient{151, 111};
// Wine can take seconds to start a process on a loaded machine; waits are generous.
constexpr DWORD kStartTimeoutMs = 60000;
constexpr DWORD kRunningMs = 2000;
constexpr DWORD kExitTimeoutMs = 15000;
constexpr DWORD kBadArgsExitTimeoutMs = 30000;
constexpr DWORD kPumpSliceMs = 20;

class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : h_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : h_(other.h_) { other.h_ = nullptr; }
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            h_ = other.h_;
            other.h_ = nullptr;
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    HANDLE Get() const { return h_; }
    void Reset() {
        if (h_) CloseHandle(h_);
        h_ = nullptr;
    }

private:
    HANDLE h_ = nullptr;
};

// A started saver. One that outlives its test is terminated, so that a hung saver cannot
// keep the test's output pipes, and with them ctest, waiting.
class SaverProcess {
public:
    bool Start(const std::string& saver, const char* args, DWORD flags) {
        std::string commandLine = "\"" + saver + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                            &si, &pi))
            return false;
        process_ = UniqueHandle(pi.hProcess);
        thread_ = UniqueHandle(pi.hThread);
        pid_ = pi.dwProcessId;
        return true;
    }

    SaverProcess() = default;
    SaverProcess(const SaverProcess&) = delete;
    SaverProcess& operator=(const SaverProcess&) = delete;
    ~SaverProcess() {
        if (Running()) {
            TerminateProcess(process_.Get(), 1);
            WaitForSingleObject(process_.Get(), kExitTimeoutMs);
        }
    }

    HANDLE Handle() const { return process_.Get(); }
    HANDLE MainThread() const { return thread_.Get(); }
    DWORD Pid() const { return pid_; }
    bool Running() const { return process_.Get() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process_.Get(), &code);
        return code;
    }

private:
    UniqueHandle process_;
    UniqueHandle thread_;
    DWORD pid_ = 0;
};

// Exception statuses (access violation and the like) all have both top bits set.
bool IsCrashStatus(DWORD code) { return (code & 0xC0000000u) == 0xC0000000u; }

void PumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Keeps this thread's queue served, which the saver's window needs while it lives in one of
// ours, until done() holds or the time is up. `wake` (may be null) ends a wait early.
template <typename Done>
bool PumpUntil(DWORD timeoutMs, HANDLE wake, Done done) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpPending();
        if (done()) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        const DWORD slice = timeoutMs - elapsed < kPumpSliceMs ? timeoutMs - elapsed : kPumpSliceMs;
        MsgWaitForMultipleObjects(wake ? 1 : 0, wake ? &wake : nullptr, FALSE, slice, QS_ALLINPUT);
    }
}

DWORD ElapsedSince(DWORD start) { return GetTickCount() - start; }

std::vector<HWND> DirectChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
    return children;
}

DWORD WindowPid(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

std::string Describe(const RECT& r) {
    char text[80];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right), static_cast<long>(r.bottom));
    return text;
}

std::string Describe(HWND hwnd) {
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    char text[128];
    std::snprintf(text, sizeof text, "%lu [%s]", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hwnd)), cls);
    return text;
}

class HostWindowClass {
public:
    static constexpr const char* kName = "KindlewickPreviewHost";

    HostWindowClass() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
        wc.lpszClassName = kName;
        atom_ = RegisterClassA(&wc);
        if (!atom_) error_ = GetLastError();
    }
    HostWindowClass(const HostWindowClass&) = delete;
    HostWindowClass& operator=(const HostWindowClass&) = delete;
    ~HostWindowClass() {
        if (atom_) UnregisterClassA(kName, GetModuleHandleA(nullptr));
    }

    bool Registered() const { return atom_ != 0; }
    DWORD Error() const { return error_; }

private:
    ATOM atom_ = 0;
    DWORD error_ = 0;
};

// The host's own window; destroying it is the step under test, so Destroy() is explicit and
// the destructor only cleans up after an early return.
class HostWindow {
public:
    explicit HostWindow(SIZE client = kDisplayPanelClient) {
        const DWORD style = WS_OVERLAPPEDWINDOW;
        RECT frame = {0, 0, client.cx, client.cy};
        AdjustWindowRectEx(&frame, style, FALSE, 0);
        hwnd_ = CreateWindowExA(0, HostWindowClass::kName, "Preview host", style, 100, 100,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        if (!hwnd_) error_ = GetLastError();
        if (hwnd_) {
            ShowWindow(hwnd_, SW_SHOWNORMAL);
            UpdateWindow(hwnd_);
        }
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    ~HostWindow() { Destroy(); }

    HWND Get() const { return hwnd_; }
    DWORD Error() const { return error_; }
    void Destroy() {
        if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

private:
    HWND hwnd_ = nullptr;
    DWORD error_ = 0;
};

bool SaverExists(Checks& checks, const std::string& saver) {
    const DWORD attributes = GetFileAttributesA(saver.c_str());
    return CHECK(checks, attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY),
                 "saver file %s exists", saver.c_str());
}

int RunPreview(const std::string& saver, SIZE size) {
    Checks checks("PreviewHost");
    if (!SaverExists(checks, saver)) return checks.Finish();

    HostWindowClass windowClass;
    if (!CHECK(checks, windowClass.Registered(), "host window class registered (error %lu)", windowClass.Error()))
        return checks.Finish();
    HostWindow host(size);
    if (!CHECK(checks, host.Get() != nullptr, "host window created (error %lu)", host.Error())) {
        std::fprintf(stderr, "Wine makes no windows without an X display: run under scripts/with-display\n");
        return checks.Finish();
    }
    RECT client{};
    GetClientRect(host.Get(), &client);
    CHECK(checks, client.right == size.cx && client.bottom == size.cy, "host client area %s, want %ldx%ld",
          Describe(client).c_str(), static_cast<long>(size.cx), static_cast<long>(size.cy));

    char args[64];
    std::snprintf(args, sizeof args, "/p %lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host.Get())));
    // Declared after the window so that a saver left running is ended before the window goes:
    // destroying a parent waits on the threads of its children.
    SaverProcess process;
    const bool started = process.Start(saver, args, 0);
    if (!CHECK(checks, started, "saver started with %s (error %lu)", args, started ? 0 : GetLastError()))
        return checks.Finish();

    DWORD start = GetTickCount();
    // A child is listed as soon as its creation starts; it turns visible once that is done.
    HWND child = nullptr;
    const bool appeared = PumpUntil(kStartTimeoutMs, process.Handle(), [&] {
        const std::vector<HWND> children = DirectChildren(host.Get());
        child = children.empty() ? nullptr : children.front();
        return (child && IsWindowVisible(child)) || !process.Running();
    });
    if (!CHECK(checks, appeared && child && IsWindowVisible(child),
               "a visible child window appeared in the host window (waited %lu ms of %lu; child %s; saver %s, "
               "exit code %lu)",
               ElapsedSince(start), kStartTimeoutMs, child ? (IsWindowVisible(child) ? "visible" : "hidden") : "none",
               process.Running() ? "running" : "ended", process.Running() ? 0 : process.ExitCode()))
        return checks.Finish();

    RECT childRect{};
    GetWindowRect(child, &childRect);
    MapWindowPoints(nullptr, host.Get(), reinterpret_cast<POINT*>(&childRect), 2);
    CHECK(checks, EqualRect(&childRect, &client), "child %s covers %s of the host's client area %s",
          Describe(child).c_str(), Describe(childRect).c_str(), Describe(client).c_str());
    const DWORD childPid = WindowPid(child);
    CHECK(checks, childPid == process.Pid(), "child belongs to process %lu, the saver is %lu", childPid, process.Pid());

    PumpUntil(kRunningMs, process.Handle(), [&] { return !process.Running(); });
    CHECK(checks, process.Running(), "saver still running after %lu ms more (exit code %lu)", kRunningMs,
          process.Running() ? 0 : process.ExitCode());
    const std::vector<HWND> children = DirectChildren(host.Get());
    CHECK(checks, children.size() == 1 && children.front() == child,
          "the host window still holds exactly that one child (%u children)", static_cast<unsigned>(children.size()));
    // A saver whose thread no longer serves messages would make DestroyWindow below wait forever.
    DWORD_PTR answer = 0;
    const bool responds =
        IsWindow(child) && SendMessageTimeoutA(child, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kExitTimeoutMs, &answer) != 0;
    if (!CHECK(checks, responds, "child window answers messages")) return checks.Finish();

    host.Destroy();
    start = GetTickCount();
    const bool ended = PumpUntil(kExitTimeoutMs, process.Handle(), [&] { return !process.Running(); });
    CHECK(checks, ended, "saver ended once the host window was destroyed (waited %lu ms of %lu)", ElapsedSince(start),
          kExitTimeoutMs);
    if (ended) CHECK(checks, process.ExitCode() == 0, "saver exit code 0x%08lx, want 0", process.ExitCode());
    return checks.Finish();
}

// Every window of one process seen so far, described while it still existed.
class SeenWindows {
public:
    void Add(HWND hwnd) {
        if (std::find(handles_.begin(), handles_.end(), hwnd) != handles_.end()) return;
        handles_.push_back(hwnd);
        text_ += " " + Describe(hwnd);
    }
    bool Empty() const { return handles_.empty(); }
    unsigned Count() const { return static_cast<unsigned>(handles_.size()); }
    const char* Text() const { return text_.c_str(); }

private:
    std::vector<HWND> handles_;
    std::string text_;
};

struct WindowSearch {
    DWORD pid;
    SeenWindows* seen;
};

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    if (WindowPid(hwnd) == search->pid) search->seen->Add(hwnd);
    return TRUE;
}

BOOL CALLBACK CollectTopLevel(HWND hwnd, LPARAM param) {
    CollectChild(hwnd, param);
    // Another process's window is the only place a child of the saver could live.
    EnumChildWindows(hwnd, CollectChild, param);
    return TRUE;
}

void CollectWindowsOf(DWORD pid, SeenWindows& seen) {
    WindowSearch search{pid, &seen};
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
}

// Windows that come and go between two polls are caught by the creation event. Out-of-context
// events reach this thread as it pumps; the callback has no parameter of its own.
SeenWindows* g_created = nullptr;

void CALLBACK OnWindowCreated(HWINEVENTHOOK, DWORD, HWND hwnd, LONG idObject, LONG, DWORD, DWORD) {
    if (g_created && hwnd && idObject == OBJID_WINDOW) g_created->Add(hwnd);
}

class WinEventHook {
public:
    WinEventHook(DWORD pid, SeenWindows& created) {
        g_created = &created;
        hook_ = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnWindowCreated, pid, 0,
                                WINEVENT_OUTOFCONTEXT);
    }
    WinEventHook(const WinEventHook&) = delete;
    WinEventHook& operator=(const WinEventHook&) = delete;
    ~WinEventHook() {
        if (hook_) UnhookWinEvent(hook_);
        g_created = nullptr;
    }

    bool Installed() const { return hook_ != nullptr; }

private:
    HWINEVENTHOOK hook_ = nullptr;
};

int RunBadArgs(const std::string& saver) {
    Checks checks("PreviewHost");
    if (!SaverExists(checks, saver)) return checks.Finish();

    constexpr ULONG_PTR kNoSuchWindow = 12345678;
    CHECK(checks, !IsWindow(reinterpret_cast<HWND>(kNoSuchWindow)), "no window has the handle %lu",
          static_cast<unsigned long>(kNoSuchWindow));

    const char* const kArgs[] = {"/p", "/p 0", "/p 12345678", "/x"};
    for (const char* args : kArgs) {
        SaverProcess process;
        const bool started = process.Start(saver, args, CREATE_SUSPENDED);
        if (!CHECK(checks, started, "[%s] saver started (error %lu)", args, started ? 0 : GetLastError())) continue;
        SeenWindows seen;
        WinEventHook hook(process.Pid(), seen);
        CHECK(checks, hook.Installed(), "[%s] window creation hook installed", args);
        ResumeThread(process.MainThread());

        const DWORD start = GetTickCount();
        const bool ended = PumpUntil(kBadArgsExitTimeoutMs, process.Handle(), [&] {
            CollectWindowsOf(process.Pid(), seen);
            return !process.Running();
        });
        const DWORD took = ElapsedSince(start);
        PumpPending();  // creation events still queued

        CHECK(checks, ended, "[%s] saver ended by itself (waited %lu ms of %lu)", args, took, kBadArgsExitTimeoutMs);
        if (ended)
            CHECK(checks, !IsCrashStatus(process.ExitCode()), "[%s] exit code 0x%08lx is no crash", args,
                  process.ExitCode());
        CHECK(checks, seen.Empty(), "[%s] saver created no window (saw %u:%s)", args, seen.Count(), seen.Text());
    }
    return checks.Finish();
}

// Not a test: keeps the preview up for a person or a screenshot.
int RunShow(const std::string& saver, DWORD seconds, SIZE size) {
    HostWindowClass windowClass;
    HostWindow host(size);
    if (!host.Get()) {
        std::fprintf(stderr, "no host window (error %lu): is DISPLAY set?\n", host.Error());
        return 1;
    }
    char args[64];
    std::snprintf(args, sizeof args, "/p %lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host.Get())));
    SaverProcess process;
    if (!process.Start(saver, args, 0)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", saver.c_str(), GetLastError());
        return 1;
    }
    std::printf("host window %lu shows \"%s\" %s\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host.Get())),
                saver.c_str(), args);
    std::fflush(stdout);
    PumpUntil(seconds ? seconds * 1000 : INFINITE, process.Handle(),
              [&] { return !IsWindow(host.Get()) || !process.Running(); });
    host.Destroy();
    PumpUntil(kExitTimeoutMs, process.Handle(), [&] { return !process.Running(); });
    return 0;
}

BOOL CALLBACK AddFullScreenSaver(HWND hwnd, LPARAM param) {
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    const LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
    const LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
    // The saver's window: a visible top-most pop-up of a registered fire window class.
    if (std::strncmp(cls, "Afx:", 4) == 0 && (exStyle & WS_EX_TOPMOST) && (style & WS_POPUP) && IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

int RunDisplayChange() {
    std::vector<HWND> savers;
    EnumWindows(AddFullScreenSaver, reinterpret_cast<LPARAM>(&savers));
    const LPARAM size = MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    for (HWND hwnd : savers) {
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(hwnd, WM_DISPLAYCHANGE, 32, size, SMTO_ABORTIFHUNG, kExitTimeoutMs, &answer);
        RECT r{};
        GetWindowRect(hwnd, &r);
        std::printf("saver window %ld,%ld %ldx%ld\n", static_cast<long>(r.left), static_cast<long>(r.top),
                    static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    }
    std::printf("virtual screen %d,%d %dx%d\n", GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN));
    return savers.empty() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Inherited by the saver, so that on Windows a crash ends it with its exception status rather
    // than behind an error box. Wine 8 shows its crash dialog regardless; the wait then times out.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const std::string mode = argc >= 2 ? argv[1] : "";
    if (mode == "display-change" && argc == 2) return RunDisplayChange();
    if (mode == "preview" && (argc == 3 || argc == 4)) {
        SIZE size = kDisplayPanelClient;
        if (argc == 4 && (std::sscanf(argv[3], "%ldx%ld", &size.cx, &size.cy) != 2 || size.cx <= 0 || size.cy <= 0)) {
            std::fprintf(stderr, "preview_host: the size is WxH, not %s\n", argv[3]);
            return 2;
        }
        return RunPreview(argv[2], size);
    }
    if (mode == "bad-args" && argc == 3) return RunBadArgs(argv[2]);
    if (mode == "show" && argc <= 5) {
        SIZE size = kDisplayPanelClient;
        if (argc == 5 && (std::sscanf(argv[4], "%ldx%ld", &size.cx, &size.cy) != 2 || size.cx <= 0 || size.cy <= 0)) {
            std::fprintf(stderr, "preview_host: the size is WxH, not %s\n", argv[4]);
            return 2;
        }
        return RunShow(argv[2], argc >= 4 ? std::strtoul(argv[3], nullptr, 10) : 0, size);
    }
    std::fprintf(stderr, "usage: preview_host preview SAVER.scr [WxH]\n"
                         "       preview_host bad-args SAVER.scr\n"
                         "       preview_host show SAVER.scr [SECONDS [WxH]]\n"
                         "       preview_host display-change\n");
    return 2;
}
