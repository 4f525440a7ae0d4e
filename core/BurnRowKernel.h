// The vector half of one rising row, for vectors of KW_LANE_BYTES bytes. BurnFast.cpp
// includes this file once per instruction set, each time inside a namespace of its own.
// No include guard on purpose; every standard header it needs is included before it.

typedef uint32_t U32 __attribute__((vector_size(KW_LANE_BYTES)));
typedef int32_t I32 __attribute__((vector_size(KW_LANE_BYTES)));
typedef float F32 __attribute__((vector_size(KW_LANE_BYTES)));
typedef uint8_t U8 __attribute__((vector_size(KW_LANE_BYTES)));
typedef int8_t I8 __attribute__((vector_size(KW_LANE_BYTES)));

constexpr int32_t kLanes32 = KW_LANE_BYTES / 4;
constexpr int32_t kLanes8 = KW_LANE_BYTES;

template <typename V>
inline V Load(const void* at) {
    V v;
    std::memcpy(&v, at, sizeof v);
    return v;
}

template <typename V>
inline void Store(void* at, const V& v) {
    std::memcpy(at, &v, sizeof v);
}

// Every cell's landing move (-1, 0, +1) and cooling for one row, by column, from the
// generator's state at the row's start. The moves come from the 64-column cycle; each
// column's cooling comes from its own jump, lane j of vector i taking column 4j + i of each
// stretch, so that the four vectors pack into bytes in column order.
template <bool kRightToLeft>
inline void DrawRowIn(const DrawPlan& plan, uint32_t start, int32_t cx, int8_t* move, uint8_t* cool) {
    const int dir = kRightToLeft ? 1 : 0;
    const uint32_t position = kMoveCycle.position[start & 63u];
    const uint32_t offset = kRightToLeft ? (64u - position - uint32_t(cx)) & 63u : position;
    const int8_t* const cycle = kRightToLeft ? kMoveCycle.backward : kMoveCycle.forward;
    for (int32_t k = 0; k < cx; k += kLanes8) Store(move + k, Load<I8>(cycle + ((offset + uint32_t(k)) & 63u)));

    uint32_t stretch = kRightToLeft ? plan.last(start) : start;
    const FireRandJump block = plan.block[dir];
    const int32_t m = int32_t(plan.coolMod);
    const int32_t split = int32_t(4096u % plan.coolMod);
    const float inverse = 1.0f / float(m);
    for (int32_t k = 0; k < cx; k += kLanes8) {
        U32 cools = U32{};
#pragma GCC unroll 4
        for (int i = 0; i < 4; ++i) {
            const U32 g2 = Load<U32>(plan.coolMul[dir][i]) * stretch + Load<U32>(plan.coolAdd[dir][i]);
            // (g2 >> 5) % m without a division: fold the 27 bits into fewer than 24, which a
            // float holds exactly; its quotient is then off by at most one either way.
            const U32 x = g2 >> 5;
            const I32 y = I32((x >> 12) * uint32_t(split) + (x & 4095u));
            const I32 q = __builtin_convertvector(__builtin_convertvector(y, F32) * inverse, I32);
            I32 r = y - q * m;
            r += (r < 0) & m;
            r -= (r >= m) & m;
            cools |= U32(r) << (8 * i);
        }
        Store(cool + k, cools);
        stretch = block(stretch);
    }
}

inline void DrawRow(const DrawPlan& plan, uint32_t start, bool rightToLeft, int32_t cx, int8_t* move,
                    uint8_t* cool) {
    if (rightToLeft)
        DrawRowIn<true>(plan, start, cx, move, cool);
    else
        DrawRowIn<false>(plan, start, cx, move, cool);
}

// One landing on whole vectors of destination cells, where `hit` says which cells it lands on.
inline void LandAll(U8& heat, U8& back, U8& out, const I8& hit, const I8& hot, const U8& value, bool dying,
                    bool scorch) {
    const U8 hotHit = U8(hit & hot);
    const U8 coldHit = U8(hit & ~hot & (heat != kCold));
    if (!dying && scorch) {
        U8 scorched = back + back;
        scorched += scorched;
        scorched += scorched;
        back = (scorched & coldHit) | (back & ~coldHit);
    }
    const U8 coldOut = dying ? U8{} + kCold : back;
    const U8 kept = ~(hotHit | coldHit);
    out = (value & hotHit) | (coldOut & coldHit) | (out & kept);
    heat = (value & hotHit) | ((U8{} + kCold) & coldHit) | (heat & kept);
}

// Settles destination columns from `x` on, whole vectors only, and returns the first column
// left over. A destination takes, in visiting order, the cells left of it moving right, the
// cell under it moving straight up and the cell right of it moving left.
inline int32_t SettleRow(const RowCells& row, int32_t x) {
    for (; x + kLanes8 <= row.cx; x += kLanes8) {
        const U8 srcLeft = Load<U8>(row.src + x - 1), src = Load<U8>(row.src + x), srcRight = Load<U8>(row.src + x + 1);
        const U8 coolLeft = Load<U8>(row.cool + x - 1), cool = Load<U8>(row.cool + x),
                 coolRight = Load<U8>(row.cool + x + 1);
        const I8 fromLeft = Load<I8>(row.move + x - 1) == 1;
        const I8 fromBelow = Load<I8>(row.move + x) == 0;
        const I8 fromRight = Load<I8>(row.move + x + 1) == -1;
        // Hot when the cooled value stays above cold: src - cool > 16, without going below 0.
        const I8 hotLeft = srcLeft > coolLeft + kCold, hot = src > cool + kCold, hotRight = srcRight > coolRight + kCold;
        U8 heat = Load<U8>(row.heat + x), back = Load<U8>(row.back + x), out = Load<U8>(row.out + x);
        if (row.rightToLeft) {
            LandAll(heat, back, out, fromRight, hotRight, srcRight - coolRight, row.dying, row.scorch);
            LandAll(heat, back, out, fromBelow, hot, src - cool, row.dying, row.scorch);
            LandAll(heat, back, out, fromLeft, hotLeft, srcLeft - coolLeft, row.dying, row.scorch);
        } else {
            LandAll(heat, back, out, fromLeft, hotLeft, srcLeft - coolLeft, row.dying, row.scorch);
            LandAll(heat, back, out, fromBelow, hot, src - cool, row.dying, row.scorch);
            LandAll(heat, back, out, fromRight, hotRight, srcRight - coolRight, row.dying, row.scorch);
        }
        Store(row.heat + x, heat);
        Store(row.back + x, back);
        Store(row.out + x, out);
    }
    return x;
}
