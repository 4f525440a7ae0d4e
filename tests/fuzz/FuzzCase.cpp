#include "FuzzCase.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "../core/EngineAccess.h"
#include "Burn.h"
#include "FireEngine.h"
#include "MonitorLayout.h"
#include "Placement.h"
#include "SurfaceBuffers.h"

uint64_t SeededChoices::Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

namespace {
uint64_t HashBytes(const uint8_t* data, std::size_t size) {
    uint64_t h = 1469598103934665603ull;
    for (std::size_t n = 0; n < size; ++n) h = (h ^ data[n]) * 1099511628211ull;
    return h;
}
}  // namespace

ByteChoices::ByteChoices(const uint8_t* data, std::size_t size)
    : m_data(data), m_size(size), m_rest(HashBytes(data, size)) {}

uint64_t ByteChoices::Next() {
    if (m_at + 8 > m_size) return m_rest.Next();
    uint64_t v = 0;
    std::memcpy(&v, m_data + m_at, 8);
    m_at += 8;
    return v;
}

namespace {

// Where a case stands, for the message of a broken rule.
int g_step = -1;
const char* g_op = "set-up";

#define FUZZ_CHECK(cond, ...)                                                            \
    do {                                                                                 \
        if (!(cond)) {                                                                   \
            std::fprintf(stderr, "fuzz: step %d (%s): %s: ", g_step, g_op, #cond);        \
            std::fprintf(stderr, __VA_ARGS__);                                           \
            std::fputc('\n', stderr);                                                    \
            std::abort();                                                                \
        }                                                                                \
    } while (0)

class Choices {
public:
    explicit Choices(ChoiceSource& source) : m_source(source) {}
    uint64_t Raw() { return m_source.Next(); }
    // 0 .. n - 1
    int64_t Below(int64_t n) { return int64_t(Raw() % uint64_t(n)); }
    int64_t Between(int64_t lo, int64_t hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int p) { return Below(100) < p; }
    template <typename T, std::size_t N>
    T From(const T (&values)[N]) {
        return values[Below(int64_t(N))];
    }

    // Any 32-bit value, the extremes and their neighbours often.
    int32_t Int() {
        static const int32_t kEdges[] = {INT32_MIN, INT32_MIN + 1, -65536, -32768, -256, -101, -100, -2, -1,
                                         0,         1,             2,      5,      6,      7,    39,   40,
                                         41,        99,            100,    101,    255,    256,  384,  385,
                                         399,       400,           32767,  32768,  65535,  65536, INT32_MAX - 1,
                                         INT32_MAX};
        switch (Below(3)) {
        case 0: return From(kEdges);
        case 1: return int32_t(Between(-10, 50));
        default: return int32_t(uint32_t(Raw()));
        }
    }

    // A client area or screen: mostly small, every row padding, some long and thin, some absurd.
    FireSize Size() {
        static const int32_t kExtremes[] = {INT32_MIN, -1, 0, 1, 2, 3, 4, 5, 32767, 32768, 65535, INT32_MAX};
        switch (Below(10)) {
        case 0: return FireSize{int32_t(Below(9)), int32_t(Below(9))};
        case 1: return Below(2) ? FireSize{int32_t(Between(1, kMaxSurfaceSide)), int32_t(Between(1, 8))}
                                : FireSize{int32_t(Between(1, 8)), int32_t(Between(1, kMaxSurfaceSide))};
        case 2: {
            FireSize s{From(kExtremes), From(kExtremes)};
            // Both sides large would be a gigabyte per buffer; one of them stays small.
            if (s.cx > 512 && s.cy > 512) s.cy = int32_t(Between(1, 512));
            return s;
        }
        case 3:
        case 4: return FireSize{int32_t(Below(301)), int32_t(Below(301))};
        default: return FireSize{int32_t(Below(161)), int32_t(Below(121))};
        }
    }

private:
    ChoiceSource& m_source;
};

// C library draws: the 15-bit Windows range, the 31-bit glibc range, or the ends of both.
class FuzzRandom final : public CRandom {
public:
    explicit FuzzRandom(Choices& choices) : m_choices(choices), m_kind(int(choices.Below(3))) {}
    uint32_t Time() override { return uint32_t(m_choices.Raw()); }
    void Seed(uint32_t) override {}
    int32_t Rand() override {
        switch (m_kind) {
        case 0: return int32_t(m_choices.Below(0x8000));
        case 1: return int32_t(m_choices.Below(int64_t(INT32_MAX) + 1));
        default: {
            static const int32_t kEnds[] = {0, 1, 0x7FFF, INT32_MAX};
            return m_choices.Percent(50) ? m_choices.From(kEnds) : int32_t(m_choices.Below(0x8000));
        }
        }
    }

private:
    Choices& m_choices;
    int m_kind;
};

// The screen: mostly one monitor of any size; else two or three, side by side, overlapping,
// far apart or at extreme coordinates, at scales 1 to 3.
MonitorLayout RandomLayout(Choices& c) {
    if (c.Percent(60)) return MonitorLayout(c.Size());
    static const int32_t kCoordinates[] = {INT32_MIN, -65536, -1920, -800, -1, 0, 1, 640, 1024, 65535, INT32_MAX};
    std::vector<MonitorRect> monitors;
    int32_t right = 0;
    for (int64_t n = c.Between(2, 3); n > 0; --n) {
        const FireSize size = c.Size();
        MonitorRect m{right, 0, size.cx, size.cy, int32_t(c.Between(1, 3))};
        if (c.Percent(30)) m.x = c.From(kCoordinates);
        if (c.Percent(30)) m.y = c.From(kCoordinates);
        monitors.push_back(m);
        if (size.cx > 0 && int64_t(right) + size.cx <= INT32_MAX) right += size.cx;
    }
    return MonitorLayout(std::move(monitors));
}

// The window's surfaces as the fuzz case sees them; the bytes are the shared owner's, each
// buffer its own allocation of exactly the planned size.
class FuzzPlatform final : public FirePlatform {
public:
    explicit FuzzPlatform(Choices& choices) : m_choices(choices) {}

    MonitorLayout Monitors() override { return screen; }
    void CaptureScreen(FirePoint, FireSize size, int32_t) override { Fill(size, uint8_t(m_choices.Raw())); }
    void FillBlack(FireSize size) override { Fill(size, 0); }
    void BlankWindow() override {}
    void DrawFly(int32_t, Colour, Colour, const FlyStroke*, std::size_t count) override {
        FUZZ_CHECK(count >= 1 && count <= 3, "%zu strokes", count);
        ++flights;
    }
    void PresentOutput(FirePoint, FireSize size, int32_t, const FireBand&) override {
        CheckBox(size, "present");
        // What the window would copy out: every byte of the output surface.
        unsigned sum = 0;
        for (const uint8_t b : m_buffers.out) sum += b;
        presented += sum & 1;
    }
    // Most restarts show their colours and get their surfaces; some do not.
    bool UseColours(const ColourTable&) override { return m_choices.Percent(95); }
    FireBuffers MakeSurfaces(const SurfacePlan& plan) override {
        Free();
        if (!plan.surfaces || !m_choices.Percent(97)) return FireBuffers{};
        FUZZ_CHECK(plan.stride >= plan.box.cx && plan.stride % 4 == 0 && plan.stride - plan.box.cx < 4,
                   "stride %d for width %d", plan.stride, plan.box.cx);
        m_box = plan.box;
        return m_buffers.Make(plan);
    }
    // The surfaces go away (a failed rebuild); the engine must have let go first.
    void Free() {
        m_buffers.Release();
        m_box = FireSize{0, 0};
    }
    bool Attached() const { return !m_buffers.heat.empty(); }
    std::size_t Bytes() const { return m_buffers.heat.size(); }

    MonitorLayout screen{FireSize{640, 480}};
    int flights = 0;
    unsigned presented = 0;

private:
    void CheckBox(FireSize size, const char* what) const {
        FUZZ_CHECK(Attached(), "%s without surfaces", what);
        FUZZ_CHECK(size.cx == m_box.cx && size.cy == m_box.cy, "%s of %dx%d on surfaces of %dx%d", what, size.cx,
                   size.cy, m_box.cx, m_box.cy);
    }
    // Bottom-up rows of the box, into the background and the output surface.
    void Fill(FireSize size, uint8_t value) {
        CheckBox(size, "a screen copy");
        for (uint8_t* buffer : {m_buffers.back.data(), m_buffers.out.data()})
            for (int32_t r = 0; r < size.cy; ++r)
                std::memset(buffer + std::size_t(r) * std::size_t(m_buffers.stride()), value, std::size_t(size.cx));
    }

    Choices& m_choices;
    SurfaceBuffers m_buffers;
    FireSize m_box{0, 0};
};

// A fire's state with buffers of its own, for running one step twice from the same start.
struct FireCopy {
    FireState fire;
    std::unique_ptr<uint8_t[]> back, heat, out;
    std::size_t size = 0;

    FireCopy(const FireState& from, std::size_t bytes) : size(bytes) {
        FireState& f = fire;
        f.m_cxFire = from.m_cxFire;
        f.m_cyFire = from.m_cyFire;
        f.m_nFireHeight = from.m_nFireHeight;
        f.m_nBaseWidth = from.m_nBaseWidth;
        f.m_nMaxBaseWidth = from.m_nMaxBaseWidth;
        f.m_nDecay = from.m_nDecay;
        f.m_nFuel = from.m_nFuel;
        f.m_nSmooth = from.m_nSmooth;
        f.m_nFrame = from.m_nFrame;
        f.m_nBurnFrames = from.m_nBurnFrames;
        f.m_nDyingFrames = from.m_nDyingFrames;
        f.m_bFinished = from.m_bFinished;
        f.m_bBurning = from.m_bBurning;
        f.m_pBaseLine = std::make_unique<uint8_t[]>(std::size_t(from.m_cxFire));
        std::memcpy(f.m_pBaseLine.get(), from.m_pBaseLine.get(), std::size_t(from.m_cxFire));
        for (auto [mine, theirs] : {std::pair{&back, from.m_pBackBits}, {&heat, from.m_pHeatBits}, {&out, from.m_pOutBits}}) {
            *mine = std::make_unique<uint8_t[]>(bytes);
            std::memcpy(mine->get(), theirs, bytes);
        }
        f.m_pBackBits = back.get();
        f.m_pHeatBits = heat.get();
        f.m_pOutBits = out.get();
    }
};

class CountedRandom final : public CRandom {
public:
    explicit CountedRandom(uint64_t seed) : m_source(seed), m_choices(m_source), m_random(m_choices) {}
    uint32_t Time() override { return m_random.Time(); }
    void Seed(uint32_t seed) override { m_random.Seed(seed); }
    int32_t Rand() override {
        ++draws;
        return m_random.Rand();
    }
    int draws = 0;

private:
    SeededChoices m_source;
    Choices m_choices;
    FuzzRandom m_random;
};

void Scramble(Choices& c, uint8_t* bytes, std::size_t size) {
    static const uint8_t kValues[] = {0, 1, 15, 16, 16, 16, 17, 18, 100, 216, 239, 255};
    const int mode = int(c.Below(3));
    for (std::size_t n = 0; n < size; ++n) bytes[n] = mode == 0 ? uint8_t(c.Raw()) : c.From(kValues);
}

// The fast step against the reference from the engine's state, or from that state pushed to
// extremes: any fire height, cooling bound, fuel and drift, and buffers full of any bytes.
// Both must leave the same buffers, fields, generator state and number of C library draws.
void CompareSteps(FireEngine& engine, Choices& c) {
    const FireState& now = engine.State();
    if (!engine.Ready()) return;
    const std::size_t size = std::size_t(engine.Stride()) * std::size_t(now.m_cyFire);
    FireCopy start(now, size);
    FireParams params = engine.Params();
    if (c.Percent(40)) {
        FireState& f = start.fire;
        static const int32_t kDecays[] = {0, 1, 5, 40, 41, 100, 222, 223, 224, 300, -2, INT32_MAX - 1};
        f.m_nFireHeight = int32_t(c.Between(-2, int64_t(f.m_cyFire) + 2));
        f.m_nDecay = c.Percent(50) ? c.From(kDecays) : int32_t(c.Between(0, 60));
        f.m_nFuel = c.Percent(30) ? 0 : int32_t(c.Between(1, 223));
        f.m_nSmooth = int32_t(c.Between(-1, 4));
        f.m_nFrame = int32_t(c.Between(0, 100));
        f.m_nBurnFrames = int32_t(c.Between(0, 100));
        static const int32_t kSpreads[] = {1, 1, 1, 1, 0, 2, 3};
        params.m_nSpread = c.From(kSpreads);
        for (uint8_t* bytes : {start.back.get(), start.heat.get(), start.out.get()}) Scramble(c, bytes, size);
        Scramble(c, f.m_pBaseLine.get(), std::size_t(f.m_cxFire));
        for (std::size_t n = 0; n < std::size_t(f.m_cxFire); ++n)
            f.m_pBaseLine[n] = uint8_t(std::min<int>(f.m_pBaseLine[n], f.m_nFuel + kCold));
    }
    const uint64_t seed = c.Raw();
    const uint32_t generator = uint32_t(c.Raw());
    const uint32_t saved = g_dwFireRand;

    FireCopy reference(start.fire, size);
    CountedRandom referenceRandom(seed);
    g_dwFireRand = generator;
    BurnReference(reference.fire, params, referenceRandom);
    const uint32_t referenceGenerator = g_dwFireRand;

    FireCopy fast(start.fire, size);
    CountedRandom fastRandom(seed);
    g_dwFireRand = generator;
    // Kept from case to case, as an engine keeps its own through every size its window takes.
    static BurnScratch scratch;
    const int32_t fastHighest = BurnFast(fast.fire, params, fastRandom, scratch);
    const uint32_t fastGenerator = g_dwFireRand;
    g_dwFireRand = saved;

    const FireState& r = reference.fire;
    const FireState& f = fast.fire;
    const int32_t cx = r.m_cxFire;
    FUZZ_CHECK(fastGenerator == referenceGenerator, "generator %08x, reference %08x (%dx%d, height %d, decay %d)",
               fastGenerator, referenceGenerator, cx, r.m_cyFire, start.fire.m_nFireHeight, start.fire.m_nDecay);
    FUZZ_CHECK(fastRandom.draws == referenceRandom.draws, "%d draws, reference %d", fastRandom.draws,
               referenceRandom.draws);
    FUZZ_CHECK(std::memcmp(f.m_pBaseLine.get(), r.m_pBaseLine.get(), std::size_t(cx)) == 0, "base line differs");
    const char* names[] = {"background", "heat", "output"};
    const uint8_t* fastBuffers[] = {f.m_pBackBits, f.m_pHeatBits, f.m_pOutBits};
    const uint8_t* referenceBuffers[] = {r.m_pBackBits, r.m_pHeatBits, r.m_pOutBits};
    const uint8_t* startBuffers[] = {start.back.get(), start.heat.get(), start.out.get()};
    for (int b = 0; b < 3; ++b) {
        std::size_t n = 0;
        while (n < size && fastBuffers[b][n] == referenceBuffers[b][n]) ++n;
        // Above the highest row the fast step says it wrote, every byte is as it was: the
        // band shown on screen leaves those rows out.
        const std::size_t above = std::size_t(std::max(fastHighest + 1, 0)) * std::size_t(f.Stride());
        FUZZ_CHECK(above <= size && std::memcmp(fastBuffers[b] + above, startBuffers[b] + above, size - above) == 0,
                   "%s changed above row %d, the highest the fast step names", names[b], fastHighest);
        FUZZ_CHECK(n == size, "%s byte %zu (row %zu, column %zu of %dx%d, stride %d, height %d, decay %d, spread %d): %d, reference %d",
                   names[b], n, n / std::size_t(f.Stride()), n % std::size_t(f.Stride()), cx, r.m_cyFire, f.Stride(),
                   start.fire.m_nFireHeight, start.fire.m_nDecay, params.m_nSpread, fastBuffers[b][n], referenceBuffers[b][n]);
    }
    const int32_t fastFields[] = {f.m_nBaseWidth, f.m_nFrame, f.m_nFuel, f.m_nDecay, f.m_nDyingFrames, f.m_bFinished, f.m_bBurning};
    const int32_t referenceFields[] = {r.m_nBaseWidth, r.m_nFrame, r.m_nFuel, r.m_nDecay, r.m_nDyingFrames, r.m_bFinished, r.m_bBurning};
    FUZZ_CHECK(std::memcmp(fastFields, referenceFields, sizeof fastFields) == 0, "life counters differ");
}

SettingValues RandomSettings(Choices& c) {
    SettingValues v;
    for (int32_t& value : v.value) value = c.Percent(30) ? int32_t(c.Between(0, 3)) : c.Int();
    return v;
}

// The window's restart: colours, surfaces for the client area, first fire. The old
// surfaces are freed before the new ones exist, so a pointer kept past them is a use
// after free; a failed surface build leaves none.
void Restart(FireEngine& engine, Choices& c, FireSize client) {
    engine.Restart(c.Percent(80) ? int32_t(c.Below(3)) : c.Int(), client);
}

void CheckHeight(const FireEngine& e) {
    if (!e.Ready()) return;
    const int32_t most = e.State().m_cyFire > 6 ? e.State().m_cyFire : 6;
    FUZZ_CHECK(e.State().m_nFireHeight >= 6 && e.State().m_nFireHeight <= most, "fire height %d in %d rows", e.State().m_nFireHeight,
               e.State().m_cyFire);
}

}  // namespace

CaseStats RunFuzzCase(ChoiceSource& source, bool trace) {
    Choices c(source);
    CaseStats stats;
    g_step = -1;
    g_op = "set-up";
    FuzzPlatform platform(c);
    FuzzRandom random(c);
    platform.screen = RandomLayout(c);
    const SettingValues settings = RandomSettings(c);
    FireEngine engine(platform, random, settings, platform.screen);
    static const int32_t kFullScreen[] = {0, 1, 1, 1, 2, -1};
    Edit(engine).m_bFullScreen = c.From(kFullScreen);
    FireSize client = c.Size();
    if (trace)
        std::printf("screen %dx%d (%zu monitors), client %dx%d, full screen %d, settings %d %d %d %d %d %d\n",
                    platform.screen.Bounds().cx, platform.screen.Bounds().cy, platform.screen.Monitors().size(), client.cx, client.cy, engine.State().m_bFullScreen, settings.value[0],
                    settings.value[1], settings.value[2], settings.value[3], settings.value[4], settings.value[5]);
    Restart(engine, c, client);
    ++stats.restarts;

    const int steps = int(c.Between(1, 250));
    for (g_step = 0; g_step < steps; ++g_step) {
        const int64_t pick = c.Below(100);
        int32_t arg = 0;
        if (pick < 40) {
            g_op = "tick";
            const bool burns = engine.Ready() && !engine.State().m_bFinished && !(engine.State().m_bFullScreen == 1 && engine.State().m_bBurning != 1);
            // Another timer only blanks.
            if (c.Percent(95)) {
                if (burns) CompareSteps(engine, c);
                engine.Tick();
                if (burns) ++stats.burns;
            } else {
                engine.BlankIfDue();
            }
        } else if (pick < 55) {
            g_op = "burn";
            CompareSteps(engine, c);
            engine.Burn();
            ++stats.burns;
        } else if (pick < 65) {
            g_op = "fly";
            engine.FlyStep();
        } else if (pick < 70) {
            g_op = "paint";
            engine.Paint();
        } else if (pick < 76) {
            g_op = "set-height";
            arg = c.Int();
            engine.SetFireHeight(arg);
            CheckHeight(engine);
        } else if (pick < 80) {
            g_op = "ignite";
            engine.Ignite();
        } else if (pick < 85) {
            g_op = "restart";
            if (c.Percent(50)) client = c.Size();
            if (c.Percent(20)) Edit(engine).m_bFullScreen = c.From(kFullScreen);
            Restart(engine, c, client);
            ++stats.restarts;
        } else if (pick < 88) {
            g_op = "settings";
            engine.ApplySettings(RandomSettings(c));
        } else if (pick < 91) {
            g_op = "screen";
            platform.screen = RandomLayout(c);
        } else if (pick < 97) {
            // The surfaces go away (a failed rebuild): the engine lets go before they are freed.
            g_op = "buffer-loss";
            engine.ReleaseBuffers();
            platform.Free();
        } else {
            // The colours and surfaces are made again, but no fire is lit.
            g_op = "rebuild";
            engine.Rebuild(engine.State().m_nFireType, client);
        }
        if (trace)
            std::printf("%4d %-11s %11d  ready %d burning %d finished %d frame %d height %d\n", g_step, g_op, arg,
                        engine.Ready(), engine.State().m_bBurning, engine.State().m_bFinished, engine.State().m_nFrame,
                        engine.State().m_nFireHeight);
        if (engine.State().m_pBaseLine && platform.Attached())
            FUZZ_CHECK(std::size_t(engine.Stride()) * std::size_t(engine.State().m_cyFire) == platform.Bytes(),
                       "stride %d x %d rows on surfaces of %zu bytes", engine.Stride(), engine.State().m_cyFire, platform.Bytes());
    }
    // The engine still holds its buffers here; they are freed after it, as in the window.
    engine.ReleaseBuffers();
    stats.steps = steps;
    stats.flights = platform.flights;
    return stats;
}
