#include "HackCanvas.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
bool HostIsLittleEndian() {
    const uint16_t one = 1;
    uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// Pixels the hack writes and reads itself; any other layout goes through Xlib's calls.
bool DirectFormat(const XImage& image) {
    return (image.bits_per_pixel == 32 || image.bits_per_pixel == 16) &&
           (image.byte_order == LSBFirst) == HostIsLittleEndian();
}
}  // namespace

// One XImage, in shared memory or the client's, reused while it is large enough.
struct HackCanvas::Image {
    Display* display = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo segment{};
    bool shared = false;
    std::vector<char> pixels;

    ~Image() {
        if (!image) return;
        if (shared) {
            XShmDetach(display, &segment);
            XSync(display, False);
            shmdt(segment.shmaddr);
        }
        image->data = nullptr;  // the memory is the segment's or the vector's
        XDestroyImage(image);
    }
};

HackCanvas::HackCanvas(XConnection& connection, const HackWindow& window, const PixelFormat& format, Sharing sharing)
    : m_connection(connection),
      m_display(connection.Get()),
      m_window(window.Id()),
      m_size(window.Size()),
      m_depth(window.Depth()),
      m_visual(window.GetVisual()),
      m_format(format),
      m_fullColour(m_visual && m_visual->c_class == TrueColor && !(format.ColourBits() & ~kCapturedColourBits)),
      m_shm(sharing != Sharing::Off && XShmQueryExtension(m_display)) {
    if (m_shm && sharing == Sharing::Picture) m_pixmap = MakeSharedPicture();
    if (!m_pixmap) {
        // Refused for a window larger than the server's pixmaps may be, or one with no depth.
        m_connection.BeginTrap();
        const Pixmap pixmap = XCreatePixmap(m_display, m_window, unsigned(std::max(1, m_size.width)),
                                            unsigned(std::max(1, m_size.height)), unsigned(m_depth));
        if (m_connection.EndTrap()) return;
        m_pixmap = pixmap;
    }
    m_gc = XCreateGC(m_display, m_pixmap, 0, nullptr);
    XSetGraphicsExposures(m_display, m_gc, False);
    FillBlack();
}

HackCanvas::~HackCanvas() {
    m_image.reset();
    if (!Usable()) return;
    XFreeGC(m_display, m_gc);
    XFreePixmap(m_display, m_pixmap);
    m_shared.reset();  // its segment outlives the pixmap made on it
}

Pixmap HackCanvas::MakeSharedPicture() {
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (!XShmQueryVersion(m_display, &major, &minor, &pixmaps) || !pixmaps || XShmPixmapFormat(m_display) != ZPixmap)
        return 0;
    const unsigned width = unsigned(std::max(1, m_size.width)), height = unsigned(std::max(1, m_size.height));
    auto image = std::make_unique<Image>();
    image->display = m_display;
    XImage* x = XShmCreateImage(m_display, m_visual, unsigned(m_depth), ZPixmap, nullptr, &image->segment, width,
                                height);
    if (!x) return 0;
    if (!DirectFormat(*x) || !AttachSegment(*image, *x, std::size_t(x->bytes_per_line) * height)) {
        x->data = nullptr;
        XDestroyImage(x);
        return 0;
    }
    image->image = x;
    image->shared = true;
    m_connection.BeginTrap();
    const Pixmap pixmap = XShmCreatePixmap(m_display, m_window, image->segment.shmaddr, &image->segment, width, height,
                                           unsigned(m_depth));
    XSync(m_display, False);
    if (m_connection.EndTrap()) return 0;
    m_shared = std::move(image);
    return pixmap;
}

uint8_t* HackCanvas::SharedPixels(int32_t left, int32_t top) const {
    const XImage* picture = m_shared->image;
    return reinterpret_cast<uint8_t*>(picture->data) + std::ptrdiff_t(top) * picture->bytes_per_line +
           std::ptrdiff_t(left) * (picture->bits_per_pixel / 8);
}

bool HackCanvas::AttachSegment(Image& image, XImage& x, std::size_t bytes) {
    image.segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (image.segment.shmid < 0) return false;
    image.segment.shmaddr = x.data = static_cast<char*>(shmat(image.segment.shmid, nullptr, 0));
    image.segment.readOnly = False;
    bool refused = image.segment.shmaddr == reinterpret_cast<char*>(-1);
    if (!refused) {
        m_connection.BeginTrap();
        XShmAttach(m_display, &image.segment);
        refused = m_connection.EndTrap();
    }
    // Marked for removal now, so that no exit path leaves the segment behind.
    shmctl(image.segment.shmid, IPC_RMID, nullptr);
    if (refused && image.segment.shmaddr != reinterpret_cast<char*>(-1)) shmdt(image.segment.shmaddr);
    return !refused;
}

