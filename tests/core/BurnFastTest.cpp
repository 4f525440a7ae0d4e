// The fast propagation step against the reference, on the processor the tests run on (under
// Wine, the i686 program's own code path), and the generator jumps both rely on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "Burn.h"
#include "FireRandJump.h"

namespace {

TEST(FireRandJump, JumpsMatchSteppingBothWays) {
    uint32_t state = 0x12345678u;
    for (int64_t n = 0; n <= 1000; ++n) {
        EXPECT_EQ(FireRandJump::Steps(n)(0x12345678u), state) << n;
        EXPECT_EQ(FireRandJump::Steps(-n)(state), 0x12345678u) << n;
        state = StepFireRand(state);
    }
    EXPECT_EQ(FireRandJump::Steps(3 * 3840).Then(FireRandJump::Steps(-3 * 3840))(99u), 99u);
}

// A fire of any geometry and state, with buffers of exactly its size.
struct Fire {
    FireState state;
    std::vector<uint8_t> back, heat, out;

    Fire(std::mt19937& pick, int32_t cx, int32_t cy) {
        FireState& f = state;
        f.m_cxFire = cx;
        f.m_cyFire = cy;
        f.m_pBaseLine = std::make_unique<uint8_t[]>(std::size_t(cx));
        const std::size_t size = std::size_t(SurfaceStride(cx)) * std::size_t(cy);
        for (std::vector<uint8_t>* buffer : {&back, &heat, &out}) {
            buffer->resize(size);
            for (uint8_t& b : *buffer) b = pick() % 3 ? uint8_t(kCold + pick() % 3) : uint8_t(pick());
        }
        f.m_pBackBits = back.data();
        f.m_pHeatBits = heat.data();
        f.m_pOutBits = out.data();
        f.m_nFireHeight = int32_t(pick() % uint32_t(cy + 3)) - 1;
        const int32_t decays[] = {5, 20, 41, 0, 223, 224, -2};
        f.m_nDecay = decays[pick() % 7];
        f.m_nFuel = pick() % 4 ? 200 : 0;
        f.m_nBaseWidth = int32_t(pick() % uint32_t(cx + 1));
        f.m_nMaxBaseWidth = cx;
        f.m_nSmooth = int32_t(pick() % 3);
        f.m_nBurnFrames = 50;
        f.m_nFrame = int32_t(pick() % 60);
        for (int32_t j = 0; j < cx; ++j) f.m_pBaseLine[j] = uint8_t(kCold + pick() % 201);
    }

    Fire(const Fire& other) : back(other.back), heat(other.heat), out(other.out) {
        const FireState& o = other.state;
        FireState& f = state;
        f.m_cxFire = o.m_cxFire;
        f.m_cyFire = o.m_cyFire;
        f.m_nFireHeight = o.m_nFireHeight;
        f.m_nDecay = o.m_nDecay;
        f.m_nFuel = o.m_nFuel;
        f.m_nBaseWidth = o.m_nBaseWidth;
        f.m_nMaxBaseWidth = o.m_nMaxBaseWidth;
        f.m_nSmooth = o.m_nSmooth;
        f.m_nBurnFrames = o.m_nBurnFrames;
        f.m_nFrame = o.m_nFrame;
        f.m_pBaseLine = std::make_unique<uint8_t[]>(std::size_t(o.m_cxFire));
        std::memcpy(f.m_pBaseLine.get(), o.m_pBaseLine.get(), std::size_t(o.m_cxFire));
        f.m_pBackBits = back.data();
        f.m_pHeatBits = heat.data();
        f.m_pOutBits = out.data();
    }
};

TEST(BurnFast, MatchesTheReferenceOnRandomFires) {
    std::mt19937 pick(20240501u);
    const FireParams params;
    // One for every case, as an engine keeps its own through every size its window takes.
    BurnScratch scratch;
    for (int n = 0; n < 400; ++n) {
        // Every width modulo 4 and around the vector widths, short and tall windows.
        const int32_t cx = n % 5 == 0 ? int32_t(1 + pick() % 70) : int32_t(1 + pick() % 400);
        const int32_t cy = int32_t(1 + pick() % 90);
        const Fire start(pick, cx, cy);
        Fire reference(start), fast(start);
        const uint32_t seed = pick(), generator = pick();
        MsvcRandom referenceRandom, fastRandom;
        referenceRandom.Seed(seed);
        fastRandom.Seed(seed);

        g_dwFireRand = generator;
        BurnReference(reference.state, params, referenceRandom);
        const uint32_t referenceGenerator = g_dwFireRand;
        g_dwFireRand = generator;
        BurnFast(fast.state, params, fastRandom, scratch);

        SCOPED_TRACE(::testing::Message() << "case " << n << ": " << cx << "x" << cy << ", height "
                                          << start.state.m_nFireHeight << ", decay " << start.state.m_nDecay);
        ASSERT_EQ(g_dwFireRand, referenceGenerator);
        ASSERT_EQ(fastRandom.Rand(), referenceRandom.Rand()) << "a different number of C library draws";
        ASSERT_EQ(fast.heat, reference.heat);
        ASSERT_EQ(fast.back, reference.back);
        ASSERT_EQ(fast.out, reference.out);
        ASSERT_EQ(0, std::memcmp(fast.state.m_pBaseLine.get(), reference.state.m_pBaseLine.get(), std::size_t(cx)));
        ASSERT_EQ(fast.state.m_nBaseWidth, reference.state.m_nBaseWidth);
        ASSERT_EQ(fast.state.m_nDecay, reference.state.m_nDecay);
        ASSERT_EQ(fast.state.m_bFinished, reference.state.m_bFinished);
    }
}

}  // namespace
