#pragma once
// The propagation step over one fire's state. Every program runs BurnFast; BurnReference is
// the step written one cell after another, which the fast one matches byte for byte in every
// buffer, field and draw. Only the tests and the benchmark run the reference.
#include "FireEngine.h"

void BurnReference(FireState& fire, const FireParams& params, CRandom& random);
void BurnFast(FireState& fire, const FireParams& params, CRandom& random);

// The rows rising one row up, the only part in which the two steps differ.
void RiseRowsReference(FireState& fire, const FireParams& params, CRandom& random);
void RiseRowsFast(FireState& fire, const FireParams& params, CRandom& random);