void HackCanvas::SetColours(const ColourTable& colours) {
    Rgb256 rgb{};
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = Rgb{colours[i].red, colours[i].green, colours[i].blue};
    m_pixels = MapColours(m_format, rgb);
    m_nearest = std::make_unique<NearestColour>(colours);
}

HackCanvas::Image* HackCanvas::ImageFor(int32_t width, int32_t height) {
    if (m_image && m_image->image->width >= width && m_image->image->height >= height) return m_image.get();
    m_image.reset();
    auto image = std::make_unique<Image>();
    image->display = m_display;
    if (m_shm) {
        XImage* x = XShmCreateImage(m_display, m_visual, unsigned(m_depth), ZPixmap, nullptr, &image->segment,
                                    unsigned(width), unsigned(height));
        if (x) {
            if (AttachSegment(*image, *x, std::size_t(x->bytes_per_line) * std::size_t(height))) {
                image->image = x;
                image->shared = true;
            } else {
                x->data = nullptr;
                XDestroyImage(x);
            }
        }
        // A server on another machine cannot attach; plain images work everywhere.
        if (!image->shared) m_shm = false;
    }
    if (!image->shared) {
        XImage* x = XCreateImage(m_display, m_visual, unsigned(m_depth), ZPixmap, 0, nullptr, unsigned(width),
                                 unsigned(height), 32, 0);
        if (!x) return nullptr;
        image->pixels.resize(std::size_t(x->bytes_per_line) * std::size_t(height));
        x->data = image->pixels.data();
        image->image = x;
    }
    m_image = std::move(image);
    return m_image.get();
}

bool HackCanvas::CopyFromRoot() {
    const Window root = DefaultRootWindow(m_display);
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(m_display, m_window, root, 0, 0, &x, &y, &child);
    XGCValues values{};
    values.subwindow_mode = IncludeInferiors;
    GC gc = XCreateGC(m_display, m_pixmap, GCSubwindowMode, &values);
    m_connection.BeginTrap();
    XCopyArea(m_display, root, m_pixmap, gc, x, y, unsigned(m_size.width), unsigned(m_size.height), 0, 0);
    const bool failed = m_connection.EndTrap();
    XFreeGC(m_display, gc);
    return !failed;
}

void HackCanvas::FillBlack() {
    XSetForeground(m_display, m_gc, m_format.Encode(Rgb{0, 0, 0}));
    XFillRectangle(m_display, m_pixmap, m_gc, 0, 0, unsigned(std::max(1, m_size.width)),
                   unsigned(std::max(1, m_size.height)));
}

namespace {
// The first cell whose block starts at or after 0, and the end of the cells whose blocks end
// at or before `extent`, for blocks of `scale` from `origin` on.
int64_t FirstInside(int64_t origin, int32_t scale) { return origin >= 0 ? 0 : (-origin + scale - 1) / scale; }
int64_t EndInside(int64_t origin, int32_t scale, int32_t extent) {
    return extent <= origin ? 0 : (extent - origin) / scale;
}
}  // namespace

void HackCanvas::ComposeInto(const BoxPixels& box, const FireBand& band, uint8_t* to, int32_t bytesPerLine,
                             int32_t bitsPerPixel) const {
    if (bitsPerPixel == 32)
        ComposeBand(box, band, m_pixels, m_format.Opaque(), reinterpret_cast<uint32_t*>(to), bytesPerLine / 4);
    else
        ComposeBand(box, band, m_pixels, m_format.Opaque(), reinterpret_cast<uint16_t*>(to), bytesPerLine / 2);
}

