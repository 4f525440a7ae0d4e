#pragma once
// The part of a fire box that changed since it was last shown: a rectangle of whole cells,
// columns from the left and rows from the bottom (row 0 is the bottom line as drawn).
#include <cstdint>

#include "FireTypes.h"

struct FireBand {
    int32_t firstRow = 0;
    int32_t rowCount = 0;
    int32_t firstColumn = 0;
    int32_t columnCount = 0;

    bool Empty() const { return rowCount <= 0 || columnCount <= 0; }
    static FireBand Whole(FireSize box) { return FireBand{0, box.cy, 0, box.cx}; }
    // The smallest band that holds both.
    FireBand Join(const FireBand& other) const;
    // The part of it in rows 0 ... lastRow.
    FireBand UpTo(int32_t lastRow) const;
};

// What the propagation step reads and writes, as far as its reach goes.
struct StepReach {
    FireSize box;
    int64_t stride;
    int32_t fireHeight;
    // Highest row that may hold a burning heat value before the step; -1 when none does.
    int32_t hotTop;
    int32_t spread;
    // The widest base segment of this fire so far or to come.
    int32_t widest;
};

// The cells of the output buffer that one step may change. Heat rises one row a step and
// drifts at most `spread` cells a row from the segment, and a cell that was never hot
// changes nothing when it cools; a drift past a row end lands in the neighbouring row,
// which then changes across its whole width.
FireBand StepBand(const StepReach& reach);
// The new hotTop after that step.
int32_t HotTopAfterStep(const StepReach& reach);
