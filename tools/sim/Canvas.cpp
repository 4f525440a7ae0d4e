#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
struct Interval {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    bool Empty() const { return lo > hi; }
    void Hull(Interval other) {
        if (other.Empty()) return;
        lo = std::min(lo, other.lo);
        hi = std::max(hi, other.hi);
    }
};

// The x for which lo <= c * x + k <= hi.
Interval SolveLinear(double c, double k, double lo, double hi) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    if (c == 0) return lo <= k && k <= hi ? Interval{-inf, inf} : Interval{};
    const double a = (lo - k) / c, b = (hi - k) / c;
    return Interval{std::min(a, b), std::max(a, b)};
}

// Row y of a disc.
Interval DiscRow(double cx, double cy, double r, double y) {
    const double dy = y - cy;
    const double rest = r * r - dy * dy;
    if (rest < 0) return Interval{};
    const double half = std::sqrt(rest);
    return Interval{cx - half, cx + half};
}

// Liang-Barsky: shrinks the segment p + t * d, t in [t0, t1], to lo <= p + t * d <= hi.
bool ClipAxis(double p, double d, double lo, double hi, double& t0, double& t1) {
    if (d == 0) return lo <= p && p <= hi;
    double a = (lo - p) / d, b = (hi - p) / d;
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    return t0 <= t1;
}
}  // namespace

template <class Pixel>
BasicCanvas<Pixel>::BasicCanvas(int32_t width, int32_t height, Pixel value)
    : m_width(width),
      m_height(height),
      m_pixels(std::size_t(width) * std::size_t(height), value),
      m_dirty{0, 0, width, height} {}

template <class Pixel>
void BasicCanvas<Pixel>::Touch(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
    if (m_dirty.Empty()) {
        m_dirty = PixelRect{x0, y0, x1 - x0 + 1, y1 - y0 + 1};
        return;
    }
    const int32_t right = std::max(m_dirty.x + m_dirty.cx - 1, x1);
    const int32_t bottom = std::max(m_dirty.y + m_dirty.cy - 1, y1);
    m_dirty.x = std::min(m_dirty.x, x0);
    m_dirty.y = std::min(m_dirty.y, y0);
    m_dirty.cx = right - m_dirty.x + 1;
    m_dirty.cy = bottom - m_dirty.y + 1;
}

template <class Pixel>
PixelRect BasicCanvas<Pixel>::TakeDirty() {
    const PixelRect dirty = m_dirty;
    m_dirty = PixelRect{0, 0, 0, 0};
    return dirty;
}

template <class Pixel>
void BasicCanvas<Pixel>::Set(int32_t x, int32_t y, Pixel value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)] = value;
    Touch(x, y, x, y);
}

template <class Pixel>
void BasicCanvas<Pixel>::Fill(Pixel value) {
    std::fill(m_pixels.begin(), m_pixels.end(), value);
    Touch(0, 0, m_width - 1, m_height - 1);
}

template <class Pixel>
void BasicCanvas<Pixel>::Span(int32_t y, int32_t x0, int32_t x1, Pixel value) {
    std::fill_n(m_pixels.begin() + std::ptrdiff_t(y) * m_width + x0, x1 - x0 + 1, value);
    Touch(x0, y, x1, y);
}

template <class Pixel>
template <class Source>
void BasicCanvas<Pixel>::PutRows(FirePoint at, FireSize size, Source row) {
    // 64-bit edges: a box placed near the ends of the int range must clip, not wrap.
    const int64_t left = std::max<int64_t>(at.x, 0);
    const int64_t right = std::min<int64_t>(int64_t(at.x) + size.cx, m_width);
    const int64_t top = std::max<int64_t>(at.y, 0);
    const int64_t bottom = std::min<int64_t>(int64_t(at.y) + size.cy, m_height);
    if (left >= right || top >= bottom) return;
    for (int64_t y = top; y < bottom; ++y)
        std::copy_n(row(y - at.y) + (left - at.x), right - left, m_pixels.begin() + std::ptrdiff_t(y * m_width + left));
    Touch(int32_t(left), int32_t(top), int32_t(right - 1), int32_t(bottom - 1));
}

