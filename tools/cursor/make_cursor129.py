#!/usr/bin/env python3
"""Writes win/res/cursor129.cur, the class cursor of the fire windows: a small flame whose
tip is the hot spot. Run from anywhere; the output is the same byte for byte every time."""
import os
import struct

# '#' black, 'o' white, anything else transparent. 32 x 32, top row first.
SHAPE = [
    "#...............................",
    "##..............................",
    "#o#.............................",
    "#oo#............................",
    "#ooo#...........................",
    "#oooo#..........................",
    "#ooooo#.........................",
    "#oooooo#........................",
    "#ooooooo#.......................",
    "#oooooooo#......................",
    "#ooooo#####.....................",
    "#oo#oo#.........................",
    "#o##oo#.........................",
    "##..#oo#........................",
    "#...#oo#........................",
    ".....#oo#.......#...............",
    ".....#oo#......#o#..............",
    "......##......#oo#..............",
    "..............#ooo#.............",
    ".......#.....#oooo#.............",
    "......#o#...#ooooo#......#......",
    "......#oo#..#oooooo#....#o#.....",
    ".....#oooo##ooo#oooo#..#oo#.....",
    ".....#ooooooooo#ooooo##ooo#.....",
    "....#ooooooooo#.#oooooooooo#....",
    "....#oooooooo#...#ooooooooo#....",
    "....#ooooooo#.....#oooooooo#....",
    "....#oooooooo#...#ooooooooo#....",
    ".....#oooooooo###ooooooooo#.....",
    "......##ooooooooooooooooo#......",
    "........#################.......",
    "................................",
]
HOTSPOT = (0, 0)


def rows_bits(pick):
    """1-bit rows, bottom row first, 4 bytes each."""
    data = b""
    for line in reversed(SHAPE):
        assert len(line) == 32
        value = 0
        for ch in line:
            value = (value << 1) | (1 if pick(ch) else 0)
        data += struct.pack(">I", value)
    return data


def cursor_bytes():
    assert len(SHAPE) == 32
    xor = rows_bits(lambda ch: ch == "o")
    # The AND mask keeps the screen where the cursor is transparent.
    mask = rows_bits(lambda ch: ch not in "#o")
    header = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    colours = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = header + colours + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 0, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    return directory + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = os.path.join(here, "..", "..", "res", "cursor129.cur")
    with open(target, "wb") as f:
        f.write(cursor_bytes())


if __name__ == "__main__":
    main()
