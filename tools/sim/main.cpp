// kindlewick-sim: one fire window's engine, built and started as the window does it,
// driven by timer ticks, with its state and its picture written to files.
#include <ctime>
#include <iostream>
#include <optional>
#include <string>

#include "Canvas.h"
#include "Dump.h"
#include "Encoders.h"
#include "MemoryPlatform.h"
#include "Options.h"

namespace {
constexpr const char* kProgram = "kindlewick-sim";

// The picture in the window, kept up to date from what the engine asked the platform to draw.
class Window {
public:
    Window(const SimOptions& o, const FireState& engine, const MonitorLayout& screen)
        : m_canvas(o.fullScreen ? screen.Bounds().cx : engine.m_cxFire,
                   o.fullScreen ? screen.Bounds().cy : engine.m_cyFire) {
        // The full-screen window is never erased, so the desktop shows until something covers
        // it. It covers the monitors' bounds from their top-left corner.
        const FirePoint origin = screen.Origin();
        if (o.fullScreen)
            for (int32_t y = 0; y < m_canvas.height(); ++y)
                for (int32_t x = 0; x < m_canvas.width(); ++x)
                    m_canvas.Set(x, y, PatternPixel(screen, origin.x + x, origin.y + y));
    }

    Canvas& canvas() { return m_canvas; }

    // A tick paints the window black before anything else, then draws either a firefly step
    // or the output buffer, so replaying the records in this order keeps the tick's order.
    void Show(const MemoryPlatform& platform, const FireState& engine) {
        if (platform.blanks != m_blanksSeen) {
            m_canvas.Fill(0);
            m_blanksSeen = platform.blanks;
        }
        for (const MemoryPlatform::FlyCall& call : platform.flyCalls) {
            const uint8_t dark = NearestIndex(engine.m_rgbPalette, call.dark);
            const uint8_t glow = NearestIndex(engine.m_rgbPalette, call.glow);
            for (const FlyStroke& s : call.strokes) m_canvas.Line(s.from, s.to, call.penWidth, s.glow ? glow : dark);
        }
        for (const FirePoint& at : platform.presents)
            m_canvas.PutBottomUp(at, engine.FireBox(), engine.m_pOutBits, engine.Stride());
    }

private:
    Canvas m_canvas;
    int m_blanksSeen = 0;
};

int Fail(const std::string& error) {
    std::cerr << kProgram << ": " << error << '\n';
    return 1;
}

int Run(const SimOptions& o) {
    MemorySettingsStore store;
    for (std::size_t n = 0; n < kSettingCount; ++n)
        if (o.stored[n])
            store.values[std::string(kSettingsSection) + "\\" + SettingName(SettingId(n))] = *o.stored[n];

    // Construction, the mode's start-up reads, then the restart sequence, as the window runs them.
    const MonitorLayout screen = Layout(o);
    FireRig rig(screen, store, o.seed ? *o.seed : uint32_t(std::time(nullptr)));
    FireEngine& engine = rig.engine;
    const FireState& state = engine.State();
    if (o.fullScreen) engine.SetFullScreen();
    engine.ReadSettings(o.fullScreen ? kFullScreenReads : kPreviewReads, store);
    const FireSize client = o.fullScreen ? FireSize{screen.Bounds().cx, screen.Bounds().cy} : o.window;
    rig.Restart(client.cx, client.cy);
    // Ignite lights nothing without surfaces (a window too large to get any).
    int64_t ignitions = engine.Ready() ? 1 : 0;

    std::string error;
    std::optional<Window> window;
    if (!o.gifPath.empty() || !o.pngPath.empty()) window.emplace(o, state, screen);
    GifAnimation gif;
    if (!o.gifPath.empty() && !gif.Open(o.gifPath, window->canvas(), state.m_rgbPalette, error)) return Fail(error);

    for (int32_t tick = 0; tick < o.ticks; ++tick) {
        const bool burning = state.m_bBurning == 1 && !state.m_bFinished;
        engine.Tick();
        // Only a fire that Burn finished is replaced on its tick, starting again at frame 0.
        if (burning && state.m_nFrame == 0) ++ignitions;
        if (window) window->Show(rig.platform, state);
        if (!o.gifPath.empty() && !gif.AddFrame(window->canvas(), error)) return Fail(error);
        // The records have been replayed; dropping them keeps long runs flat in memory.
        rig.platform.flyCalls.clear();
        rig.platform.presents.clear();
        rig.platform.captures.clear();
    }
    // Without ticks the animation still gets one picture: the window as it was started.
    if (!o.gifPath.empty() && o.ticks == 0 && !gif.AddFrame(window->canvas(), error)) return Fail(error);
    if (!o.gifPath.empty() && !gif.Close(error)) return Fail(error);
    if (!o.pngPath.empty() && !WritePng(o.pngPath, window->canvas(), state.m_rgbPalette, error)) return Fail(error);
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
    const std::string limit = SizeLimitError(parsed.options);
    if (!limit.empty()) return Fail(limit);
    return Run(parsed.options);
}
