// Plays the user of the settings dialog against the real saver: starts it, finds the dialog
// "Kindlewick", clicks, types and presses keys with SendInput (the system's input path: hit
// testing, focus, activation and the dialog manager's keyboard handling all take part), and
// reads the result from the screen, the windows and the registry.
//   dialog_driver SCENARIO SAVER.scr
// Every check prints one line; the last line counts them.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Checks.h"
#include "Settings.h"
#include "SettingsKey.h"

namespace {

// Wine can take many seconds to start a process on a loaded machine; waits are generous.
constexpr DWORD kStartTimeoutMs = 90000;
constexpr DWORD kReactTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr DWORD kPollMs = 20;

// Control ids of the settings dialog.
constexpr int kFlyWidth = 1000;
constexpr int kPreview = 1001;
constexpr int kFireType = 1003;
constexpr int kBlankScreen = 1012;
constexpr int kDrawFly = 1013;
constexpr int kAbout = 1015;
constexpr int kSmoothFire = 1016;
constexpr int kFlySpeed = 1017;

const char* const kSettingNames[] = {"BlankScreen", "SmoothFire", "FireType", "DrawFly", "FlyWidth", "FlySpeed"};

Checks g_checks("DialogDriver");

template <typename Done>
bool WaitFor(DWORD timeoutMs, Done done) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return done();
        Sleep(kPollMs);
    }
}

std::string WindowText(HWND hwnd) {
    char text[512] = "";
    // WM_GETTEXT reaches another process's controls; GetWindowText would not ask them.
    DWORD_PTR got = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        kReactTimeoutMs, &got);
    return text;
}

std::string ClassName(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

DWORD WindowPid(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return pid;
}

LRESULT Ask(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, kReactTimeoutMs, &result))
        return -2;  // no answer: neither a selection, a check state nor a hit-test code
    return static_cast<LRESULT>(result);
}

// ---------------------------------------------------------------------------------------
// The saver's settings in the registry, under the name of its executable.

class Settings {
public:
    explicit Settings(const std::string& saver) {
        std::string name = saver.substr(saver.find_last_of("\\/") + 1);
        name = name.substr(0, name.rfind('.'));
        app_ = SettingsKeyPath(name);
        config_ = SettingsKeyPath(name, kSettingsSection);
    }

    void Clear() const {
        RegDeleteKeyA(HKEY_CURRENT_USER, config_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, app_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, SettingsKeyPath().c_str());  // only when empty
    }

    void Write(const char* name, DWORD value) const {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, config_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
        RegCloseKey(key);
    }

    // Every value of the six that is stored.
    std::map<std::string, long> Read() const {
        std::map<std::string, long> values;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, config_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return values;
        for (const char* name : kSettingNames) {
            DWORD type = 0, value = 0, size = sizeof value;
            if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                type == REG_DWORD)
                values[name] = static_cast<long>(static_cast<int32_t>(value));
        }
        RegCloseKey(key);
        return values;
    }

private:
    std::string app_;
    std::string config_;
};

std::string Describe(const std::map<std::string, long>& values) {
    if (values.empty()) return "nothing";
    std::string text;
    for (const char* name : kSettingNames) {
        const auto it = values.find(name);
        if (it == values.end()) continue;
        if (!text.empty()) text += ' ';
        text += std::string(name) + '=' + std::to_string(it->second);
    }
    return text;
}

// ---------------------------------------------------------------------------------------
// The user's hands: absolute mouse positions and keys, through SendInput.

