// The rows of the propagation step, a vector of cells at a time. A row runs in two passes:
// the first draws every cell's move and cooling from the generator's state at the row's start
// (lanes jump ahead in closed form); the second settles every destination cell of the row from
// the up to three cells that can land on it, in the order the row visits them. Only the two
// cells at the row's ends can land outside it; they are landed one at a time, in their turn.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Burn.h"
#include "FireRandJump.h"

namespace {

constexpr FireRandJump kStep1 = FireRandJump::Steps(1);
constexpr FireRandJump kStep2 = FireRandJump::Steps(2);
constexpr FireRandJump kStep3 = FireRandJump::Steps(3);
constexpr int32_t kMostLanes = 8;
constexpr int32_t kMostBytes = 32;
// The float remainder of the draw pass is exact below this bound, and cooling stays a byte.
constexpr uint32_t kMostCoolMod = 224;

// Only bit 5 of a cell's first and third draws decide its move, and that bit depends only on
// the low six bits of the cell's state. From cell to cell those six bits step through all 64
// values in one fixed cycle, so a row's moves repeat every 64 columns: a row copies them from
// this cycle, found once, starting where its first state falls.
struct MoveCycle {
    int8_t forward[64 + kMostBytes];   // by position in the cycle, repeated for whole vectors
    int8_t backward[64 + kMostBytes];  // the same cycle read backwards
    uint8_t position[64];              // by six-bit state
};

constexpr MoveCycle MakeMoveCycle() {
    MoveCycle cycle{};
    int8_t moves[64] = {};
    uint32_t state = 0;
    for (int32_t n = 0; n < 64; ++n) {
        const uint32_t drift = (kStep1(state) >> 5) & 1u;
        moves[n] = int8_t((kStep3(state) & 0x20u) ? int32_t(drift) : -int32_t(drift));
        cycle.position[state] = uint8_t(n);
        state = kStep3(state) & 63u;
    }
    for (int32_t n = 0; n < 64 + kMostBytes; ++n) {
        cycle.forward[n] = moves[n & 63];
        cycle.backward[n] = moves[(63 - n) & 63];
    }
    return cycle;
}

constexpr MoveCycle kMoveCycle = MakeMoveCycle();
static_assert(kStep3.mul % 4 == 1 && kStep3.add % 2 == 1, "the six low bits run through all 64 values");

// The jumps of one step, by direction (0 left to right, 1 right to left): from the state of
// the first column of a stretch of kLanes8 to the second draw of each of its columns, where
// lane j of vector i handles column 4j + i; and the jump to the next stretch.
struct DrawPlan {
    uint32_t coolMul[2][4][kMostLanes];
    uint32_t coolAdd[2][4][kMostLanes];
    FireRandJump block[2];
    FireRandJump last;  // to the state of the row's last cell
    uint32_t coolMod;
};

struct RowCells {
    uint8_t* heat;  // column 0 of the destination row in each buffer
    uint8_t* back;
    uint8_t* out;
    const uint8_t* src;
    const int8_t* move;  // by column; columns -1 and cx hold 0, so nothing lands from them
    const uint8_t* cool;
    int32_t cx;
    std::ptrdiff_t room;  // bytes from column 0 of the destination row to the buffers' end
    bool rightToLeft;
    bool dying;
    bool scorch;
};

#if defined(__GNUC__) && !defined(__clang__) && (defined(__i386__) || defined(__x86_64__))
// SSE2 alone has no 32-bit vector multiply, and its emulation loses to the reference; the
// kernels start at SSE4.1, and a processor without it runs the reference rows.
#define KW_HAVE_KERNELS 1
#pragma GCC push_options
#pragma GCC target("sse4.1")
namespace sse41 {
#define KW_LANE_BYTES 16
#include "BurnRowKernel.h"
#undef KW_LANE_BYTES
}  // namespace sse41
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx2")
namespace avx2 {
#define KW_LANE_BYTES 32
#include "BurnRowKernel.h"
#undef KW_LANE_BYTES
}  // namespace avx2
#pragma GCC pop_options
#endif

struct Kernel {
    int32_t lanes;
    int32_t lanes8;
    void (*draw)(const DrawPlan&, uint32_t, bool, int32_t, int8_t*, uint8_t*);
    void (*settle)(const RowCells&, int32_t);
};

// No kernel (lanes 0) where the processor or the compiler offers none. KW_BURN_KERNEL set to
// "sse4.1" or "none" narrows the choice, so that every path can be compared on one processor.
Kernel ChooseKernel() {
    const char* const narrow = std::getenv("KW_BURN_KERNEL");
    const std::string most = narrow ? narrow : "avx2";
#if defined(KW_HAVE_KERNELS)
    if (most == "avx2" && __builtin_cpu_supports("avx2"))
        return {avx2::kLanes32, avx2::kLanes8, avx2::DrawRow, avx2::SettleRow};
    if ((most == "avx2" || most == "sse4.1") && __builtin_cpu_supports("sse4.1"))
        return {sse41::kLanes32, sse41::kLanes8, sse41::DrawRow, sse41::SettleRow};
#endif
    return {0, 0, nullptr, nullptr};
}

// The jumps of a plan that depend only on the kernel's vector width.
DrawPlan LanePlan(const Kernel& kernel) {
    DrawPlan plan{};
    for (int32_t i = 0; i < 4; ++i) {
        for (int32_t j = 0; j < kernel.lanes; ++j) {
            const int64_t column = 4 * int64_t(j) + i;
            const FireRandJump forward = FireRandJump::Steps(3 * column + 2);
            const FireRandJump backward = FireRandJump::Steps(-3 * column + 2);
            plan.coolMul[0][i][j] = forward.mul;
            plan.coolAdd[0][i][j] = forward.add;
            plan.coolMul[1][i][j] = backward.mul;
            plan.coolAdd[1][i][j] = backward.add;
        }
    }
    plan.block[0] = FireRandJump::Steps(3 * int64_t(kernel.lanes8));
    plan.block[1] = FireRandJump::Steps(-3 * int64_t(kernel.lanes8));
    return plan;
}

// One cell's value landing on one destination cell, exactly as the reference lands it.
inline void Land(uint8_t& heat, uint8_t& back, uint8_t& out, int32_t value, bool dying, bool scorch) {
    if (value > kCold) {
        heat = uint8_t(value);
        out = uint8_t(value);
    } else if (heat != kCold) {
        if (dying) {
            out = kCold;
        } else if (scorch) {
            back = uint8_t(back << 3);
            out = back;
        } else {
            out = back;
        }
        heat = kCold;
    }
}

void SettleCell(const RowCells& row, int32_t x) {
    const int32_t order[3] = {row.rightToLeft ? x + 1 : x - 1, x, row.rightToLeft ? x - 1 : x + 1};
    for (const int32_t k : order) {
        if (k + row.move[k] != x) continue;
        Land(row.heat[x], row.back[x], row.out[x], row.src[k] - row.cool[k], row.dying, row.scorch);
    }
}

// Room for the row, its two end columns and one vector past its end.
void Fit(BurnScratch& scratch, int32_t cx) {
    const std::size_t size = std::size_t(cx) + 2 + kMostBytes;
    if (scratch.move.size() < size) {
        scratch.move.assign(size, 0);
        scratch.cool.assign(size, 0);
    }
}

// Whether every heat cell in [from, to) of the buffers, clipped to them, is cold.
bool AllCold(const uint8_t* heat, std::ptrdiff_t size, std::ptrdiff_t from, std::ptrdiff_t to) {
    constexpr uint64_t kColdBytes = 0x0101010101010101ull * kCold;
    std::ptrdiff_t i = std::max<std::ptrdiff_t>(from, 0);
    to = std::min(to, size);
    for (; i + 8 <= to; i += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, heat + i, 8);
        if (bytes != kColdBytes) return false;
    }
    for (; i < to; ++i)
        if (heat[i] != kCold) return false;
    return true;
}

}  // namespace

