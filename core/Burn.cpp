#include <algorithm>

#include "Burn.h"

namespace {
// Three steps of the private generator from one state, computed side by side rather than
// one after another: g_n = a^n s + c (a^(n-1) + ... + 1), all modulo 2^32.
constexpr uint32_t kA = 1664525u;
constexpr uint32_t kC = 1013904223u;
constexpr uint32_t kA2 = kA * kA;
constexpr uint32_t kA3 = kA2 * kA;
constexpr uint32_t kC2 = kC * (kA + 1u);
constexpr uint32_t kC3 = kC * (kA2 + kA + 1u);
static_assert(StepFireRand(StepFireRand(StepFireRand(12345u))) == kA3 * 12345u + kC3);

// One propagated row: source row a - 1 rises into row a. Destinations are linear indices,
// so a drift past either end of a row lands in the padding or the neighbouring row, as the
// picture has always been drawn; only bytes past the end of the buffers are dropped.
struct RowPass {
    uint8_t* heat;
    uint8_t* back;
    uint8_t* out;
    const uint8_t* src;
    std::ptrdiff_t rowStart;  // linear index of column 0 of the destination row
    std::ptrdiff_t size;      // bytes in each buffer
    uint32_t driftMod;
    uint32_t driftMask;  // driftMod - 1 when driftMod is a power of two, else 0
    uint32_t coolMod;
    bool dying;
    bool scorch;

    void Cell(int32_t k, uint32_t& rng) const {
        const uint32_t g1 = kA * rng + kC;
        const uint32_t g2 = kA2 * rng + kC2;
        const uint32_t g3 = kA3 * rng + kC3;
        rng = g3;
        // The drift bound is a power of two in every fire (one pixel each way).
        const uint32_t driftBits = g1 >> 5;
        const int32_t drift = int32_t(driftMask ? driftBits & driftMask : driftBits % driftMod);
        const int32_t cooling = int32_t((g2 >> 5) % coolMod);
        const int32_t d = (g3 & 0x20) ? k + drift : k - drift;
        const std::ptrdiff_t at = rowStart + d;
        if (at < 0 || at >= size) return;
        const int32_t v = int32_t(src[k]) - cooling;
        if (v > kCold) {
            heat[at] = uint8_t(v);
            out[at] = uint8_t(v);
        } else if (heat[at] != kCold) {
            if (dying) {
                out[at] = kCold;
            } else if (scorch) {
                // Three scorchings leave any colour at index 0, black.
                back[at] = uint8_t(back[at] << 3);
                out[at] = back[at];
            } else {
                out[at] = back[at];
            }
            heat[at] = kCold;
        }
    }
};
}  // namespace

int32_t RiseRowsReference(FireState& f, const FireParams& params, CRandom& random) {
    // Rows rise from the top down, so each source row still holds the previous tick.
    // Rows that do not exist in a short window are skipped.
    const int32_t cx = f.m_cxFire;
    const std::ptrdiff_t stride = f.Stride();
    const int32_t top = std::min(f.m_nFireHeight, f.m_cyFire - 1);
    RowPass pass{f.m_pHeatBits, f.m_pBackBits, f.m_pOutBits, nullptr, 0, stride * f.m_cyFire,
                 uint32_t(params.m_nSpread) + 1, 0, uint32_t(f.m_nDecay) + 1, f.m_nFuel == 0,
                 false};
    if ((pass.driftMod & (pass.driftMod - 1)) == 0) pass.driftMask = pass.driftMod - 1;
    uint32_t rng = g_dwFireRand;
    for (int32_t a = top; a >= 1; --a) {
        pass.src = f.m_pHeatBits + (a - 1) * stride;
        pass.rowStart = a * stride;
        pass.scorch = a < f.m_nFireHeight - 15;
        if (random.Rand() % 2 != 0) {
            for (int32_t k = cx - 1; k >= 0; --k) pass.Cell(k, rng);
        } else {
            for (int32_t k = 0; k < cx; ++k) pass.Cell(k, rng);
        }
    }
    g_dwFireRand = rng;
    return top >= 1 ? HighestWrittenBy(top, f.m_cyFire) : -1;
}

