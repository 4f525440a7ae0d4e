#include "MemoryPlatform.h"

#include <algorithm>

uint8_t PatternPixel(const MonitorLayout& screen, int32_t x, int32_t y) {
    for (const MonitorRect& m : screen.Monitors())
        if (x >= m.x && y >= m.y && int64_t(x) < int64_t(m.x) + m.cx && int64_t(y) < int64_t(m.y) + m.cy)
            return uint8_t(((7 * int64_t(x) + 13 * int64_t(y)) % 256 + 256) % 256);
    return 0;
}

MonitorLayout MemoryPlatform::Monitors() {
    ++screenQueries;
    return m_screen;
}

void MemoryPlatform::CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) {
    captures.push_back(topLeft);
    // The top screen row of the block lands in the highest buffer row.
    for (auto* buffer : {&back, &out})
        for (int32_t r = 0; r < size.cy; ++r)
            for (int32_t c = 0; c < size.cx; ++c)
                (*buffer)[std::size_t(r) * stride() + c] =
                    PatternPixel(m_screen, topLeft.x + c * scale, topLeft.y + (size.cy - 1 - r) * scale);
}

void MemoryPlatform::FillBlack(FireSize size) {
    ++fills;
    for (auto* buffer : {&back, &out})
        for (int32_t r = 0; r < size.cy; ++r)
            std::fill_n(buffer->begin() + std::ptrdiff_t(r) * stride(), size.cx, uint8_t(0));
}

void MemoryPlatform::BlankWindow() { ++blanks; }

void MemoryPlatform::DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes,
                             std::size_t count) {
    flyCalls.push_back(FlyCall{penWidth, dark, glow, std::vector<FlyStroke>(strokes, strokes + count)});
}

void MemoryPlatform::PresentOutput(FirePoint at, FireSize, int32_t, const FireBand&) { presents.push_back(at); }

int32_t MemorySettingsStore::GetInt(const char* section, const char* name, int32_t fallback) {
    const std::string key = std::string(section) + "\\" + name;
    reads.push_back(key);
    const auto found = values.find(key);
    return found == values.end() ? fallback : found->second;
}

bool MemorySettingsStore::WriteInt(const char* section, const char* name, int32_t value) {
    const std::string key = std::string(section) + "\\" + name;
    writes.push_back(key);
    values[key] = value;
    return true;
}

namespace {
SettingValues ConstructorReads(SettingsStore& store) {
    SettingValues values;
    ReadSettings(kFireWndReads, store, values);
    return values;
}
}  // namespace

FireRig::FireRig(const MonitorLayout& screen, SettingsStore& store, uint32_t seed)
    : platform(screen), random(seed), engine(platform, random, ConstructorReads(store), screen) {}