INPUT MouseAt(POINT p, DWORD flags) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    const LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    in.mi.dx = (p.x * 65535 + (w - 1) / 2) / (w - 1);
    in.mi.dy = (p.y * 65535 + (h - 1) / 2) / (h - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    return in;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

POINT Centre(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Every event carries its position, so that nothing moving the pointer in between (the X
// server's own pointer, say) can make the button land elsewhere.
void ClickAt(POINT p) {
    INPUT in[3] = {MouseAt(p, 0), MouseAt(p, MOUSEEVENTF_LEFTDOWN), MouseAt(p, MOUSEEVENTF_LEFTUP)};
    SendInput(3, in, sizeof(INPUT));
}

void Click(HWND hwnd) { ClickAt(Centre(hwnd)); }

void Press(WORD vk) {
    INPUT in[2] = {KeyInput(vk, false), KeyInput(vk, true)};
    SendInput(2, in, sizeof(INPUT));
}

void Chord(WORD modifier, WORD vk) {
    INPUT in[4] = {KeyInput(modifier, false), KeyInput(vk, false), KeyInput(vk, true), KeyInput(modifier, true)};
    SendInput(4, in, sizeof(INPUT));
}

// Digits and lower-case letters, as typed on the keyboard.
void Type(const char* text) {
    for (const char* c = text; *c; ++c) {
        const char ch = *c;
        Press(static_cast<WORD>(ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch));
    }
}

// ---------------------------------------------------------------------------------------
// Window frames. With no window manager on the display nobody draws the captions that Wine
// leaves to it, and clicks there reach no window. For the time of the run Wine is told to draw
// the saver's frames itself (its per-program "Decorated" option), so that the close box is
// where the user sees it.

class OwnFrames {
public:
    explicit OwnFrames(const std::string& saver) {
        const std::string path =
            "Software\\Wine\\AppDefaults\\" + saver.substr(saver.find_last_of("\\/") + 1) + "\\X11 Driver";
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        char value[16] = "";
        DWORD size = sizeof value, type = 0;
        if (RegQueryValueExA(key_, kName, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
            type == REG_SZ)
            before_ = value;
        RegSetValueExA(key_, kName, 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    }
    OwnFrames(const OwnFrames&) = delete;
    OwnFrames& operator=(const OwnFrames&) = delete;
    ~OwnFrames() {
        if (!key_) return;
        if (before_)
            RegSetValueExA(key_, kName, 0, REG_SZ, reinterpret_cast<const BYTE*>(before_->c_str()),
                           static_cast<DWORD>(before_->size() + 1));
        else
            RegDeleteValueA(key_, kName);
        RegCloseKey(key_);
    }

private:
    static constexpr const char* kName = "Decorated";
    HKEY key_ = nullptr;
    std::optional<std::string> before_;
};

// ---------------------------------------------------------------------------------------
// Windows of the saver.

struct Search {
    DWORD pid;
    std::function<bool(HWND)> match;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (WindowPid(hwnd) != search->pid || !IsWindowVisible(hwnd) || !search->match(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND FindTopLevel(DWORD pid, const std::function<bool(HWND)>& match) {
    Search search{pid, match, nullptr};
    EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsDialogBox(HWND hwnd, const char* title) { return ClassName(hwnd) == "#32770" && WindowText(hwnd) == title; }

// A started saver. One that outlives its scenario is terminated, so that a hung saver cannot
// keep ctest waiting.
class Saver {
public:
    Saver(const std::string& path, const char* args) {
        std::string commandLine = "\"" + path + "\"";
        if (*args) commandLine += std::string(" ") + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        process_ = pi.hProcess;
        thread_ = pi.hThread;
        pid_ = pi.dwProcessId;
        tid_ = pi.dwThreadId;
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;
    ~Saver() {
        if (Running()) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, kExitTimeoutMs);
        }
        if (thread_) CloseHandle(thread_);
        if (process_) CloseHandle(process_);
    }

    bool Started() const { return process_ != nullptr; }
    bool Running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
    DWORD ExitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return code;
    }
    DWORD Pid() const { return pid_; }

    // The focus of the saver's one GUI thread.
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(tid_, &info) ? info.hwndFocus : nullptr;
    }

    HWND FindBox(const char* title, HWND owner) const {
        return FindTopLevel(
            pid_, [&](HWND h) { return IsDialogBox(h, title) && (!owner || GetWindow(h, GW_OWNER) == owner); });
    }

    bool WaitForExit() const {
        return WaitFor(kExitTimeoutMs, [&] { return !Running(); });
    }

private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD pid_ = 0;
    DWORD tid_ = 0;
};

// ---------------------------------------------------------------------------------------
// What the screen shows of a window, read back through the screen's device context.

struct Flames {
    int red = 0;    // Wood's first ramp: red well above green and blue
    int green = 0;  // Kryptonite's first ramp
};

class ScreenPixels {
public:
    explicit ScreenPixels(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        width_ = r.right - r.left;
        height_ = r.bottom - r.top;
        if (width_ <= 0 || height_ <= 0) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap && bits) {
            const HGDIOBJ old = SelectObject(memory, bitmap);
            BitBlt(memory, 0, 0, width_, height_, screen, r.left, r.top, SRCCOPY);
            GdiFlush();
            const auto* p = static_cast<const uint32_t*>(bits);
            pixels_.assign(p, p + static_cast<size_t>(width_) * static_cast<size_t>(height_));
            SelectObject(memory, old);
        }
        if (bitmap) DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }

    Flames Count() const {
        Flames f;
        for (uint32_t v : pixels_) {
            const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
            if (r >= 64 && g < r / 2 && b < r / 2) ++f.red;
            if (g >= 64 && r < g / 2 && b < g / 2) ++f.green;
        }
        return f;
    }

    bool operator!=(const ScreenPixels& other) const { return pixels_ != other.pixels_; }
    bool Empty() const { return pixels_.empty(); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

// ---------------------------------------------------------------------------------------
// One run of the settings dialog.

// What the dialog's controls show; compared before and after the About box.
struct Shown {
    std::string width, speed;
    long fireType = -2, blank = -2, drawFly = -2, smooth = -2;
    bool editsEnabled = false;

    bool operator==(const Shown& o) const {
        return width == o.width && speed == o.speed && fireType == o.fireType && blank == o.blank &&
               drawFly == o.drawFly && smooth == o.smooth && editsEnabled == o.editsEnabled;
    }
    std::string Text() const {
        char text[160];
        std::snprintf(text, sizeof text, "width \"%s\" speed \"%s\" list %ld blank %ld firefly %ld smooth %ld edits %s",
                      width.c_str(), speed.c_str(), fireType, blank, drawFly, smooth,
                      editsEnabled ? "enabled" : "greyed");
        return text;
    }
};

class DialogRun {
public:
    DialogRun(const std::string& saverPath, const char* args)
        : args_(*args ? args : "(no argument)"), saver_(saverPath, args) {
        if (!CHECK(g_checks, saver_.Started(), "[%s] saver started (error %lu)", args_, saver_.Started() ? 0 : GetLastError()))
            return;
        const DWORD start = GetTickCount();
        WaitFor(kStartTimeoutMs, [&] {
            dialog_ = saver_.FindBox("Kindlewick", nullptr);
            return dialog_ || !saver_.Running();
        });
        CHECK(g_checks, dialog_ != nullptr, "[%s] the dialog \"Kindlewick\" opened (waited %lu ms; saver %s)", args_,
              GetTickCount() - start, saver_.Running() ? "running" : "ended");
        if (dialog_) WaitForForeground(dialog_);
    }

    bool Open() const { return dialog_ && IsWindow(dialog_); }
    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    const Saver& Process() const { return saver_; }
    const char* Args() const { return args_; }

    Shown Show() const {
        Shown s;
        s.width = WindowText(Item(kFlyWidth));
        s.speed = WindowText(Item(kFlySpeed));
        s.fireType = static_cast<long>(Ask(Item(kFireType), CB_GETCURSEL));
        s.blank = static_cast<long>(Ask(Item(kBlankScreen), BM_GETCHECK));
        s.drawFly = static_cast<long>(Ask(Item(kDrawFly), BM_GETCHECK));
        s.smooth = static_cast<long>(Ask(Item(kSmoothFire), BM_GETCHECK));
        s.editsEnabled = IsWindowEnabled(Item(kFlyWidth)) && IsWindowEnabled(Item(kFlySpeed));
        return s;
    }

    // Keys go to the foreground window; a new window of another process is not always there
    // at once, and a click on its title text brings it.
    bool WaitForForeground(HWND hwnd) const {
        if (WaitFor(kReactTimeoutMs / 3, [&] { return GetForegroundWindow() == hwnd; })) return true;
        RECT r{};
        GetWindowRect(hwnd, &r);
        ClickAt(POINT{(r.left + r.right) / 2, r.top + 4});
        return CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return GetForegroundWindow() == hwnd; }),
                     "[%s] window %s came to the foreground", args_, WindowText(hwnd).c_str());
    }

    // A check box's push button, clicked; true once its state is `want`.
    bool Toggle(int id, long want) const {
        Click(Item(id));
        return WaitFor(kReactTimeoutMs, [&] { return Ask(Item(id), BM_GETCHECK) == want; });
    }

    // Clicks into an edit field, empties it and types `text`.
    bool Enter(int id, const char* text) const {
        Click(Item(id));
        if (!WaitFor(kReactTimeoutMs, [&] { return saver_.Focus() == Item(id); })) return false;
        Press(VK_END);
        for (int i = 0; i < 8; ++i) Press(VK_BACK);
        Type(text);
        return WaitFor(kReactTimeoutMs, [&] { return WindowText(Item(id)) == text; });
    }

    // Opens the fire-type list with a click and clicks entry `index` in it.
    bool PickFromList(int index) const {
        const HWND combo = Item(kFireType);
        Click(combo);
        HWND list = nullptr;
        const bool dropped = WaitFor(kReactTimeoutMs, [&] {
            list = FindTopLevel(saver_.Pid(), [](HWND h) { return ClassName(h) == "ComboLBox"; });
            return list && Ask(combo, CB_GETDROPPEDSTATE) == TRUE;
        });
        if (!CHECK(g_checks, dropped, "[%s] a click on the list dropped it down", args_)) return false;
        const LRESULT itemHeight = Ask(list, LB_GETITEMHEIGHT, 0);
        const LRESULT top = Ask(list, LB_GETTOPINDEX);
        POINT p{4, static_cast<LONG>((index - top) * itemHeight + itemHeight / 2)};
        ClientToScreen(list, &p);
        ClickAt(p);
        return WaitFor(kReactTimeoutMs,
                       [&] { return Ask(combo, CB_GETCURSEL) == index && Ask(combo, CB_GETDROPPEDSTATE) == FALSE; });
    }

    // Where a click hits the close box: the middle of the caption's height, and across the
    // run of points for which the window itself answers HTCLOSE.
    std::optional<POINT> CloseBox() const {
        RECT r{};
        GetWindowRect(dialog_, &r);
        const LONG y = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        LONG first = -1, last = -1;
        for (LONG x = r.right - 1; x > r.left; --x) {
            if (Ask(dialog_, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                if (last < 0) last = x;
                first = x;
            } else if (last >= 0) {
                break;
            }
        }
        if (last < 0) return std::nullopt;
        return POINT{(first + last) / 2, y};
    }

    // The dialog went away and the saver ended as it does after a dialog: with exit code 0.
    void ExpectEnded(const char* how) const {
        const bool ended = saver_.WaitForExit();
        CHECK(g_checks, ended, "[%s] %s ended the dialog and the saver", args_, how);
        if (ended)
            CHECK(g_checks, saver_.ExitCode() == 0, "[%s] exit code 0x%08lx, want 0", args_, saver_.ExitCode());
    }

private:
    const char* args_;
    Saver saver_;
    HWND dialog_ = nullptr;
};

// ---------------------------------------------------------------------------------------
// Scenarios.

void ExpectStored(const Settings& settings, const std::map<std::string, long>& want, const char* what) {
    const auto got = settings.Read();
    CHECK(g_checks, got == want, "%s: stored %s, want %s", what, Describe(got).c_str(), Describe(want).c_str());
}

const std::map<std::string, long> kDefaultsStoredByOk = {{"BlankScreen", 0}, {"SmoothFire", 0}, {"FireType", 0},
                                                         {"DrawFly", 0},     {"FlyWidth", 4},   {"FlySpeed", 5}};

// The dialog opens in each way the host starts it, shows what nothing stored means, burns a
// fire in its preview, and Escape ends it with nothing stored.
void Opens(const std::string& saver) {
    const Settings settings(saver);
    for (const char* args : {"", "/c", "-C"}) {
        settings.Clear();
        DialogRun run(saver, args);
        if (!run.Open()) continue;

        const HWND preview = run.Item(kPreview);
        CHECK(g_checks, preview && ClassName(preview) == "Static" && GetParent(preview) == run.Dialog() &&
                  WindowPid(preview) == run.Process().Pid() && IsWindowVisible(preview),
              "[%s] the preview is the dialog's visible static control %d (class %s)", args, kPreview,
              preview ? ClassName(preview).c_str() : "none");

        const Shown shown = run.Show();
        const Shown want{"4", "5", 0, 0, 0, 0, false};
        CHECK(g_checks, shown == want, "[%s] with nothing stored the dialog shows %s", args, shown.Text().c_str());
        // Wine hands list text to another process as Unicode whichever call asks for it.
        wchar_t items[3][32] = {};
        const LRESULT count = Ask(run.Item(kFireType), CB_GETCOUNT);
        for (int i = 0; i < 3 && i < count; ++i)
            SendMessageTimeoutW(run.Item(kFireType), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(items[i]),
                                SMTO_ABORTIFHUNG, kReactTimeoutMs, nullptr);
        CHECK(g_checks, count == 3 && !wcscmp(items[0], L"Wood") && !wcscmp(items[1], L"Kryptonite") &&
                  !wcscmp(items[2], L"Natural Gas"),
              "[%s] the fire-type list holds %ld entries: \"%ls\" \"%ls\" \"%ls\"", args, static_cast<long>(count),
              items[0], items[1], items[2]);
        CHECK(g_checks, run.Process().Focus() == run.Item(kFireType), "[%s] the focus starts on the fire-type list", args);

        // The preview belongs to the saver's own window, so the screen shows what it draws.
        Flames flames;
        const bool burning = WaitFor(kReactTimeoutMs, [&] {
            flames = ScreenPixels(preview).Count();
            return flames.red >= 40;
        });
        CHECK(g_checks, burning, "[%s] the preview shows a wood fire (%d red flame pixels)", args, flames.red);
        const ScreenPixels before(preview);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return ScreenPixels(preview) != before; }),
              "[%s] the preview's pixels change on their own: the fire is animated", args);

        Press(VK_ESCAPE);
        run.ExpectEnded("Escape");
        ExpectStored(settings, {}, args);
    }
}

// Enter with nothing changed stores the six values the dialog showed; then a run that changes
// every control with the mouse and the keyboard stores what the user chose.
void OkStores(const std::string& saver) {
    const Settings settings(saver);
    settings.Clear();
    {
        DialogRun run(saver, "");
        if (run.Open()) {
            Press(VK_RETURN);
            run.ExpectEnded("Enter");
            ExpectStored(settings, kDefaultsStoredByOk, "Enter with nothing changed");
        }
    }
    settings.Clear();
    DialogRun run(saver, "/c");
    if (!run.Open()) return;
    CHECK(g_checks, run.Toggle(kBlankScreen, BST_CHECKED), "a click checks \"Blank Screen\"");
    CHECK(g_checks, run.Toggle(kSmoothFire, BST_CHECKED), "a click checks \"Smooth Fire\"");
    CHECK(g_checks, run.Toggle(kDrawFly, BST_CHECKED), "a click checks \"Draw firefly\"");
    CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return run.Show().editsEnabled; }), "\"Draw firefly\" enables both fields");
    CHECK(g_checks, run.PickFromList(2), "\"Natural Gas\" picked from the dropped-down list");
    CHECK(g_checks, run.Enter(kFlyWidth, "7"), "typed 7 into the width field");
    CHECK(g_checks, run.Enter(kFlySpeed, "12"), "typed 12 into the speed field");
    Click(run.Item(IDOK));
    run.ExpectEnded("a click on OK");
    ExpectStored(
        settings,
        {{"BlankScreen", 1}, {"SmoothFire", 1}, {"FireType", 2}, {"DrawFly", 1}, {"FlyWidth", 7}, {"FlySpeed", 12}},
        "OK after changes");
}

