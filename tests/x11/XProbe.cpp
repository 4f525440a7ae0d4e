// A small Xlib helper for the hack's end-to-end tests:
//   x11_probe host WIDTH HEIGHT [DEPTH]   opens a window with a teal background (of the given
//       depth's TrueColor visual, default the screen's), prints its id in hex, then reads
//       commands from standard input: "destroy" destroys the window; end of input exits.
//       Plays the settings program's preview area. DEPTH "input" makes an InputOnly window.
//   x11_probe stats WINDOW|root           counts what the drawable shows, in one line:
//       pixels, wood (red flame: red >= 64, green and blue under half of it), kryptonite
//       (green likewise), gas (blue likewise), hot (all three >= 200), black (0,0,0),
//       teal (the host's background), desktop (the tests' desktop picture: magenta or grey
//       between 60 and 200), lit (neither black nor teal), and wood_box etc.: the bounds of
//       those pixels, -1 when none.
//   x11_probe geometry WINDOW              prints WIDTHxHEIGHT.
//   x11_probe paint DRAWABLE FILE.ppm      draws a binary 8-bit PPM at the drawable's top-left
//       corner, as a desktop helper draws its picture.
//   x11_probe close WINDOW                 asks the window to close, as a window manager's
//       close button does (WM_DELETE_WINDOW).
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "PixelFormat.h"

namespace {
constexpr Rgb kTeal{0, 128, 128};

struct Box {
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    void Add(int x, int y) {
        if (x0 < 0 || x < x0) x0 = x;
        if (y0 < 0 || y < y0) y0 = y;
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
};

bool Dominant(int main, int a, int b) { return main >= 64 && 2 * a < main && 2 * b < main; }

// Prints the window's id, then destroys it on "destroy" until the end of input.
int Serve(Display* d, Window w) {
    XMapRaised(d, w);
    XSync(d, False);
    std::printf("0x%lx\n", w);
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line == "destroy") {
            XDestroyWindow(d, w);
            XSync(d, False);
            std::printf("destroyed\n");
            std::fflush(stdout);
        }
    }
    return 0;
}

int Host(Display* d, int width, int height, int depth) {
    const int screen = DefaultScreen(d);
    XVisualInfo info{};
    if (depth == 0) depth = DefaultDepth(d, screen);
    if (!XMatchVisualInfo(d, screen, depth, TrueColor, &info)) {
        std::fprintf(stderr, "x11_probe: no TrueColor visual of depth %d\n", depth);
        return 2;
    }
    const auto format = PixelFormat::FromMasks(uint32_t(info.red_mask), uint32_t(info.green_mask),
                                               uint32_t(info.blue_mask), depth);
    XSetWindowAttributes a{};
    a.colormap = XCreateColormap(d, RootWindow(d, screen), info.visual, AllocNone);
    a.background_pixel = format->Encode(kTeal);
    a.border_pixel = 0;
    const Window w = XCreateWindow(d, RootWindow(d, screen), 0, 0, unsigned(width), unsigned(height), 0, depth,
                                   InputOutput, info.visual, CWColormap | CWBackPixel | CWBorderPixel, &a);
    XStoreName(d, w, "Preview host");
    return Serve(d, w);
}

int Stats(Display* d, Window w) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, w, &attributes)) return 2;
    XImage* image = XGetImage(d, w, 0, 0, unsigned(attributes.width), unsigned(attributes.height), AllPlanes, ZPixmap);
    if (!image) return 2;
    const Visual* v = attributes.visual;
    const auto format = PixelFormat::FromMasks(uint32_t(v->red_mask), uint32_t(v->green_mask), uint32_t(v->blue_mask),
                                               attributes.depth);
    long wood = 0, kryptonite = 0, gas = 0, hot = 0, black = 0, teal = 0, desktop = 0, lit = 0;
    Box woodBox, kryptoniteBox, gasBox, litBox;
    for (int y = 0; y < attributes.height; ++y)
        for (int x = 0; x < attributes.width; ++x) {
            const Rgb c = format->Decode(uint32_t(XGetPixel(image, x, y)));
            const int r = c.red, g = c.green, b = c.blue;
            if (Dominant(r, g, b)) ++wood, woodBox.Add(x, y);
            else if (Dominant(g, r, b)) ++kryptonite, kryptoniteBox.Add(x, y);
            else if (Dominant(b, r, g)) ++gas, gasBox.Add(x, y);
            if (r >= 200 && g >= 200 && b >= 200) ++hot;
            if (r == 0 && g == 0 && b == 0) ++black;
            const bool isTeal = r == kTeal.red && g == kTeal.green && b == kTeal.blue;
            if (isTeal) ++teal;
            if (!isTeal && (r || g || b)) ++lit, litBox.Add(x, y);
            const bool magenta = r >= 128 && b >= 128 && g < 64 && std::abs(r - b) < 40;
            const bool grey = r == g && g == b && r >= 60 && r <= 200;
            if (magenta || grey) ++desktop;
        }
    XDestroyImage(image);
    const auto show = [](const char* name, const Box& b) { std::printf(" %s_box=%d,%d,%d,%d", name, b.x0, b.y0, b.x1, b.y1); };
    std::printf("pixels=%ld wood=%ld kryptonite=%ld gas=%ld hot=%ld black=%ld teal=%ld desktop=%ld lit=%ld",
                long(attributes.width) * attributes.height, wood, kryptonite, gas, hot, black, teal, desktop, lit);
    show("wood", woodBox);
    show("kryptonite", kryptoniteBox);
    show("gas", gasBox);
    show("lit", litBox);
    std::printf("\n");
    return 0;
}