int32_t RiseRowsFast(FireState& f, const FireParams& params, CRandom& random, BurnScratch& scratch) {
    const int32_t cx = f.m_cxFire;
    const int32_t top = std::min(f.m_nFireHeight, f.m_cyFire - 1);
    const uint32_t coolMod = uint32_t(f.m_nDecay) + 1;
    // The vector passes assume one pixel of drift each way, as every fire has.
    static const Kernel kernel = ChooseKernel();
    if (params.m_nSpread != 1 || coolMod == 0 || coolMod > kMostCoolMod || cx < 2 || kernel.lanes == 0) {
        return RiseRowsReference(f, params, random);
    }
    if (top < 1) return -1;

    static const DrawPlan lanes = LanePlan(kernel);
    DrawPlan plan = lanes;
    plan.last = FireRandJump::Steps(3 * (int64_t(cx) - 1));
    plan.coolMod = coolMod;
    const FireRandJump wholeRow = FireRandJump::Steps(3 * int64_t(cx));

    Fit(scratch, cx);
    int8_t* const move = scratch.move.data() + 1;
    uint8_t* const cool = scratch.cool.data() + 1;
    move[-1] = 0;

    const std::ptrdiff_t stride = f.Stride();
    const std::ptrdiff_t size = stride * f.m_cyFire;
    const bool dying = f.m_nFuel == 0;
    // The end cells land by linear index, in the padding or the neighbouring row; only
    // landings past the buffers are dropped, as in the reference.
    auto landEnd = [&](const RowCells& row, std::ptrdiff_t rowStart, int32_t k) {
        const int32_t d = k + move[k];
        if (d >= 0 && d < cx) return;
        const std::ptrdiff_t at = rowStart + d;
        if (at < 0 || at >= size) return;
        Land(f.m_pHeatBits[at], f.m_pBackBits[at], f.m_pOutBits[at], row.src[k] - cool[k], dying, row.scorch);
    };

    uint32_t rng = g_dwFireRand;
    int32_t highest = -1;
    for (int32_t a = top; a >= 1; --a) {
        const std::ptrdiff_t rowStart = a * stride;
        const bool rightToLeft = random.Rand() % 2 != 0;
        // A cold row rising onto cold cells changes nothing (every cell it can reach, the
        // row ends' neighbours included, is cold already): only the generator moves on.
        if (AllCold(f.m_pHeatBits, size, rowStart - stride, rowStart - stride + cx) &&
            AllCold(f.m_pHeatBits, size, rowStart - 1, rowStart + cx + 1)) {
            rng = wholeRow(rng);
            continue;
        }
        if (highest < 0) highest = HighestWrittenBy(a, f.m_cyFire);
        kernel.draw(plan, rng, rightToLeft, cx, move, cool);
        move[cx] = 0;
        const RowCells row{f.m_pHeatBits + rowStart, f.m_pBackBits + rowStart, f.m_pOutBits + rowStart,
                           f.m_pHeatBits + rowStart - stride, move, cool, cx, size - rowStart, rightToLeft, dying,
                           a < f.m_nFireHeight - 15};
        // Left to right, the first cell lands first; with no padding, its landing at column -1
        // is the source of the row's last cell, which must see it.
        if (!rightToLeft) landEnd(row, rowStart, 0);
        SettleCell(row, 0);
        kernel.settle(row, 1);
        landEnd(row, rowStart, cx - 1);
        if (rightToLeft) landEnd(row, rowStart, 0);
        rng = wholeRow(rng);
    }
    g_dwFireRand = rng;
    return highest;
}