// Cancel, Escape and the close box end the dialog and leave the stored settings alone.
void CancelStoresNothing(const std::string& saver) {
    const Settings settings(saver);
    const std::map<std::string, long> stored = {{"FlyWidth", 6}};
    enum class Way { CancelButton, Escape, CloseBox };
    for (Way way : {Way::CancelButton, Way::Escape, Way::CloseBox}) {
        const char* how = way == Way::CancelButton ? "a click on Cancel"
                          : way == Way::Escape     ? "Escape"
                                                   : "the close box";
        settings.Clear();
        settings.Write("FlyWidth", 6);
        DialogRun run(saver, "/c");
        if (!run.Open()) continue;
        CHECK(g_checks, run.Toggle(kBlankScreen, BST_CHECKED), "[%s] a click checks \"Blank Screen\"", how);
        CHECK(g_checks, run.Toggle(kDrawFly, BST_CHECKED), "[%s] a click checks \"Draw firefly\"", how);
        CHECK(g_checks, run.Enter(kFlyWidth, "9"), "[%s] typed 9 into the width field", how);
        switch (way) {
            case Way::CancelButton:
                Click(run.Item(IDCANCEL));
                break;
            case Way::Escape:
                Press(VK_ESCAPE);
                break;
            case Way::CloseBox: {
                const std::optional<POINT> box = run.CloseBox();
                if (!CHECK(g_checks, box.has_value(), "[%s] the caption has a close box", how)) continue;
                ClickAt(*box);
                break;
            }
        }
        run.ExpectEnded(how);
        ExpectStored(settings, stored, how);
    }
}

