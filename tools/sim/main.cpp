// kindlewick-sim: one fire window's engine, built and started as the window does it,
// driven by timer ticks, with its state and its picture written to files.
#include <ctime>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"
#include "Dump.h"
#include "Encoders.h"
#include "MemoryPlatform.h"
#include "Options.h"

namespace {
constexpr const char* kProgram = "kindlewick-sim";

// The picture in the window, kept up to date from what the engine asked the platform to draw:
// palette indices, or over a --desktop picture the full colours of a screen without a palette.
template <class Pixel>
class Window {
public:
    static constexpr bool kFullColour = sizeof(Pixel) > 1;

    Window(const SimOptions& o, const FireState& engine, const MemoryPlatform& platform)
        : m_canvas(o.fullScreen ? platform.screen().Bounds().cx : engine.m_cxFire,
                   o.fullScreen ? platform.screen().Bounds().cy : engine.m_cyFire) {
        // The full-screen window is never erased, so the desktop shows until something covers
        // it. It covers the monitors' bounds from their top-left corner.
        const FirePoint origin = platform.screen().Origin();
        if (o.fullScreen)
            for (int32_t y = 0; y < m_canvas.height(); ++y)
                for (int32_t x = 0; x < m_canvas.width(); ++x) {
                    const int32_t sx = origin.x + x, sy = origin.y + y;
                    m_canvas.Set(x, y, kFullColour ? Pixel(platform.DesktopPixel(sx, sy))
                                                   : Pixel(PatternPixel(platform.screen(), sx, sy)));
                }
    }

    BasicCanvas<Pixel>& canvas() { return m_canvas; }

    // A tick paints the window black before anything else, then draws either a firefly step
    // or the output buffer, so replaying the records in this order keeps the tick's order.
    void Show(const MemoryPlatform& platform, const FireState& engine) {
        if (platform.blanks != m_blanksSeen) {
            m_canvas.Fill(0);
            m_blanksSeen = platform.blanks;
        }
        for (const MemoryPlatform::FlyCall& call : platform.flyCalls) {
            const Pixel dark = Pen(engine.m_rgbPalette, call.dark), glow = Pen(engine.m_rgbPalette, call.glow);
            for (const FlyStroke& s : call.strokes) m_canvas.Line(s.from, s.to, call.penWidth, s.glow ? glow : dark);
        }
        for (const FirePoint& at : platform.presents) {
            if constexpr (kFullColour) {
                const int32_t scale = engine.m_nScale;
                const std::vector<uint32_t> box = platform.ShowBox(scale);
                m_canvas.Put(at, FireSize{engine.m_cxFire * scale, engine.m_cyFire * scale}, box.data());
            } else {
                m_canvas.PutBottomUp(at, engine.FireBox(), engine.m_pOutBits, engine.Stride());
            }
        }
    }

private:
    static Pixel Pen(const ColourTable& table, Colour c) {
        if constexpr (kFullColour)
            return Pixel((c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF));
        else
            return NearestIndex(table, c);
    }

    BasicCanvas<Pixel> m_canvas;
    int m_blanksSeen = 0;
};

int Fail(const std::string& error) {
    std::cerr << kProgram << ": " << error << '\n';
    return 1;
}

// Delivers the ticks; after each, `shown` replays what the engine drew (false: a failure).
bool RunTicks(const SimOptions& o, FireRig& rig, int64_t& ignitions, const std::function<bool()>& shown) {
    const FireState& state = rig.engine.State();
    for (int32_t tick = 0; tick < o.ticks; ++tick) {
        const bool burning = state.m_bBurning == 1 && !state.m_bFinished;
        rig.engine.Tick();
        // Only a fire that Burn finished is replaced on its tick, starting again at frame 0.
        if (burning && state.m_nFrame == 0) ++ignitions;
        if (!shown()) return false;
        // The records have been replayed; dropping them keeps long runs flat in memory.
        rig.platform.flyCalls.clear();
        rig.platform.presents.clear();
        rig.platform.captures.clear();
    }
    return true;
}

int Run(const SimOptions& o, DesktopPicture desktop) {
    MemorySettingsStore store;
    for (std::size_t n = 0; n < kSettingCount; ++n)
        if (o.stored[n])
            store.values[std::string(kSettingsSection) + "\\" + SettingName(SettingId(n))] = *o.stored[n];

    // Construction, the mode's start-up reads, then the restart sequence, as the window runs them.
    const MonitorLayout screen = Layout(o);
    FireRig rig(screen, store, o.seed ? *o.seed : uint32_t(std::time(nullptr)));
    if (!desktop.pixels.empty()) rig.platform.SetDesktop(std::move(desktop));
    FireEngine& engine = rig.engine;
    const FireState& state = engine.State();
    if (o.fullScreen) engine.SetFullScreen();
    engine.ReadSettings(o.fullScreen ? kFullScreenReads : kPreviewReads, store);
    const FireSize client = o.fullScreen ? FireSize{screen.Bounds().cx, screen.Bounds().cy} : o.window;
    rig.Restart(client.cx, client.cy);
    // Ignite lights nothing without surfaces (a window too large to get any).
    int64_t ignitions = engine.Ready() ? 1 : 0;

    std::string error;
    const bool picture = !o.gifPath.empty() || !o.pngPath.empty();
    if (!o.desktopPath.empty()) {
        std::optional<Window<uint32_t>> window;
        if (picture) window.emplace(o, state, rig.platform);
        RunTicks(o, rig, ignitions, [&] {
            if (window) window->Show(rig.platform, state);
            return true;
        });
        if (!o.pngPath.empty() && !WritePng(o.pngPath, window->canvas(), error)) return Fail(error);
    } else {
        std::optional<Window<uint8_t>> window;
        if (picture) window.emplace(o, state, rig.platform);
        GifAnimation gif;
        if (!o.gifPath.empty() && !gif.Open(o.gifPath, window->canvas(), state.m_rgbPalette, error)) return Fail(error);
        const bool ran = RunTicks(o, rig, ignitions, [&] {
            if (window) window->Show(rig.platform, state);
            return o.gifPath.empty() || gif.AddFrame(window->canvas(), error);
        });
        if (!ran) return Fail(error);
        // Without ticks the animation still gets one picture: the window as it was started.
        if (!o.gifPath.empty() && o.ticks == 0 && !gif.AddFrame(window->canvas(), error)) return Fail(error);
        if (!o.gifPath.empty() && !gif.Close(error)) return Fail(error);
        if (!o.pngPath.empty() && !WritePng(o.pngPath, window->canvas(), state.m_rgbPalette, error)) return Fail(error);
    }
    if (!o.dumpDir.empty() && !WriteDump(o.dumpDir, state, ignitions, error)) return Fail(error);
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    const ParsedOptions parsed = ParseOptions(argc, argv);
    if (!parsed.error.empty()) {
        std::cerr << kProgram << ": " << parsed.error << '\n';
        return 2;
    }
    if (parsed.options.help) {
        std::cout << Usage();
        return 0;
    }
    SimOptions options = parsed.options;
    DesktopPicture desktop;
    std::string error;
    if (!options.desktopPath.empty()) {
        if (!ReadPng(options.desktopPath, desktop.size, desktop.pixels, error)) return Fail(error);
        if (!options.screenGiven && options.monitors.empty()) options.screen = desktop.size;
    }
    const std::string limit = SizeLimitError(options);
    if (!limit.empty()) return Fail(limit);
    return Run(options, std::move(desktop));
}
