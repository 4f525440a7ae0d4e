#pragma once
// Test doubles and set-ups shared by the fire engine tests.
#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "EngineAccess.h"
#include "MemoryPlatform.h"

// Plays back a script of rand() values, then a fallback, and counts every draw.
// The fallback 4 is neutral for Burn: even (rows run left to right), no multiple of 15
// (no flare), and it heats a base-line cell by exactly nothing (20 + 4 + 1 - 25).
class ScriptedRandom final : public CRandom {
public:
    uint32_t Time() override { return kTime; }
    void Seed(uint32_t seed) override { seeds.push_back(seed); }
    int32_t Rand() override {
        ++calls;
        if (script.empty()) return fallback;
        const int32_t v = script.front();
        script.pop_front();
        return v;
    }

    static constexpr uint32_t kTime = 12345;
    std::deque<int32_t> script;
    int32_t fallback = 4;
    int calls = 0;
    std::vector<uint32_t> seeds;
};

// The private generator, written out here so that a wrong constant in the engine shows.
constexpr uint32_t NextFireRand(uint32_t s) { return s * 1664525u + 1013904223u; }

// Drift (signed) and cooling given to the n-th cell visited after g_dwFireRand was `seed`.
struct CellDraw {
    int32_t drift;
    int32_t cooling;
};
inline CellDraw DrawFor(uint32_t seed, int n, uint32_t spread, uint32_t decay) {
    uint32_t s = seed;
    for (int i = 0; i < 3 * n; ++i) s = NextFireRand(s);
    const uint32_t g1 = s = NextFireRand(s);
    const uint32_t g2 = s = NextFireRand(s);
    const uint32_t g3 = NextFireRand(s);
    const int32_t drift = int32_t((g1 >> 5) % (spread + 1));
    return CellDraw{(g3 & 0x20) ? drift : -drift, int32_t((g2 >> 5) % (decay + 1))};
}
inline uint32_t SeedWhere(const std::function<bool(uint32_t)>& wanted) {
    uint32_t s = 1;
    while (!wanted(s)) ++s;
    return s;
}

// Global, so that GoogleTest finds them by argument-dependent lookup.
inline bool operator==(FirePoint a, FirePoint b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& os, FirePoint p) { return os << "(" << p.x << ", " << p.y << ")"; }

// What a fire window reads when nothing is stored.
inline SettingValues Defaults() {
    SettingValues v;
    v[SettingId::FlySpeed] = 5;
    return v;
}

// One engine on the in-memory platform with a scripted C library generator.
struct Rig {
    explicit Rig(FireSize screen = {640, 480}, const SettingValues& settings = Defaults())
        : platform(screen), engine(platform, random, settings, screen) {}

    // Palette and surfaces as a restart makes them; no fire is lit.
    void Surfaces(int32_t cx, int32_t cy) {
        engine.Rebuild(engine.State().m_nFireType, FireSize{cx, cy});
    }
    // Surfaces plus the state of a freshly lit fire with all heat cold, set by hand so
    // that no rand() is drawn; the life counters keep the fire burning.
    void Quiet(int32_t cx, int32_t cy, int32_t fireHeight) {
        Surfaces(cx, cy);
        std::fill(platform.heat.begin(), platform.heat.end(), kCold);
        std::fill_n(engine.State().m_pBaseLine.get(), cx, kCold);
        Edit(engine).m_nFireHeight = fireHeight;
        Edit(engine).m_nBaseWidth = Edit(engine).m_nMaxBaseWidth = 6;
        Edit(engine).m_nFrame = 0;
        Edit(engine).m_nBurnFrames = 1000;
        Edit(engine).m_nFuel = 200;
        Edit(engine).m_nDecay = 5;
        Edit(engine).m_bBurning = 1;
        random.calls = 0;
    }
    std::size_t At(int32_t row, int32_t col) const {
        return std::size_t(int64_t(row) * platform.stride() + col);
    }
    uint8_t& Heat(int32_t row, int32_t col) { return platform.heat[At(row, col)]; }
    uint8_t& Back(int32_t row, int32_t col) { return platform.back[At(row, col)]; }
    uint8_t& Out(int32_t row, int32_t col) { return platform.out[At(row, col)]; }
    uint8_t& Base(int32_t col) { return engine.State().m_pBaseLine[std::size_t(col)]; }

    MemoryPlatform platform;
    ScriptedRandom random;
    FireEngine engine;
};

// Three buffers with guard bytes on both sides, attached in place of the platform's.
struct GuardedBuffers {
    static constexpr std::size_t kGuard = 64;
    static constexpr uint8_t kMark = 0xA5;

    explicit GuardedBuffers(FireEngine& engine)
        : size(std::size_t(engine.Stride()) * std::size_t(engine.State().m_cyFire)) {
        for (auto& b : buffers) b.assign(size + 2 * kGuard, kMark);
        Attach(engine, FireBuffers{&buffers[0][kGuard], &buffers[1][kGuard], &buffers[2][kGuard]});
    }
    // Where the first changed guard byte is, relative to the buffer's start; empty if none.
    std::string Touched() const {
        static const char* const names[3] = {"back", "heat", "out"};
        for (int k = 0; k < 3; ++k)
            for (std::size_t n = 0; n < kGuard; ++n) {
                if (buffers[k][n] != kMark) return std::string(names[k]) + " at -" + std::to_string(kGuard - n);
                if (buffers[k][kGuard + size + n] != kMark)
                    return std::string(names[k]) + " at " + std::to_string(size + n);
            }
        return {};
    }
    uint8_t* heat() { return &buffers[1][kGuard]; }
    uint8_t* out() { return &buffers[2][kGuard]; }

    std::size_t size;
    std::vector<uint8_t> buffers[3];  // back, heat, out
};