template <class Pixel>
void BasicCanvas<Pixel>::PutBottomUp(FirePoint at, FireSize size, const uint8_t* bits, int32_t stride) {
    PutRows(at, size, [&](int64_t y) { return bits + (int64_t(size.cy) - 1 - y) * stride; });
}

template <class Pixel>
void BasicCanvas<Pixel>::Put(FirePoint at, FireSize size, const Pixel* pixels) {
    PutRows(at, size, [&](int64_t y) { return pixels + y * size.cx; });
}

template <class Pixel>
void BasicCanvas<Pixel>::Line(FirePoint from, FirePoint to, int32_t width, Pixel value) {
    if (width <= 1)
        ThinLine(from, to, value);
    else
        RoundLine(from, to, width / 2.0, value);
}

template <class Pixel>
void BasicCanvas<Pixel>::ThinLine(FirePoint from, FirePoint to, Pixel value) {
    // Clipped first: the engine's points may lie far off the window.
    const double dx = double(to.x) - from.x, dy = double(to.y) - from.y;
    double t0 = 0, t1 = 1;
    if (!ClipAxis(from.x, dx, 0, m_width - 1, t0, t1) || !ClipAxis(from.y, dy, 0, m_height - 1, t0, t1)) return;
    int32_t x = int32_t(std::lround(from.x + t0 * dx)), y = int32_t(std::lround(from.y + t0 * dy));
    const int32_t x1 = int32_t(std::lround(from.x + t1 * dx)), y1 = int32_t(std::lround(from.y + t1 * dy));
    const int32_t sx = x < x1 ? 1 : -1, sy = y < y1 ? 1 : -1;
    const int32_t ax = std::abs(x1 - x), ay = -std::abs(y1 - y);
    int32_t err = ax + ay;
    for (;;) {
        Set(x, y, value);
        if (x == x1 && y == y1) break;
        const int32_t e2 = 2 * err;
        if (e2 >= ay) {
            err += ay;
            x += sx;
        }
        if (e2 <= ax) {
            err += ax;
            y += sy;
        }
    }
}

template <class Pixel>
void BasicCanvas<Pixel>::RoundLine(FirePoint from, FirePoint to, double radius, Pixel value) {
    const double ax = from.x, ay = from.y, bx = to.x, by = to.y;
    const double dx = bx - ax, dy = by - ay;
    const double length2 = dx * dx + dy * dy;
    const double reach = radius * std::sqrt(length2);
    const double top = std::max(0.0, std::ceil(std::min(ay, by) - radius));
    const double bottom = std::min(double(m_height - 1), std::floor(std::max(ay, by) + radius));
    // The brush's trace is convex, so each row of it is one span: the hull of the two end
    // discs and of the band of points that project inside the segment.
    for (double y = top; y <= bottom; ++y) {
        Interval row = DiscRow(ax, ay, radius, y);
        row.Hull(DiscRow(bx, by, radius, y));
        if (length2 > 0) {
            // Along: 0 <= d.(p - a) <= |d|^2; across: |d x (p - a)| <= r |d|.
            const Interval along = SolveLinear(dx, dy * (y - ay) - dx * ax, 0, length2);
            const Interval across = SolveLinear(-dy, dx * (y - ay) + dy * ax, -reach, reach);
            const Interval band{std::max(along.lo, across.lo), std::min(along.hi, across.hi)};
            row.Hull(band);
        }
        if (row.Empty()) continue;
        const double x0 = std::max(0.0, std::ceil(row.lo));
        const double x1 = std::min(double(m_width - 1), std::floor(row.hi));
        if (x0 <= x1) Span(int32_t(y), int32_t(x0), int32_t(x1), value);
    }
}

template class BasicCanvas<uint8_t>;
template class BasicCanvas<uint32_t>;

uint8_t NearestIndex(const ColourTable& table, Colour colour) {
    const int32_t r = int32_t(colour & 0xFF), g = int32_t((colour >> 8) & 0xFF), b = int32_t((colour >> 16) & 0xFF);
    int32_t best = 0;
    int32_t bestDistance = std::numeric_limits<int32_t>::max();
    for (int32_t n = 0; n < int32_t(table.size()); ++n) {
        const RgbQuad& q = table[std::size_t(n)];
        const int32_t dr = q.red - r, dg = q.green - g, db = q.blue - b;
        const int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = n;
            bestDistance = distance;
        }
    }
    return uint8_t(best);
}