namespace {
template <class RiseRows>
int32_t BurnWith(FireState& f, const FireParams& params, CRandom& random, RiseRows riseRows) {
    if (!f.m_pBaseLine || !f.m_pHeatBits || !f.m_pBackBits || !f.m_pOutBits || f.m_cxFire <= 0 || f.m_cyFire <= 0)
        return -1;
    const int32_t cx = f.m_cxFire;
    uint8_t* const base = f.m_pBaseLine.get();

    // 1. The segment of the base line, from the width at entry. A segment wider than the
    //    base line (a window taller than wide) is narrowed to fit inside it.
    const int32_t w = std::clamp(f.m_nBaseWidth, 0, cx - 1);
    const int32_t i = (cx - w) / 2;
    const int32_t e = i + w + 1;
    if (f.m_nBaseWidth < f.m_nMaxBaseWidth) ++f.m_nBaseWidth;

    // 2. Cold margins and everything outside the segment; row 0 is the base line.
    for (int32_t j = 0; j < cx; ++j) {
        if (j < i + params.m_nSpread || j >= e - params.m_nSpread) base[j] = kCold;
        f.m_pHeatBits[j] = base[j];
    }

    // 3. The rows rise. Row 0 of the heat holds the base line, and no step writes it to the output.
    const int32_t highest = riseRows(f, params, random);

    // 4. Life counters.
    ++f.m_nFrame;
    if (f.m_nFrame > f.m_nBurnFrames) {
        f.m_nFuel = 0;
        ++f.m_nDecay;
        ++f.m_nDyingFrames;
        if (f.m_nDecay > 40 || f.m_nDyingFrames >= f.m_nFireHeight + 20) {
            f.m_bFinished = 1;
            f.m_bBurning = 0;
        }
    }

    // 5. Flare: five white-hot cells inside the segment, placed with the grown width.
    const int32_t ceiling = f.m_nFuel + kCold;
    if (random.Rand() % (400 - params.m_nFlareLevel) == 0) {
        const int32_t r = random.Rand();
        const int32_t flareWidth = std::min(f.m_nBaseWidth, cx - 1);
        if (flareWidth > 5) std::fill_n(base + i + r % (flareWidth - 5), 5, kFlare);
    }

    // 6. Heat the whole segment, margins included, up to the ceiling.
    for (int32_t j = i; j < e; ++j) {
        if (base[j] >= ceiling) {
            base[j] = uint8_t(ceiling);
            continue;
        }
        const int32_t range = params.m_nHeatRange;
        const int32_t t = base[j] + params.m_nHeatGain + random.Rand() % range + 1 - range / 2;
        base[j] = uint8_t(t > ceiling ? ceiling : t < kCold ? kCold : t);
    }

    // 7. Box smoothing in place: cells to the left already hold their smoothed values.
    if (f.m_nSmooth >= 1) {
        const int64_t d = f.m_nSmooth;
        for (int64_t j = i + d; j <= e - d - 1; ++j) {
            int64_t sum = 0;
            for (int64_t n = j - d; n <= j + d; ++n) sum += base[n];
            base[j] = uint8_t(sum / (2 * d + 1));
        }
    }
    return std::max(highest, 0);
}
}  // namespace

int32_t BurnReference(FireState& fire, const FireParams& params, CRandom& random) {
    return BurnWith(fire, params, random, RiseRowsReference);
}

int32_t BurnFast(FireState& fire, const FireParams& params, CRandom& random, BurnScratch& scratch) {
    return BurnWith(fire, params, random, [&scratch](FireState& f, const FireParams& p, CRandom& r) {
        return RiseRowsFast(f, p, r, scratch);
    });
}

int32_t FireEngine::Burn() { return BurnFast(*this, m_params, m_random, m_scratch); }

int32_t FireEngine::BurnReference() { return ::BurnReference(*this, m_params, m_random); }