// A width or speed outside its range, or not a number, refuses OK: a message names what is
// allowed, the dialog stays with the focus on the field, and nothing is stored.
void RefusesBadFields(const std::string& saver) {
    const Settings settings(saver);
    struct Case {
        int field;
        const char* typed;
        const char* wantInMessage;
    };
    const Case cases[] = {
        {kFlyWidth, "0", "between 1 and 10"},
        {kFlyWidth, "11", "between 1 and 10"},
        {kFlySpeed, "abc", "integer"},
    };
    for (const Case& c : cases) {
        char what[64];
        std::snprintf(what, sizeof what, "%s \"%s\"", c.field == kFlyWidth ? "width" : "speed", c.typed);
        settings.Clear();
        DialogRun run(saver, "/c");
        if (!run.Open()) continue;
        CHECK(g_checks, run.Toggle(kDrawFly, BST_CHECKED), "[%s] a click checks \"Draw firefly\"", what);
        CHECK(g_checks, run.Enter(c.field, c.typed), "[%s] typed into the field", what);
        Click(run.Item(IDOK));

        HWND box = nullptr;
        WaitFor(kReactTimeoutMs, [&] {
            box = FindTopLevel(run.Process().Pid(), [&](HWND h) {
                return h != run.Dialog() && ClassName(h) == "#32770" && GetWindow(h, GW_OWNER) == run.Dialog();
            });
            return box != nullptr;
        });
        if (!CHECK(g_checks, box != nullptr, "[%s] OK brought up a message box over the dialog", what)) continue;
        std::string message;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            if (ClassName(child) == "Static" && WindowText(child).size() > message.size()) message = WindowText(child);
        CHECK(g_checks, message.find(c.wantInMessage) != std::string::npos, "[%s] the message says \"%s\"", what,
              message.c_str());

        run.WaitForForeground(box);
        Press(VK_RETURN);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return !IsWindow(box); }), "[%s] Enter dismissed the message box", what);
        CHECK(g_checks, run.Open() && run.Process().Running(), "[%s] the dialog is still open", what);
        const HWND field = run.Item(c.field);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return run.Process().Focus() == field; }),
              "[%s] the focus is on the refused field", what);
        const LRESULT selection = Ask(field, EM_GETSEL);
        const size_t length = WindowText(field).size();
        CHECK(g_checks, LOWORD(selection) == 0 && HIWORD(selection) == length, "[%s] its text is selected (%u to %u of %u)", what,
              LOWORD(selection), HIWORD(selection), static_cast<unsigned>(length));
        ExpectStored(settings, {}, what);

        run.WaitForForeground(run.Dialog());
        Press(VK_ESCAPE);
        run.ExpectEnded("Escape");
        ExpectStored(settings, {}, what);
    }
}

