#!/usr/bin/env python3
"""Draws bench-cost.sh's figures as a bar chart in ImageMagick's vector format (MVG) on
standard output, for `convert mvg:- chart.png`:
    cost-chart.py RESULTS DATE MACHINE SECONDS
RESULTS has lines "program:WxH program% server% xserver%"; each bar stacks the three."""
import sys

NAMES = {"wine": "Kindlewick under Wine (/s)", "hack": "Linux hack --root", "xflame": "xflame, 30 frames/s"}
PARTS = [("the program", "#c0392b"), ("its server (wineserver)", "#e67e22"), ("the X server", "#7f8c8d")]


# Named by file: ImageMagick's own font names need Ghostscript's fonts, which Debian does not
# always install, and without a font the text is left out with only a warning.
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"


def main(argv):
    results, date, machine, seconds = argv[1:5]
    rows = {}
    for line in open(results):
        label, *shares = line.split()
        program, screen = label.split(":")
        rows.setdefault(screen, {})[program] = [float(v) for v in shares]
    screens = list(rows)
    top = max([sum(v) for r in rows.values() for v in r.values()] + [10])
    scale = 100 * ((int(top) // 100) + 1) if top > 100 else 10 * ((int(top) // 10) + 1)
    width, height, left, bottom, plot = 900, 520, 80, 440, 330
    bar, gap = 50, 30
    out = [f"viewbox 0 0 {width} {height}", "fill white", f"rectangle 0,0 {width},{height}"]

    def text(x, y, words, anchor="start", size=13, bold=False):
        words = words.replace("\\", "").replace('"', "'")
        face = FONT_BOLD if bold else FONT
        out.append(f"fill black stroke none font '{face}' font-size {size} "
                   f'text-anchor {anchor} text {x:.1f},{y:.1f} "{words}"')

    def rect(x, y, w, h, colour):
        out.append(f"fill {colour} stroke none rectangle {x:.1f},{y:.1f} {x + w:.1f},{y + h:.1f}")

    text(20, 28, "CPU share of one core, full screen", size=18, bold=True)
    text(20, 50, f"{date} - {machine} - {seconds} s samples - a snapshot on a shared machine")
    for i in range(0, 11):
        value = scale * i / 10
        y = bottom - plot * i / 10
        out.append(f"fill none stroke #dddddd line {left},{y:.1f} {width - 20},{y:.1f}")
        text(left - 8, y + 4, f"{value:g}%", "end")
    x = left + gap
    for screen in screens:
        start = x
        for program in ("wine", "hack", "xflame"):
            shares = rows[screen].get(program, [0, 0, 0])
            y = bottom
            for share, (_, colour) in zip(shares, PARTS):
                h = plot * share / scale
                y -= h
                rect(x, y, bar, h, colour)
            text(x + bar / 2, y - 4, f"{sum(shares):.0f}%", "middle")
            text(x + bar / 2, bottom + 16, program, "middle", 11)
            x += bar + 6
        text((start + x - 6) / 2, bottom + 34, screen, "middle", bold=True)
        x += gap
    legend_y = bottom + 58
    lx = left
    for part, colour in PARTS:
        rect(lx, legend_y - 10, 12, 12, colour)
        text(lx + 18, legend_y, part)
        lx += 200
    text(left, legend_y + 18, " - ".join(f"{k}: {v}" for k, v in NAMES.items()), size=11)
    print("\n".join(out))


if __name__ == "__main__":
    main(sys.argv)