void HackCanvas::Present(const BoxPixels& box, int32_t x, int32_t y, const FireBand& whole) {
    // Only whole blocks on the picture: memory has no clipping of its own.
    const int32_t scale = box.scale;
    if (whole.Empty() || scale < 1) return;
    const int64_t cy = box.box.cy;
    const int64_t left = std::max<int64_t>(whole.firstColumn, FirstInside(x, scale));
    const int64_t right =
        std::min<int64_t>(int64_t(whole.firstColumn) + whole.columnCount, EndInside(x, scale, m_size.width));
    // Rows count from the box's foot, the picture's from its top.
    const int64_t low = std::max<int64_t>(whole.firstRow, cy - EndInside(y, scale, m_size.height));
    const int64_t high = std::min<int64_t>(int64_t(whole.firstRow) + whole.rowCount, cy - FirstInside(y, scale));
    if (left >= right || low >= high) return;
    const FireBand band{int32_t(low), int32_t(high - low), int32_t(left), int32_t(right - left)};
    const int32_t atX = int32_t(x + left * scale), atY = int32_t(y + (cy - high) * scale);
    const int32_t width = int32_t((right - left) * scale), rows = int32_t((high - low) * scale);
    if (m_shared) {
        const XImage* picture = m_shared->image;
        // Written once the server has drawn everything asked of it before.
        XSync(m_display, False);
        ComposeInto(box, band, SharedPixels(atX, atY), picture->bytes_per_line, picture->bits_per_pixel);
        Show(atX, atY, width, rows);
        return;
    }
    Image* image = ImageFor(width, rows);
    if (!image) return;
    XImage* xi = image->image;
    if (DirectFormat(*xi)) {
        ComposeInto(box, band, reinterpret_cast<uint8_t*>(xi->data), xi->bytes_per_line, xi->bits_per_pixel);
    } else {
        m_scratch.resize(std::size_t(width) * std::size_t(rows));
        ComposeBand(box, band, m_pixels, m_format.Opaque(), m_scratch.data(), width);
        for (int32_t row = 0; row < rows; ++row)
            for (int32_t col = 0; col < width; ++col)
                XPutPixel(xi, col, row, m_scratch[std::size_t(row) * std::size_t(width) + std::size_t(col)]);
    }
    if (image->shared)
        XShmPutImage(m_display, m_pixmap, m_gc, xi, 0, 0, atX, atY, unsigned(width), unsigned(rows), False);
    else
        XPutImage(m_display, m_pixmap, m_gc, xi, 0, 0, atX, atY, unsigned(width), unsigned(rows));
    Show(atX, atY, width, rows);
}

void HackCanvas::Capture(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t* bits, int32_t stride,
                         uint32_t* captured) {
    for (int32_t row = 0; row < height; ++row) std::memset(bits + std::ptrdiff_t(row) * stride, 0, std::size_t(width));
    if (captured)
        std::fill_n(captured, std::size_t(width) * std::size_t(height), PackCaptured(m_format.Encode(Rgb{0, 0, 0}), 0));
    if (!m_nearest) return;
    // Only the part that lies on the picture is read.
    const int32_t left = std::max(x, 0), top = std::max(y, 0);
    const int32_t right = std::min(x + width, m_size.width), bottom = std::min(y + height, m_size.height);
    if (left >= right || top >= bottom) return;
    // Row `top` of the screen is row (y + height - 1 - top) of the bottom-up buffer.
    uint8_t* firstRow = bits + std::ptrdiff_t(y + height - 1 - (bottom - 1)) * stride + (left - x);
    uint32_t* kept = captured ? captured + std::ptrdiff_t(top - y) * width + (left - x) : nullptr;
    if (m_shared) {
        const XImage* picture = m_shared->image;
        XSync(m_display, False);
        ReduceToBottomUp(SharedPixels(left, top), picture->bytes_per_line, right - left, bottom - top,
                         picture->bits_per_pixel / 8, m_format, *m_nearest, firstRow, stride, kept, width);
        return;
    }
    XImage* xi = XGetImage(m_display, m_pixmap, left, top, unsigned(right - left), unsigned(bottom - top), AllPlanes,
                           ZPixmap);
    if (!xi) return;
    if (DirectFormat(*xi)) {
        ReduceToBottomUp(reinterpret_cast<const uint8_t*>(xi->data), xi->bytes_per_line, right - left, bottom - top,
                         xi->bits_per_pixel / 8, m_format, *m_nearest, firstRow, stride, kept, width);
    } else {
        for (int32_t row = 0; row < bottom - top; ++row) {
            uint8_t* out = firstRow + std::ptrdiff_t(bottom - top - 1 - row) * stride;
            for (int32_t col = 0; col < right - left; ++col) {
                const uint32_t pixel = uint32_t(XGetPixel(xi, col, row));
                const Rgb c = m_format.Decode(pixel);
                out[col] = m_nearest->Index(c.red, c.green, c.blue);
                if (kept) kept[std::ptrdiff_t(row) * width + col] = PackCaptured(pixel, out[col]);
            }
        }
    }
    XDestroyImage(xi);
}

void HackCanvas::BeginLines(int32_t width) {
    XSetLineAttributes(m_display, m_gc, unsigned(std::max(0, width)), LineSolid, CapRound, JoinRound);
}

void HackCanvas::Line(Rgb colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    XSetForeground(m_display, m_gc, m_format.Encode(colour));
    // X coordinates are 16-bit; a far-flown point is clamped rather than wrapped.
    const auto c = [](int32_t v) { return std::clamp(v, -32768, 32767); };
    XDrawLine(m_display, m_pixmap, m_gc, c(x1), c(y1), c(x2), c(y2));
    XDrawLine(m_display, m_window, m_gc, c(x1), c(y1), c(x2), c(y2));
}

void HackCanvas::Show(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    XCopyArea(m_display, m_pixmap, m_window, m_gc, x, y, unsigned(width), unsigned(height), x, y);
}