// A stored fire type outside the list selects nothing, and OK stores -1.
void StoredTypeOutsideTheList(const std::string& saver) {
    const Settings settings(saver);
    settings.Clear();
    settings.Write("FireType", 7);
    DialogRun run(saver, "/c");
    if (!run.Open()) return;
    CHECK(g_checks, run.Show().fireType == -1, "a stored FireType of 7 leaves the list without a selection (%ld)",
          run.Show().fireType);
    Press(VK_RETURN);
    run.ExpectEnded("Enter");
    std::map<std::string, long> want = kDefaultsStoredByOk;
    want["FireType"] = -1;
    ExpectStored(settings, want, "OK with no list selection");
}

// The About button and the system-menu item open the same box, over the dialog, and closing
// it changes nothing.
void AboutBox(const std::string& saver) {
    const Settings settings(saver);
    settings.Clear();
    DialogRun run(saver, "/c");
    if (!run.Open()) return;
    CHECK(g_checks, run.Toggle(kSmoothFire, BST_CHECKED), "a click checks \"Smooth Fire\"");
    const Shown before = run.Show();

    struct Way {
        const char* what;
        std::function<void()> open;
        WORD closeKey;
    };
    const Way ways[] = {
        {"the About button", [&] { Click(run.Item(kAbout)); }, VK_RETURN},
        {"the system menu",
         [&] {
             run.WaitForForeground(run.Dialog());
             Chord(VK_MENU, VK_SPACE);
             const bool menu = WaitFor(kReactTimeoutMs, [&] {
                 return FindTopLevel(run.Process().Pid(), [](HWND h) { return ClassName(h) == "#32768"; }) != nullptr;
             });
             CHECK(g_checks, menu, "Alt+Space opened the system menu");
             // The item is the menu's last; Wine's own "About Wine" above it has the same mnemonic.
             Press(VK_UP);
             Press(VK_RETURN);
         },
         VK_ESCAPE},
    };
    for (const Way& way : ways) {
        way.open();
        HWND about = nullptr;
        const bool opened =
            WaitFor(kReactTimeoutMs, [&] { return (about = run.Process().FindBox("About Saver", run.Dialog())); });
        if (!CHECK(g_checks, opened, "%s opened \"About Saver\" over the dialog", way.what)) continue;
        CHECK(g_checks, !IsWindowEnabled(run.Dialog()), "[%s] the dialog waits while the About box is open", way.what);
        CHECK(g_checks, WindowText(GetDlgItem(about, IDOK)) == "OK", "[%s] the About box has its OK button", way.what);
        run.WaitForForeground(about);
        Press(way.closeKey);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return !IsWindow(about); }), "[%s] the About box closed", way.what);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return IsWindowEnabled(run.Dialog()); }),
              "[%s] the dialog takes input again", way.what);
        const Shown after = run.Show();
        CHECK(g_checks, after == before, "[%s] the dialog still shows %s", way.what, after.Text().c_str());
        ExpectStored(settings, {}, way.what);
    }
    run.WaitForForeground(run.Dialog());
    Press(VK_ESCAPE);
    run.ExpectEnded("Escape");
    ExpectStored(settings, {}, "after the About box");
}