int Paint(Display* d, Drawable drawable, const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    file >> magic >> width >> height >> maximum;
    file.get();
    const std::vector<unsigned char> rgb((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (magic != "P6" || maximum != 255 || width <= 0 || height <= 0 || rgb.size() < std::size_t(width) * height * 3) {
        std::fprintf(stderr, "x11_probe: %s is not a binary 8-bit PPM\n", path);
        return 2;
    }
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (!XGetGeometry(d, drawable, &root, &x, &y, &w, &h, &border, &depth)) return 2;
    XVisualInfo info{};
    if (!XMatchVisualInfo(d, DefaultScreen(d), int(depth), TrueColor, &info)) return 2;
    const auto format = PixelFormat::FromMasks(uint32_t(info.red_mask), uint32_t(info.green_mask),
                                               uint32_t(info.blue_mask), int(depth));
    const int cx = std::min(width, int(w)), cy = std::min(height, int(h));
    XImage* image = XCreateImage(d, info.visual, depth, ZPixmap, 0, nullptr, unsigned(cx), unsigned(cy), 32, 0);
    if (!image || !format) return 2;
    std::vector<char> pixels(std::size_t(image->bytes_per_line) * std::size_t(cy));
    image->data = pixels.data();
    for (int row = 0; row < cy; ++row)
        for (int col = 0; col < cx; ++col) {
            const unsigned char* p = &rgb[(std::size_t(row) * std::size_t(width) + std::size_t(col)) * 3];
            XPutPixel(image, col, row, format->Encode(Rgb{p[0], p[1], p[2]}));
        }
    GC gc = XCreateGC(d, drawable, 0, nullptr);
    XPutImage(d, drawable, gc, image, 0, 0, 0, 0, unsigned(cx), unsigned(cy));
    XFreeGC(d, gc);
    XSync(d, False);
    image->data = nullptr;
    XDestroyImage(image);
    return 0;
}

Window ParseWindow(Display* d, const char* text) {
    if (std::strcmp(text, "root") == 0) return DefaultRootWindow(d);
    return Window(std::strtoul(text, nullptr, 0));
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: x11_probe host W H [DEPTH] | stats WINDOW|root | geometry WINDOW | close WINDOW"
                             " | paint DRAWABLE FILE.ppm\n");
        return 2;
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "x11_probe: cannot open display\n");
        return 2;
    }
    const std::string mode = argv[1];
    int status = 2;
    if (mode == "host" && argc >= 5 && std::strcmp(argv[4], "input") == 0) {
        XSetWindowAttributes a{};
        status = Serve(d, XCreateWindow(d, DefaultRootWindow(d), 0, 0, unsigned(std::atoi(argv[2])),
                                        unsigned(std::atoi(argv[3])), 0, 0, InputOnly, CopyFromParent, 0, &a));
    } else if (mode == "host" && argc >= 4) {
        status = Host(d, std::atoi(argv[2]), std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 0);
    } else if (mode == "stats") {
        status = Stats(d, ParseWindow(d, argv[2]));
    } else if (mode == "close") {
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = ParseWindow(d, argv[2]);
        e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
        e.xclient.format = 32;
        e.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
        e.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
        XSync(d, False);
        status = 0;
    } else if (mode == "paint" && argc >= 4) {
        status = Paint(d, ParseWindow(d, argv[2]), argv[3]);
    } else if (mode == "geometry") {
        XWindowAttributes a{};
        if (XGetWindowAttributes(d, ParseWindow(d, argv[2]), &a)) {
            std::printf("%dx%d\n", a.width, a.height);
            status = 0;
        }
    }
    XCloseDisplay(d);
    return status;
}
