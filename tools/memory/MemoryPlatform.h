#pragma once
// The fire engine's platform in memory: a made-up screen, three byte surfaces, and a
// record of what the engine asked for. Used by the unit tests, the simulator and the
// benchmark.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "FireEngine.h"
#include "Settings.h"

// The simulated screen: (7x + 13y) mod 256 on a monitor, 0 outside every monitor.
uint8_t PatternPixel(const MonitorLayout& screen, int32_t x, int32_t y);

class MemoryPlatform : public FirePlatform {
public:
    explicit MemoryPlatform(MonitorLayout screen) : m_screen(std::move(screen)) {}

    // The palette half of a restart: the colour table, then the palette object.
    void BuildPalette(FireEngine& engine, int32_t fireType);
    // The surface half: sizes from the engine's rules, then three zeroed buffers.
    void CreateSurfaces(FireEngine& engine, int32_t clientWidth, int32_t clientHeight);

    MonitorLayout Monitors() override;
    void CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) override;
    void FillBlack(FireSize size) override;
    void BlankWindow() override;
    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                 std::size_t count) override;
    void PresentOutput(FirePoint at, FireSize size, int32_t scale) override;
    bool HasPalette() const override { return m_hasPalette; }

    const MonitorLayout& screen() const { return m_screen; }
    // Monitors that come and go while the engine runs.
    void SetScreen(MonitorLayout screen) { m_screen = std::move(screen); }
    int32_t stride() const { return m_stride; }

    std::vector<uint8_t> back, heat, out;
    bool m_hasPalette = false;
    // What the engine asked of the platform, in order.
    struct FlyCall {
        int32_t penWidth;
        Colour dark;
        Colour glow;
        std::vector<FlyStroke> strokes;
    };
    std::vector<FlyCall> flyCalls;
    std::vector<FirePoint> captures;
    std::vector<FirePoint> presents;
    int fills = 0;
    int blanks = 0;
    int screenQueries = 0;

private:
    MonitorLayout m_screen;
    int32_t m_stride = 0;
};

// A settings store in memory that records the order of its reads and writes.
class MemorySettingsStore : public SettingsStore {
public:
    int32_t GetInt(const char* section, const char* name, int32_t fallback) override;
    bool WriteInt(const char* section, const char* name, int32_t value) override;

    std::map<std::string, int32_t> values;  // "Section\\Name"
    std::vector<std::string> reads;
    std::vector<std::string> writes;
};

// One fire window's engine built as the window builds it: constructed with the
// constructor's reads, then (by the caller) the mode's reads, then Restart.
struct FireRig final : private FireRestartHost {
    FireRig(FireSize screen, SettingsStore& store, uint32_t seed) : FireRig(MonitorLayout(screen), store, seed) {}
    FireRig(const MonitorLayout& screen, SettingsStore& store, uint32_t seed);
    // The plain part of the restart sequence: palette, surfaces, first fire.
    void Restart(int32_t clientWidth, int32_t clientHeight);

    MemoryPlatform platform;
    MsvcRandom random;
    FireEngine engine;

private:
    void BuildPalette(int32_t nFireType) override;
    void CreateSurfaces() override;

    FireSize m_client{0, 0};
};