// Blank Screen puts the preview's fire on black; the arrow key on the list picks "Kryptonite",
// and the preview burns green from then on.
void KryptoniteBurnsGreen(const std::string& saver) {
    const Settings settings(saver);
    settings.Clear();
    DialogRun run(saver, "/c");
    if (!run.Open()) return;
    const HWND preview = run.Item(kPreview);
    CHECK(g_checks, run.Toggle(kBlankScreen, BST_CHECKED), "a click checks \"Blank Screen\"");
    Flames flames;
    CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return (flames = ScreenPixels(preview).Count()).red >= 40; }),
          "the preview burns red over black (%d red, %d green flame pixels)", flames.red, flames.green);

    Click(run.Item(kFireType));  // drops the list down; the focus is on it
    CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return Ask(run.Item(kFireType), CB_GETDROPPEDSTATE) == TRUE; }),
          "a click dropped the list down");
    Press(VK_DOWN);
    Press(VK_RETURN);
    CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return Ask(run.Item(kFireType), CB_GETCURSEL) == 1; }),
          "Down and Enter picked \"Kryptonite\"");
    const bool green = WaitFor(kReactTimeoutMs, [&] {
        flames = ScreenPixels(preview).Count();
        return flames.green >= 40 && flames.red == 0;
    });
    CHECK(g_checks, green, "the preview burns green and no longer red (%d green, %d red flame pixels)", flames.green, flames.red);
    CHECK(g_checks, run.Open(), "Enter in the dropped-down list did not end the dialog");
    run.WaitForForeground(run.Dialog());
    Press(VK_ESCAPE);
    run.ExpectEnded("Escape");
    ExpectStored(settings, {}, "after the preview changes");
}

