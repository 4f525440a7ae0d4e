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

void MemoryPlatform::SetDesktop(DesktopPicture desktop) { m_desktop = std::move(desktop); }

uint32_t MemoryPlatform::DesktopPixel(int32_t x, int32_t y) const {
    const MonitorRect bounds = m_screen.Bounds();
    const int64_t px = int64_t(x) - bounds.x, py = int64_t(y) - bounds.y;
    if (px < 0 || py < 0 || px >= m_desktop.size.cx || py >= m_desktop.size.cy) return 0;
    for (const MonitorRect& m : m_screen.Monitors())
        if (x >= m.x && y >= m.y && int64_t(x) < int64_t(m.x) + m.cx && int64_t(y) < int64_t(m.y) + m.cy)
            return m_desktop.pixels[std::size_t(py) * std::size_t(m_desktop.size.cx) + std::size_t(px)];
    return 0;
}

bool MemoryPlatform::UseColours(const ColourTable& colours) {
    for (std::size_t i = 0; i < colours.size(); ++i)
        m_colours[i] = uint32_t(colours[i].red) << 16 | uint32_t(colours[i].green) << 8 | colours[i].blue;
    if (!m_desktop.pixels.empty()) m_nearest = std::make_unique<NearestColour>(colours);
    return showsColours;
}

void MemoryPlatform::CaptureScreen(FirePoint topLeft, FireSize size, int32_t scale) {
    captures.push_back(topLeft);
    uint32_t* kept = m_nearest ? MakeCapture(scale) : nullptr;
    if (!kept) DropCapture();
    const int64_t width = int64_t(size.cx) * scale;
    for (int32_t r = 0; r < size.cy; ++r)
        for (int32_t c = 0; c < size.cx; ++c) {
            // The top screen row of the block lands in the highest buffer row.
            const int32_t x = topLeft.x + c * scale, y = topLeft.y + (size.cy - 1 - r) * scale;
            uint8_t index = PatternPixel(m_screen, x, y);
            if (kept) {
                // One pixel of each block gives the index, as a stretch that picks pixels does.
                const uint32_t p = DesktopPixel(x, y);
                index = m_nearest->Index(uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p));
                for (int32_t dy = 0; dy < scale; ++dy)
                    for (int32_t dx = 0; dx < scale; ++dx)
                        kept[(int64_t(size.cy - 1 - r) * scale + dy) * width + int64_t(c) * scale + dx] =
                            PackCaptured(DesktopPixel(x + dx, y + dy), index);
            }
            back[std::size_t(r) * stride() + c] = out[std::size_t(r) * stride() + c] = index;
        }
}

std::vector<uint32_t> MemoryPlatform::ShowBox(int32_t scale) const {
    const FireSize size = box();
    std::vector<uint32_t> shown(std::size_t(size.cx) * std::size_t(size.cy) * std::size_t(scale) * std::size_t(scale));
    if (!shown.empty())
        ComposeBand(Pixels(scale), FireBand::Whole(size), m_colours, 0, shown.data(), int64_t(size.cx) * scale);
    return shown;
}

void MemoryPlatform::FillBlack(FireSize size) {
    ++fills;
    DropCapture();
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
