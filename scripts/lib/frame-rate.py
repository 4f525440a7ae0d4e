#!/usr/bin/python3
"""Frames per second shown on the X screen, from screenshot diffs:
    frame-rate.py [SECONDS]
Grabs the root window as fast as it can for SECONDS (5) and counts the grabs that differ
from the one before. Prints "fps=F grabs=G": F is a frame rate while G is well above it."""
import ctypes
import ctypes.util
import sys
import time
import zlib


class XImage(ctypes.Structure):
    # The leading fields of Xlib's XImage, up to the row length.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


def main():
    seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 5.0
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XDisplayWidth.argtypes = x.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("frame-rate: cannot open the display")
    root = x.XDefaultRootWindow(display)
    width, height = x.XDisplayWidth(display, 0), x.XDisplayHeight(display, 0)
    z_pixmap, all_planes = 2, 0xFFFFFFFF
    grabs = changes = 0
    last = None
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        image = x.XGetImage(display, root, 0, 0, width, height, all_planes, z_pixmap)
        if not image:
            sys.exit("frame-rate: cannot read the screen")
        crc = zlib.crc32(ctypes.string_at(image.contents.data, image.contents.bytes_per_line * height))
        x.XDestroyImage(image)
        grabs += 1
        if last is not None and crc != last:
            changes += 1
        last = crc
    elapsed = time.monotonic() - start
    print("fps=%.1f grabs=%.1f" % (changes / elapsed, grabs / elapsed))


main()
