#include "FireView.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FireEngine.h"
#include "FirePlatform.h"
#include "FireRandom.h"
#include "Settings.h"
#include "SurfaceBuffers.h"

namespace {
Rgb FromColour(Colour c) { return Rgb{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16)}; }
}  // namespace

// The engine's platform: its three buffers, and the canvas for everything on screen.
class FireView::Platform final : public FirePlatform {
public:
    Platform(HackCanvas& canvas, const HackOptions& options)
        : m_canvas(canvas),
          m_engine(*this, CrtRandom(), options.settings,
                   FireSize{canvas.Size().width, canvas.Size().height}) {
        // The preview path fills the window with one fire; every other target burns boxes
        // over the desktop, as the full-screen saver does.
        if (options.target != DrawTarget::WindowId) m_engine.SetFullScreen();
    }

    void Restart() {
        m_engine.Restart(m_engine.State().m_nFireType, FireSize{m_canvas.Size().width, m_canvas.Size().height});
    }
    void Tick() { m_engine.Tick(); }

    // One monitor, the window: XScreenSaver gives each screen its own window, at one scale.
    MonitorLayout Monitors() override { return FireSize{m_canvas.Size().width, m_canvas.Size().height}; }

    // The hack's one monitor shows boxes at scale 1.
    void CaptureScreen(FirePoint topLeft, FireSize size, int32_t) override {
        if (m_buffers.back.empty()) return;
        uint32_t* captured = m_canvas.FullColour() ? m_buffers.MakeCapture(1) : nullptr;
        if (!captured) m_buffers.DropCapture();
        m_canvas.Capture(topLeft.x, topLeft.y, size.cx, size.cy, m_buffers.back.data(), m_buffers.stride(), captured);
        std::copy(m_buffers.back.begin(), m_buffers.back.end(), m_buffers.out.begin());
    }

    void FillBlack(FireSize size) override {
        m_buffers.DropCapture();
        for (auto* buffer : {&m_buffers.back, &m_buffers.out})
            for (int32_t r = 0; r < size.cy && !buffer->empty(); ++r)
                std::fill_n(buffer->begin() + std::ptrdiff_t(r) * m_buffers.stride(), size.cx, uint8_t(0));
    }

    void BlankWindow() override {
        m_canvas.FillBlack();
        m_canvas.ShowAll();
    }

    void DrawFly(int32_t penWidth, Colour dark, Colour glow, const FlyStroke* strokes, std::size_t count) override {
        m_canvas.BeginLines(penWidth);
        for (std::size_t n = 0; n < count; ++n)
            m_canvas.Line(FromColour(strokes[n].glow ? glow : dark), strokes[n].from.x, strokes[n].from.y,
                          strokes[n].to.x, strokes[n].to.y);
    }

    void PresentOutput(FirePoint at, FireSize, int32_t scale, const FireBand& band) override {
        if (m_buffers.out.empty()) return;
        m_canvas.Present(m_buffers.Pixels(scale), at.x, at.y, band);
    }

    bool UseColours(const ColourTable& table) override {
        m_canvas.SetColours(table);
        return true;
    }

    FireBuffers MakeSurfaces(const SurfacePlan& plan) override { return m_buffers.Make(plan); }

private:
    HackCanvas& m_canvas;
    SurfaceBuffers m_buffers;
    FireEngine m_engine;
};

FireView::FireView(XConnection& connection, HackWindow& window, const PixelFormat& format, const HackOptions& options,
                   Signals& signals)
    : m_connection(connection),
      m_window(window),
      m_format(format),
      m_options(options),
      m_signals(signals),
      // Over black there is no picture to fetch.
      m_getImage(options.Blank() ? std::string() : FindGetImage()),
      m_sharing(std::getenv("KINDLEWICK_NO_SHM")          ? HackCanvas::Sharing::Off
                : std::getenv("KINDLEWICK_NO_SHM_PIXMAP") ? HackCanvas::Sharing::Images
                                                          : HackCanvas::Sharing::Picture) {}

FireView::~FireView() = default;

GrabOutcome FireView::Restart() {
    m_platform.reset();
    m_canvas.reset();
    m_canvas = std::make_unique<HackCanvas>(m_connection, m_window, m_format, m_sharing);
    if (!m_canvas->Usable()) {
        m_canvas.reset();
        return GrabOutcome::NoCanvas;
    }
    GrabOutcome outcome = GrabOutcome::Done;
    if (!m_options.Blank()) {
        std::string note;
        outcome = GrabDesktop(m_connection.Get(), m_window.Id(), *m_canvas, m_signals, m_getImage, note);
        if (outcome == GrabOutcome::Ended) return outcome;
        if (outcome == GrabOutcome::Failed) {
            // A helper fails, too, when the window it was given has gone: that is the end.
            XWindowAttributes attributes{};
            if (!XGetWindowAttributes(m_connection.Get(), m_window.Id(), &attributes) || m_connection.WindowGone())
                return GrabOutcome::Ended;
            std::fprintf(stderr, "kindlewick: %s; burning over black\n", note.c_str());
        }
    }
    m_platform = std::make_unique<Platform>(*m_canvas, m_options);
    m_platform->Restart();
    m_canvas->ShowAll();
    return outcome;
}

void FireView::Tick() {
    if (m_platform) m_platform->Tick();
}

void FireView::Redraw(int x, int y, int width, int height) {
    if (m_canvas) m_canvas->Show(x, y, width, height);
}
