#pragma once
// Everything the hack draws goes into a pixmap the size of the window and from there to
// the window: exposures are redrawn from it, and captures read the picture back from it,
// the remains of earlier fires included. Where the server shares a pixmap's memory, the
// picture is such a pixmap and the hack writes and reads its pixels in place; otherwise fire
// buffers travel as XImages, through shared memory when the server offers it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "ColourTable.h"
#include "Compose.h"
#include "FireBand.h"
#include "HackWindow.h"
#include "NearestColour.h"
#include "PixelFormat.h"
#include "XConnection.h"

class HackCanvas {
public:
    // How far the hack may share memory with the server, where the server offers it.
    enum class Sharing { Off, Images, Picture };
    HackCanvas(XConnection& connection, const HackWindow& window, const PixelFormat& format, Sharing sharing);
    ~HackCanvas();
    HackCanvas(const HackCanvas&) = delete;
    HackCanvas& operator=(const HackCanvas&) = delete;

    // False when the server could not make the picture; nothing else may be called then.
    bool Usable() const { return m_pixmap != 0; }
    Pixmap Picture() const { return m_pixmap; }
    WindowSize Size() const { return m_size; }
    bool UsesShm() const { return m_shm; }
    // Whether captures keep the pixels as they were, for untouched cells to show them: on
    // TrueColor visuals whose colours leave the top byte of a pixel free.
    bool FullColour() const { return m_fullColour; }

    // The colours of the fire buffers' indices.
    void SetColours(const ColourTable& colours);
    // Copies the region of the root window under the window into the picture.
    bool CopyFromRoot();
    void FillBlack();
    // The band's cells of the box, composed as Compose.h says, into the picture and the
    // window, the box's top-left corner at (x, y); the part off the picture is left out.
    void Present(const BoxPixels& box, int32_t x, int32_t y, const FireBand& band);
    // A block of the picture as colour indices, bottom row first; outside the picture is black.
    // With `captured` (width x height values, top row first) each pixel is kept as well.
    void Capture(int32_t x, int32_t y, int32_t width, int32_t height, uint8_t* bits, int32_t stride,
                 uint32_t* captured);
    void BeginLines(int32_t width);
    void Line(Rgb colour, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    // Shows the picture in the window, all of it or one exposed rectangle.
    void Show(int x, int y, int width, int height);
    void ShowAll() { Show(0, 0, m_size.width, m_size.height); }

private:
    struct Image;
    Image* ImageFor(int32_t width, int32_t height);
    // A pixmap on memory shared with the server, or 0 where it refuses one.
    Pixmap MakeSharedPicture();
    // Where the shared picture's pixel (left, top) lies in its memory.
    uint8_t* SharedPixels(int32_t left, int32_t top) const;
    // Composes the band into an image's memory at `to`, `bytesPerLine` a row.
    void ComposeInto(const BoxPixels& box, const FireBand& band, uint8_t* to, int32_t bytesPerLine,
                     int32_t bitsPerPixel) const;
    bool AttachSegment(Image& image, XImage& x, std::size_t bytes);

    XConnection& m_connection;
    Display* m_display;
    Window m_window;
    WindowSize m_size;
    int m_depth;
    Visual* m_visual;
    PixelFormat m_format;
    bool m_fullColour;
    bool m_shm;
    Pixmap m_pixmap = 0;
    GC m_gc = nullptr;
    ScreenColours m_pixels{};
    std::unique_ptr<NearestColour> m_nearest;
    // A band composed for an image whose pixels only Xlib's calls may write.
    std::vector<uint32_t> m_scratch;
    std::unique_ptr<Image> m_image;
    std::unique_ptr<Image> m_shared;  // the picture's memory, when the server shares it
};
