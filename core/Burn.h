#pragma once
// The propagation step over one fire's state. Every program runs BurnFast; BurnReference is
// the step written one cell after another, which the fast one matches byte for byte in every
// buffer, field and draw. Only the tests and the benchmark run the reference.
#include "BurnScratch.h"
#include "FireEngine.h"

// Each returns the highest row of the buffers it may have written into, -1 when none: above
// it every byte is as it was. The fast step skips rows that cannot change, so its answer can
// be lower than the reference's.
int32_t BurnReference(FireState& fire, const FireParams& params, CRandom& random);
int32_t BurnFast(FireState& fire, const FireParams& params, CRandom& random, BurnScratch& scratch);

// The highest row that the rising of row `row` may write into, in a box `cy` rows high: a
// drift past the row's right end lands in the row above it.
inline int32_t HighestWrittenBy(int32_t row, int32_t cy) { return row + 1 < cy ? row + 1 : cy - 1; }

// The rows rising one row up, the only part in which the two steps differ.
int32_t RiseRowsReference(FireState& fire, const FireParams& params, CRandom& random);
int32_t RiseRowsFast(FireState& fire, const FireParams& params, CRandom& random, BurnScratch& scratch);
