#include "FireBand.h"

#include <algorithm>

FireBand FireBand::Join(const FireBand& other) const {
    if (other.Empty()) return *this;
    if (Empty()) return other;
    const int32_t top = std::max(firstRow + rowCount, other.firstRow + other.rowCount);
    const int32_t right = std::max(firstColumn + columnCount, other.firstColumn + other.columnCount);
    FireBand joined;
    joined.firstRow = std::min(firstRow, other.firstRow);
    joined.firstColumn = std::min(firstColumn, other.firstColumn);
    joined.rowCount = top - joined.firstRow;
    joined.columnCount = right - joined.firstColumn;
    return joined;
}

FireBand FireBand::UpTo(int32_t lastRow) const {
    FireBand cut = *this;
    cut.rowCount = std::min(rowCount, lastRow - firstRow + 1);
    return cut.Empty() ? FireBand{} : cut;
}

namespace {
// Highest destination row the step can write into: one above the highest hot row.
int32_t ReachRow(const StepReach& r) {
    const int32_t top = std::min(r.fireHeight, r.box.cy - 1);
    return std::min(std::max(r.hotTop, 0) + 1, top);
}
}  // namespace

int32_t HotTopAfterStep(const StepReach& r) { return std::max({r.hotTop, ReachRow(r), 0}); }

FireBand StepBand(const StepReach& r) {
    const int32_t cx = r.box.cx, cy = r.box.cy;
    const int32_t rows = ReachRow(r);
    if (cx <= 0 || cy <= 0 || rows < 1) return FireBand{};
    const int64_t spread = std::max(r.spread, 0);
    const int32_t w = std::clamp(r.widest, 0, cx - 1);
    const int64_t segmentStart = (cx - w) / 2;
    const int64_t segmentEnd = segmentStart + w;  // inclusive
    // The cone of every row so far, not only this step's: a fire that already reached a
    // column keeps flames there.
    const int64_t cone = (int64_t(std::max(r.hotTop, 0)) + 1) * spread;
    const int64_t left = segmentStart - cone, right = segmentEnd + cone;
    if (left >= 0 && right < cx)
        return FireBand{1, rows, int32_t(left), int32_t(right - left + 1)};
    // Linear addressing past a row end: the rows around the reach, whole.
    if (r.stride <= 0) return FireBand::Whole(r.box);
    const int64_t lowest = r.stride + left;  // below the first byte nothing is written
    const int64_t first = lowest < 0 ? 0 : lowest / r.stride;
    const int64_t last = std::min<int64_t>(cy - 1, (rows * r.stride + right) / r.stride);
    return FireBand{int32_t(first), int32_t(last - first + 1), 0, cx};
}