// The Screen Saver settings' window, played in a thread of its own: the saver's dialog, which
// it owns, sends it messages (enabling and activation) that must be answered while the
// scenario waits.
class HostThread {
public:
    explicit HostThread(RECT place = RECT{60, 60, 480, 520}) : place_(place) {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, Run, this, 0, &tid_);
        if (thread_) WaitForSingleObject(ready_, kStartTimeoutMs);
    }
    HostThread(const HostThread&) = delete;
    HostThread& operator=(const HostThread&) = delete;
    ~HostThread() {
        if (thread_) {
            PostThreadMessageA(tid_, WM_QUIT, 0, 0);
            WaitForSingleObject(thread_, kExitTimeoutMs);
            CloseHandle(thread_);
        }
        if (ready_) CloseHandle(ready_);
    }

    HWND Window() const { return hwnd_; }

private:
    static DWORD WINAPI Run(LPVOID param) {
        auto* self = static_cast<HostThread*>(param);
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "KindlewickSettingsHost";
        RegisterClassA(&wc);
        const RECT& r = self->place_;
        self->hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Screen Saver Settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                                      wc.hInstance, nullptr);
        SetEvent(self->ready_);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (self->hwnd_) DestroyWindow(self->hwnd_);
        UnregisterClassA(wc.lpszClassName, wc.hInstance);
        return 0;
    }

    RECT place_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD tid_ = 0;
    HWND hwnd_ = nullptr;
};

// From Windows XP on, the Settings button starts the saver with "/c:HANDLE" of the settings
// window: the dialog opens owned by that window, which waits for it, and Cancel ends the saver
// storing nothing. A handle that names no window still opens the dialog, on its own.
void OwnedByHost(const std::string& saver) {
    const Settings settings(saver);
    const std::map<std::string, long> stored = {{"FlyWidth", 6}};
    {
        settings.Clear();
        settings.Write("FlyWidth", 6);
        const HostThread host;
        if (!CHECK(g_checks, host.Window() != nullptr, "the settings window of the host is up")) return;
        char args[32];
        std::snprintf(args, sizeof args, "/c:%lu",
                      static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host.Window())));
        DialogRun run(saver, args);
        if (run.Open()) {
            const HWND owner = GetWindow(run.Dialog(), GW_OWNER);
            CHECK(g_checks, owner == host.Window(), "[%s] the dialog is owned by the host's window (owner %lu)", args,
                  static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(owner)));
            CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return !IsWindowEnabled(host.Window()); }),
                  "[%s] the host's window waits while the dialog is open", args);
            CHECK(g_checks, run.Toggle(kBlankScreen, BST_CHECKED), "[%s] a click checks \"Blank Screen\"", args);
            Click(run.Item(IDCANCEL));
            run.ExpectEnded("a click on Cancel");
            ExpectStored(settings, stored, args);
            CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return IsWindowEnabled(host.Window()) != FALSE; }),
                  "[%s] the host's window takes input again", args);
        }
    }

    const char* const gone = "/c:12345678";
    CHECK(g_checks, !IsWindow(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(12345678))), "no window has the handle 12345678");
    DialogRun run(saver, gone);
    if (!run.Open()) return;
    CHECK(g_checks, GetWindow(run.Dialog(), GW_OWNER) == nullptr, "[%s] the dialog has no owner", gone);
    Press(VK_ESCAPE);
    run.ExpectEnded("Escape");
    ExpectStored(settings, stored, gone);
}

