#pragma once
// Jumps of the private generator: n steps of state * a + c (mod 2^32) are again one affine
// map, so any cell's draws can be computed from the state at the start of its row.
#include <cstdint>

#include "FireRandom.h"

struct FireRandJump {
    uint32_t mul = 1;
    uint32_t add = 0;

    constexpr uint32_t operator()(uint32_t state) const { return mul * state + add; }
    // This jump, then `next`.
    constexpr FireRandJump Then(const FireRandJump& next) const { return {next.mul * mul, next.mul * add + next.add}; }

    // n steps; a negative n steps back, since the multiplier is odd and so invertible.
    static constexpr FireRandJump Steps(int64_t n) {
        FireRandJump power = n >= 0 ? FireRandJump{1664525u, 1013904223u} : Back();
        uint64_t left = n >= 0 ? uint64_t(n) : uint64_t(0) - uint64_t(n);
        FireRandJump result;
        for (; left; left >>= 1) {
            if (left & 1) result = result.Then(power);
            power = power.Then(power);
        }
        return result;
    }

private:
    // The inverse of one step: s = a^-1 (t - c).
    static constexpr FireRandJump Back() {
        uint32_t inverse = 1664525u;  // Newton's iteration doubles the correct low bits each round
        for (int round = 0; round < 5; ++round) inverse *= 2u - 1664525u * inverse;
        return {inverse, 0u - inverse * 1013904223u};
    }
};

static_assert(FireRandJump::Steps(3)(7u) == StepFireRand(StepFireRand(StepFireRand(7u))));
static_assert(FireRandJump::Steps(-1)(StepFireRand(7u)) == 7u);
