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
            // float holds exactly; its quotient is then exact or one too small (checked for
            // every folded value and every m up to kMostCoolMod), never too large.
            const U32 x = g2 >> 5;
            const I32 y = I32((x >> 12) * uint32_t(split) + (x & 4095u));
            const I32 q = __builtin_convertvector(__builtin_convertvector(y, F32) * inverse, I32);
            I32 r = y - q * m;
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

// One landing on whole vectors of destination cells, where `hit` says which cells it lands on
// and `value` is the cooled value where `hot`, cold elsewhere.
template <bool kDying, bool kScorch>
inline void LandAll(U8& heat, U8& back, U8& out, const I8& hit, const I8& hot, const U8& value) {
    const I8 coldHit = hit & ~hot & I8(heat != kCold);
    if (!kDying && kScorch) back = coldHit ? U8(back << 3) : back;
    out = (hit & hot) ? value : coldHit ? (kDying ? U8{} + kCold : back) : out;
    heat = hit ? value : heat;
}

// One source cell's landing value: cooled where it stays above cold, cold elsewhere.
inline I8 Cool(const U8& src, const U8& cool, U8& value) {
    const I8 hot = src >= cool + (kCold + 1);
    value = hot ? U8(src - cool) : U8{} + kCold;
    return hot;
}

// Settles the destination cells at `heat`, `back` and `out` from the cells below them, where
// `src`, `move` and `cool` are at the same column and readable one column to either side.
// A destination takes, in visiting order, the cell left of it moving right, the cell under it
// moving straight up and the cell right of it moving left.
template <bool kRightToLeft, bool kDying, bool kScorch>
__attribute__((always_inline)) inline void SettleVector(U8& heat, U8& back, U8& out, const uint8_t* src, const int8_t* move, const uint8_t* cool) {
    U8 valueLeft, value, valueRight;
    const I8 hotLeft = Cool(Load<U8>(src - 1), Load<U8>(cool - 1), valueLeft);
    const I8 hot = Cool(Load<U8>(src), Load<U8>(cool), value);
    const I8 hotRight = Cool(Load<U8>(src + 1), Load<U8>(cool + 1), valueRight);
    const I8 fromLeft = Load<I8>(move - 1) == 1;
    const I8 fromBelow = Load<I8>(move) == 0;
    const I8 fromRight = Load<I8>(move + 1) == -1;
    if (kRightToLeft) {
        LandAll<kDying, kScorch>(heat, back, out, fromRight, hotRight, valueRight);
        LandAll<kDying, kScorch>(heat, back, out, fromBelow, hot, value);
        LandAll<kDying, kScorch>(heat, back, out, fromLeft, hotLeft, valueLeft);
    } else {
        LandAll<kDying, kScorch>(heat, back, out, fromLeft, hotLeft, valueLeft);
        LandAll<kDying, kScorch>(heat, back, out, fromBelow, hot, value);
        LandAll<kDying, kScorch>(heat, back, out, fromRight, hotRight, valueRight);
    }
}

// The column numbers of one vector's bytes.
constexpr struct Columns {
    uint8_t at[kLanes8];
    constexpr Columns() : at() {
        for (int32_t n = 0; n < kLanes8; ++n) at[n] = uint8_t(n);
    }
} kColumns;

// Settles destination columns from `x` to the row's end. The last, partial vector keeps the
// bytes past the row's last column as they were; near the buffers' end it runs on copies, so
// that nothing past them is read or written.
template <bool kRightToLeft, bool kDying, bool kScorch>
inline void SettleRowIn(const RowCells& row, int32_t x) {
    for (; x + kLanes8 <= row.cx; x += kLanes8) {
        U8 heat = Load<U8>(row.heat + x), back = Load<U8>(row.back + x), out = Load<U8>(row.out + x);
        SettleVector<kRightToLeft, kDying, kScorch>(heat, back, out, row.src + x, row.move + x, row.cool + x);
        Store(row.heat + x, heat);
        Store(row.back + x, back);
        Store(row.out + x, out);
    }
    const int32_t left = row.cx - x;
    if (left <= 0) return;
    if (x + kLanes8 <= row.room) {
        const U8 heat = Load<U8>(row.heat + x), back = Load<U8>(row.back + x), out = Load<U8>(row.out + x);
        U8 newHeat = heat, newBack = back, newOut = out;
        SettleVector<kRightToLeft, kDying, kScorch>(newHeat, newBack, newOut, row.src + x, row.move + x, row.cool + x);
        const I8 inRow = I8(Load<U8>(kColumns.at) < uint8_t(left));
        Store(row.heat + x, inRow ? newHeat : heat);
        Store(row.back + x, inRow ? newBack : back);
        Store(row.out + x, inRow ? newOut : out);
        return;
    }
    uint8_t heat[kLanes8] = {}, back[kLanes8] = {}, out[kLanes8] = {}, src[kLanes8 + 2] = {};
    std::memcpy(heat, row.heat + x, std::size_t(left));
    std::memcpy(back, row.back + x, std::size_t(left));
    std::memcpy(out, row.out + x, std::size_t(left));
    std::memcpy(src, row.src + x - 1, std::size_t(left) + 1);
    U8 heatV = Load<U8>(heat), backV = Load<U8>(back), outV = Load<U8>(out);
    SettleVector<kRightToLeft, kDying, kScorch>(heatV, backV, outV, src + 1, row.move + x, row.cool + x);
    Store(heat, heatV);
    Store(back, backV);
    Store(out, outV);
    std::memcpy(row.heat + x, heat, std::size_t(left));
    std::memcpy(row.back + x, back, std::size_t(left));
    std::memcpy(row.out + x, out, std::size_t(left));
}

// Settles every destination column from `x` (at least 1) on.
inline void SettleRow(const RowCells& row, int32_t x) {
    const int32_t variant = (row.rightToLeft ? 4 : 0) + (row.dying ? 2 : 0) + (row.scorch ? 1 : 0);
    switch (variant) {
        case 0: return SettleRowIn<false, false, false>(row, x);
        case 1: return SettleRowIn<false, false, true>(row, x);
        case 2: return SettleRowIn<false, true, false>(row, x);
        case 3: return SettleRowIn<false, true, true>(row, x);
        case 4: return SettleRowIn<true, false, false>(row, x);
        case 5: return SettleRowIn<true, false, true>(row, x);
        case 6: return SettleRowIn<true, true, false>(row, x);
        default: return SettleRowIn<true, true, true>(row, x);
    }
}
