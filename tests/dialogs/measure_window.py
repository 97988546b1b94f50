#!/usr/bin/env python3
"""Measures a window from its screenshot and checks it against the numbers it should have.

Usage:
  measure_window.py layout IMAGE LAYOUT [TOLERANCE]
      IMAGE is a screenshot of the dialog window alone; LAYOUT the output of
      "dialog_probe --layout" ("ventana W H", "boton K LEFT TOP WIDTH HEIGHT"). Checks the
      image's size and finds the buttons in it: a button's top and bottom edges are rows of
      at least 60 pixels that differ from the background (the commonest colour). Buttons that
      overlap are found as one, so their expected places are merged the same way, and parts
      outside the window are cut off.
  measure_window.py area IMAGE WIDTH HEIGHT R,G,B LEFT,TOP,WIDTH,HEIGHT [TOLERANCE]
      Checks the image's size and that the pixels of colour R,G,B span the given box.
  measure_window.py icon WINDOW
      Checks that the X window carries the program's icon (_NET_WM_ICON, read with xprop): a
      32 x 32 image, opaque, white in the arrow and blue around it.

Each check prints one "ok" or "FAIL" line. TOLERANCE (pixels, default 2) allows for the
toolkits' frames. Exit status: 0 every check passed, 1 a check failed, 2 wrong arguments or
an image that cannot be read.
"""
import subprocess
import sys
from collections import Counter

MIN_EDGE = 60  # shortest button edge looked for; the icon patch (42 wide) is shorter
STRIP = 12     # the dialog's title strip, a band of its own colour


def read_image(path):
    size = subprocess.check_output(["identify", "-format", "%w %h", path]).split()
    w, h = int(size[0]), int(size[1])
    raw = subprocess.check_output(["convert", path, "-depth", "8", "rgb:-"])
    if len(raw) != w * h * 3:
        raise ValueError("%s: %d bytes for %dx%d pixels" % (path, len(raw), w, h))
    pixels = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
    return w, h, pixels


def close(a, b, tolerance):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def check(ok, text):
    print(("ok   " if ok else "FAIL ") + text)
    return ok


def find_buttons(w, h, pixels):
    """Rectangles (left, top, width, height) bounded by long rows of non-background pixels."""
    background = Counter(pixels).most_common(1)[0][0]
    extents = {}
    for y in range(STRIP + 1, h):
        row = pixels[y * w:(y + 1) * w]
        x = 0
        while x < w:
            if row[x] == background:
                x += 1
                continue
            start = x
            while x < w and row[x] != background:
                x += 1
            if x - start >= MIN_EDGE:
                top, bottom = extents.get((start, x), (y, y))
                extents[(start, x)] = (min(top, y), max(bottom, y))
    rects = [(x0, top, x1 - x0, bottom - top + 1) for (x0, x1), (top, bottom) in extents.items()]
    return sorted(r for r in rects if r[3] >= 5)  # a frame line alone is no button


def merge(rects, width):
    """Expected rectangles cut to the window and merged where they overlap or touch."""
    cut = []
    for left, top, w, h in rects:
        right = min(left + w, width)
        if right > max(left, 0):
            cut.append([max(left, 0), top, right, top + h])
    cut.sort()
    merged = []
    for r in cut:
        if merged and r[0] <= merged[-1][2] and r[1] < merged[-1][3] and r[3] > merged[-1][1]:
            m = merged[-1]
            merged[-1] = [m[0], min(m[1], r[1]), max(m[2], r[2]), max(m[3], r[3])]
        else:
            merged.append(r)
    return [(l, t, r - l, b - t) for l, t, r, b in merged]


def layout_check(image, layout_path, tolerance):
    w, h, pixels = read_image(image)
    expected_size, buttons = None, []
    for line in open(layout_path):
        words = line.split()
        if words[:1] == ["ventana"]:
            expected_size = (int(words[1]), int(words[2]))
        elif words[:1] == ["boton"]:
            buttons.append(tuple(int(v) for v in words[2:6]))
    if expected_size is None:
        print("FAIL layout: %s holds no window size" % layout_path)
        return False
    ok = check(close((w, h), expected_size, tolerance),
               "window %dx%d, layout %dx%d" % (w, h, *expected_size))
    found = find_buttons(w, h, pixels)
    for rect in merge(buttons, w):
        match = [f for f in found if close(f, rect, tolerance)]
        ok &= check(bool(match), "button at %d,%d %dx%d: found %s" % (
            *rect, "%d,%d %dx%d" % match[0] if match else "none among " + repr(found)))
    return ok


def area_check(image, width, height, colour, box, tolerance):
    w, h, pixels = read_image(image)
    ok = check(close((w, h), (width, height), tolerance),
               "window %dx%d, design %dx%d" % (w, h, width, height))
    xs = [i % w for i, p in enumerate(pixels) if p == colour]
    ys = [i // w for i, p in enumerate(pixels) if p == colour]
    if not xs:
        return check(False, "no pixel of colour %s" % (colour,))
    found = (min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)
    # The design's box, cut to the window.
    want = (box[0], box[1], min(box[2], w - box[0]), min(box[3], h - box[1]))
    return ok & check(close(found, want, tolerance),
                      "colour %s spans %d,%d %dx%d, design %d,%d %dx%d" % (colour, *found, *want))


def icon_check(window):
    out = subprocess.run(["xprop", "-id", window, "-notype", "32c", "_NET_WM_ICON"],
                         capture_output=True, text=True).stdout
    if "=" not in out:
        return check(False, "window %s carries no icon" % window)
    values = [int(v) for v in out.split("=", 1)[1].replace(",", " ").split()]
    images, i = {}, 0
    while i + 2 <= len(values):
        w, h = values[i], values[i + 1]
        images[(w, h)] = values[i + 2:i + 2 + w * h]
        i += 2 + w * h
    sizes = sorted(images)
    if (32, 32) not in images:
        return check(False, "window %s icon sizes %s, none 32x32" % (window, sizes))
    icon = images[(32, 32)]

    def argb(x, y):
        v = icon[y * 32 + x]
        return (v >> 24) & 255, (v >> 16) & 255, (v >> 8) & 255, v & 255

    arrow, around = argb(16, 18), argb(6, 16)
    ok = arrow[0] == 255 and min(arrow[1:]) >= 240 and around[0] == 255 and around[3] > 2 * around[1]
    return check(ok, "window %s icon sizes %s, arrow %s, around it %s" % (window, sizes, arrow, around))


def main(argv):
    try:
        if len(argv) in (4, 5) and argv[1] == "layout":
            ok = layout_check(argv[2], argv[3], int(argv[4]) if len(argv) == 5 else 2)
        elif len(argv) in (7, 8) and argv[1] == "area":
            colour = tuple(int(v) for v in argv[5].split(","))
            box = tuple(int(v) for v in argv[6].split(","))
            ok = area_check(argv[2], int(argv[3]), int(argv[4]), colour, box,
                            int(argv[7]) if len(argv) == 8 else 2)
        elif len(argv) == 3 and argv[1] == "icon":
            ok = icon_check(argv[2])
        else:
            print(__doc__.strip())
            return 0 if len(argv) == 2 and argv[1] in ("-h", "--help") else 2
    except (OSError, ValueError, subprocess.CalledProcessError) as e:
        print("FAIL %s" % e)
        return 2
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