std::string Text(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld %ldx%ld", static_cast<long>(r.left), static_cast<long>(r.top),
                  static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    return text;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

BOOL CALLBACK AddSecondary(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        *reinterpret_cast<RECT*>(found) = info.rcWork;
    return TRUE;
}

// With the host's settings window on a monitor beside the primary, the dialog opens on that
// monitor, and the About box over it too, each inside the work area of that monitor. Driven
// by messages: clicks are placed on the primary's coordinates only.
void OnTheOwnersMonitor(const std::string& saver) {
    RECT work{};
    EnumDisplayMonitors(nullptr, nullptr, AddSecondary, reinterpret_cast<LPARAM>(&work));
    if (!CHECK(g_checks, !IsRectEmpty(&work), "a monitor besides the primary, work area %s", Text(work).c_str())) return;
    Settings(saver).Clear();
    const HostThread host(RECT{work.left + 40, work.top + 40, work.left + 460, work.top + 500});
    if (!CHECK(g_checks, host.Window() != nullptr, "the settings window of the host is up")) return;
    RECT owner{};
    GetWindowRect(host.Window(), &owner);
    char args[32];
    std::snprintf(args, sizeof args, "/c:%lu", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(host.Window())));
    DialogRun run(saver, args);
    if (!run.Open()) return;
    RECT dialog{};
    GetWindowRect(run.Dialog(), &dialog);
    CHECK(g_checks, Inside(dialog, work), "[%s] the dialog at %s lies inside the work area %s of its owner's monitor (owner at %s)",
          args, Text(dialog).c_str(), Text(work).c_str(), Text(owner).c_str());

    PostMessageA(run.Item(kAbout), BM_CLICK, 0, 0);
    HWND about = nullptr;
    if (CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return (about = run.Process().FindBox("About Saver", run.Dialog())); }),
              "[%s] the About button opened \"About Saver\"", args)) {
        RECT box{};
        GetWindowRect(about, &box);
        CHECK(g_checks, Inside(box, work), "[%s] the About box at %s lies inside the same work area", args, Text(box).c_str());
        PostMessageA(about, WM_COMMAND, IDOK, 0);
        CHECK(g_checks, WaitFor(kReactTimeoutMs, [&] { return !IsWindow(about); }), "[%s] the About box closed", args);
    }
    PostMessageA(run.Dialog(), WM_COMMAND, IDCANCEL, 0);
    run.ExpectEnded("Cancel");
}

}  // namespace

int main(int argc, char** argv) {
    // Inherited by the saver: a crash ends it with its status instead of an error box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const std::map<std::string, void (*)(const std::string&)> scenarios = {
        {"opens", Opens},
        {"ok", OkStores},
        {"cancel", CancelStoresNothing},
        {"refuse", RefusesBadFields},
        {"stored-type", StoredTypeOutsideTheList},
        {"about", AboutBox},
        {"kryptonite", KryptoniteBurnsGreen},
        {"owned", OwnedByHost},
        {"owners-monitor", OnTheOwnersMonitor},
    };
    const auto scenario = argc == 3 ? scenarios.find(argv[1]) : scenarios.end();
    if (scenario == scenarios.end()) {
        std::fprintf(stderr, "usage: dialog_driver SCENARIO SAVER.scr\nscenarios:");
        for (const auto& s : scenarios) std::fprintf(stderr, " %s", s.first.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    if (!CHECK(g_checks, GetFileAttributesA(argv[2]) != INVALID_FILE_ATTRIBUTES, "saver file %s exists", argv[2]))
        return g_checks.Finish();
    {
        const OwnFrames frames(argv[2]);
        scenario->second(argv[2]);
    }
    Settings(argv[2]).Clear();
    return g_checks.Finish();
}
