#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FireTestSupport.h"

namespace {

// Two screens side by side: one gets only the bands the engine presents, the other the
// whole box on every present. Blanks and firefly lines go to both, as on a real window.
class TwoScreens final : public MemoryPlatform {
public:
    TwoScreens(const MonitorLayout& screen, FireSize window)
        : MemoryPlatform(screen), m_window(window), banded(Pixels()), whole(Pixels()) {}

    void PresentOutput(FirePoint at, FireSize size, int32_t scale, const FireBand& band) override {
        MemoryPlatform::PresentOutput(at, size, scale, band);
        EXPECT_FALSE(band.Empty());
        EXPECT_TRUE(band.firstRow >= 0 && band.firstColumn >= 0 && band.firstRow + band.rowCount <= size.cy &&
                    band.firstColumn + band.columnCount <= size.cx)
            << "band rows " << band.firstRow << "+" << band.rowCount << " columns " << band.firstColumn << "+"
            << band.columnCount << " of " << size.cx << "x" << size.cy;
        Put(banded, at, size, scale, band);
        Put(whole, at, size, scale, FireBand::Whole(size));
    }
    void BlankWindow() override {
        MemoryPlatform::BlankWindow();
        std::fill(banded.begin(), banded.end(), uint8_t(0));
        std::fill(whole.begin(), whole.end(), uint8_t(0));
    }
    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes, std::size_t count) override {
        MemoryPlatform::DrawFly(penWidth, dark, glow, strokes, count);
        for (std::size_t n = 0; n < count; ++n) {
            const FlyStroke& s = strokes[n];
            const int32_t steps = std::max(std::abs(s.to.x - s.from.x), std::abs(s.to.y - s.from.y));
            for (int32_t i = 0; i <= steps; ++i) {
                const int32_t x = s.from.x + (steps ? (s.to.x - s.from.x) * i / steps : 0);
                const int32_t y = s.from.y + (steps ? (s.to.y - s.from.y) * i / steps : 0);
                const uint8_t ink = s.glow ? 254 : 1;
                SetPixel(banded, x, y, ink);
                SetPixel(whole, x, y, ink);
            }
        }
    }

    // The first pixel where the screens differ, as "x,y", or empty.
    std::string Difference() const {
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (banded[i] != whole[i])
                return std::to_string(i % std::size_t(m_window.cx)) + "," + std::to_string(i / std::size_t(m_window.cx));
        return {};
    }

private:
    std::vector<uint8_t> Pixels() const { return std::vector<uint8_t>(std::size_t(m_window.cx) * m_window.cy, 0); }
    void SetPixel(std::vector<uint8_t>& screen, int32_t x, int32_t y, uint8_t v) const {
        if (x >= 0 && y >= 0 && x < m_window.cx && y < m_window.cy) screen[std::size_t(y) * m_window.cx + x] = v;
    }
    void Put(std::vector<uint8_t>& screen, FirePoint at, FireSize size, int32_t scale, const FireBand& band) const {
        for (int32_t r = band.firstRow; r < band.firstRow + band.rowCount; ++r)
            for (int32_t c = band.firstColumn; c < band.firstColumn + band.columnCount; ++c)
                for (int32_t dy = 0; dy < scale; ++dy)
                    for (int32_t dx = 0; dx < scale; ++dx)
                        SetPixel(screen, at.x + c * scale + dx, at.y + (size.cy - 1 - r) * scale + dy,
                                 out[std::size_t(r) * stride() + c]);
    }

    FireSize m_window;

public:
    std::vector<uint8_t> banded, whole;
};

TEST(PresentBand, ShowsTheSameScreenAsPresentingTheWholeBoxEveryTick) {
    struct Case {
        const char* what;
        MonitorLayout screen;
        FireSize client;  // the preview's; empty for the full-screen saver
        bool firefly;
        int32_t blank;
    };
    const Case cases[] = {
        {"preview, flames past both row ends", FireSize{640, 480}, FireSize{160, 120}, false, 0},
        {"preview with padded rows", FireSize{640, 480}, FireSize{161, 90}, false, 0},
        {"wide preview, flames inside the rows", FireSize{640, 480}, FireSize{400, 50}, false, 1},
        {"full screen", FireSize{640, 480}, FireSize{0, 0}, false, 0},
        {"full screen with the firefly", FireSize{640, 480}, FireSize{0, 0}, true, 0},
        {"full screen at scale 2", MonitorLayout({MonitorRect{0, 0, 640, 480, 2}}), FireSize{0, 0}, false, 1},
        {"full screen at scale 2 with the firefly", MonitorLayout({MonitorRect{0, 0, 640, 480, 2}}), FireSize{0, 0},
         true, 0},
    };
    for (const Case& c : cases) {
        const bool fullScreen = c.client.cx == 0;
        const MonitorRect bounds = c.screen.Bounds();
        const FireSize window = fullScreen ? FireSize{bounds.cx, bounds.cy} : c.client;
        SettingValues settings = Defaults();
        settings[SettingId::DrawFly] = c.firefly ? 1 : 0;
        settings[SettingId::FlySpeed] = 40;
        settings[SettingId::BlankScreen] = c.blank;
        TwoScreens platform(c.screen, window);
        MsvcRandom random(20261209);
        FireEngine engine(platform, random, settings, c.screen);
        if (fullScreen) engine.SetFullScreen();
        engine.Restart(0, window);
        int ignitions = 0;
        for (int tick = 0; tick < 700; ++tick) {
            const int32_t frame = engine.State().m_nFrame;
            engine.Tick();
            if (engine.State().m_nFrame < frame) ++ignitions;
            const std::string at = platform.Difference();
            ASSERT_TRUE(at.empty()) << c.what << ": tick " << tick << ", pixel " << at;
        }
        EXPECT_GE(ignitions, 2) << c.what << ": fires lived and were replaced";
        EXPECT_GT(platform.presents.size(), 300u) << c.what;
    }
}

}  // namespace
