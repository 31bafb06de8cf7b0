#!/usr/bin/env python3
"""Draws Quillet's pictures and writes them as Windows icon and bitmap files (the splash packed).

    make-pictures.py OUTPUT-DIR

Everything is drawn here from simple shapes (rectangles, circles, rings, strokes, polygons)
with a small anti-aliasing rasteriser, so the program carries no picture made elsewhere and
the build needs nothing but Python's standard library. The build runs this script and
compiles its output into Quillet.exe with windres (win32/resources/quillet.rc).

Files written (the resource names are in app/resource_names.h):

  quillet.ico           the program icon: 16, 20, 24, 32, 40, 48 and 64 px in 32-bit colour
                        with alpha (the small and large icon sizes of 96 to 192 dpi; 40 and
                        64 px as PNG, see ICON_PNG_SIZES), and 16 and 32 px in 16 colours
                        with a mask for displays and systems without alpha-blended icons
  warning.ico           the low-resource warning's sign: 32, 40, 48 and 64 px in 32-bit colour
                        with alpha (40 and 64 px as PNG) and 32 px in 16 colours
  glyph_hide.bmp        16 x 16 button pictures, 24-bit. The transparent colour is magenta
  glyph_exit.bmp        (R 255, G 0, B 255), and the bottom-left pixel of every one of them is
  glyph_recover.bmp     that colour, so both "a fixed key colour" and "the colour of the
  glyph_tune.bmp        bottom-left pixel" find the same transparent pixels. Edges are
  glyph_shortcut.bmp    smoothed against the background the picture sits on (the button face,
  glyph_auto_on.bmp     or the black monitor panel), see GLYPHS below.
  glyph_auto_off.bmp
  splash.pack           the 377 x 63 product picture of the start-up window, 24-bit, packed
                        (see packed_picture below); splash.bmp is the same picture unpacked,
                        which the program does not carry (the unit tests compare the two)

and for screens of more than 96 dpi (display scale), drawn anew at each size rather than
stretched: glyph_*_20.bmp, _24 and _32 (the glyphs at 20, 24 and 32 px), splash_150.pack and
splash_200.pack (the product picture at 1.5 and 2 times, packed; splash_150.bmp and
splash_200.bmp the same pictures unpacked, RLE8), all in 8-bit colour with a palette of the
picture's own colours to keep the program small. Shapes are given in the 96-dpi picture's units
and a canvas of another scale samples them at its pixels.

    make-pictures.py --splash-only OUTPUT-DIR

writes the splash files alone (for the unit tests of the packed pictures).

The drawing is deterministic: the same script gives the same bytes.
"""

import math
import os
import struct
import sys
import zlib

# --- Colours ----------------------------------------------------------------------------------
# The program's monitor colours: lime on black.
BLACK = (0, 0, 0)
LIME = (0, 255, 0)
WHITE = (255, 255, 255)
KEY = (255, 0, 255)          # transparent colour of the button pictures
BUTTON_FACE = (212, 208, 200)  # the classic button face the glyph edges are smoothed against

CHIP_BODY = (14, 20, 14)
CHIP_BODY_TOP = (40, 52, 40)
PIN = (168, 176, 168)
PIN_DARK = (96, 104, 96)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def scaled_length(length, percent):
    """A 96-dpi length at a display scale, rounded as the program rounds it (halves away from
    zero; platform/display_scale.h)."""
    return (length * percent + 50) // 100


# --- Shapes -----------------------------------------------------------------------------------
# A shape is (bounding box, test): the box is (x0, y0, x1, y1) in pixels, the test tells
# whether a point (in pixel units, y downwards) lies inside.

def rect(x0, y0, x1, y1):
    return ((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1)


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return ((x0, y0, x1, y1), inside)


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    return ((cx - rx, cy - ry, cx + rx, cy + ry),
            lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0)


def _angle_in(a, start, end):
    """Whether angle a (degrees, 0 = right, counter-clockwise, y up) lies in [start, end]."""
    span = (end - start) % 360.0 or 360.0
    return (a - start) % 360.0 <= span


def ring(cx, cy, rx, ry, width, start=0.0, end=360.0):
    """An elliptic stroke of the given width along the ellipse (rx, ry), from angle start to
    end (degrees, counter-clockwise on screen, 0 pointing right)."""
    ox, oy = rx + width / 2.0, ry + width / 2.0
    ix, iy = rx - width / 2.0, ry - width / 2.0
    full = (end - start) % 360.0 == 0.0

    def inside(x, y):
        dx, dy = x - cx, y - cy
        if (dx / ox) ** 2 + (dy / oy) ** 2 > 1.0:
            return False
        if ix > 0 and iy > 0 and (dx / ix) ** 2 + (dy / iy) ** 2 < 1.0:
            return False
        if full:
            return True
        return _angle_in(math.degrees(math.atan2(-dy / ry, dx / rx)), start, end)
    return ((cx - ox, cy - oy, cx + ox, cy + oy), inside)


def capsule(xa, ya, xb, yb, width, round_ends=True):
    """A straight stroke from (xa, ya) to (xb, yb): round ends, or square ends cut at the end
    points."""
    r = width / 2.0
    dx, dy = xb - xa, yb - ya
    length2 = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = ((x - xa) * dx + (y - ya) * dy) / length2
        if not round_ends and (t < 0.0 or t > 1.0):
            return False
        t = min(max(t, 0.0), 1.0)
        px, py = xa + t * dx - x, ya + t * dy - y
        return px * px + py * py <= r * r
    return ((min(xa, xb) - r, min(ya, yb) - r, max(xa, xb) + r, max(ya, yb) + r), inside)


def polygon(points):
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]

    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return ((min(xs), min(ys), max(xs), max(ys)), inside)


def union(*shapes):
    box = (min(s[0][0] for s in shapes), min(s[0][1] for s in shapes),
           max(s[0][2] for s in shapes), max(s[0][3] for s in shapes))

    def inside(x, y):
        for (x0, y0, x1, y1), test in shapes:
            if x0 <= x <= x1 and y0 <= y <= y1 and test(x, y):
                return True
        return False
    return (box, inside)


def minus(shape, *holes):
    cut = union(*holes)
    return (shape[0], lambda x, y: shape[1](x, y) and not cut[1](x, y))


def below_curve(points, bottom):
    """The area between a polyline (points sorted by x) and the line y = bottom."""
    def curve_y(x):
        for (xa, ya), (xb, yb) in zip(points, points[1:]):
            if xa <= x <= xb:
                return ya + (yb - ya) * (x - xa) / ((xb - xa) or 1)
        return bottom
    box = (points[0][0], min(p[1] for p in points), points[-1][0], bottom)
    return (box, lambda x, y: points[0][0] <= x < points[-1][0] and curve_y(x) <= y < bottom)


# --- Canvas -----------------------------------------------------------------------------------

class Canvas:
    """Straight-alpha RGBA pixels in floats (colour 0..255, alpha 0..1). Shapes and colour
    functions are in units of 1 / scale pixel (the 96-dpi picture's pixels)."""

    def __init__(self, width, height, background=None, samples=4, scale=1.0):
        self.width, self.height, self.samples, self.scale = width, height, samples, scale
        fill = (background, 1.0) if background is not None else ((0.0, 0.0, 0.0), 0.0)
        self.pixels = [[(tuple(fill[0]), fill[1]) for _ in range(width)] for _ in range(height)]

    def paint(self, shape, colour, opacity=1.0):
        """Composites a shape over the picture. colour is an (r, g, b) tuple or a function of
        (x, y) giving one."""
        (bx0, by0, bx1, by1), inside = shape
        n = self.samples
        k = self.scale
        offsets = [(i + 0.5) / n for i in range(n)]
        for py in range(max(0, int(math.floor(by0 * k))), min(self.height, int(math.ceil(by1 * k)) + 1)):
            for px in range(max(0, int(math.floor(bx0 * k))), min(self.width, int(math.ceil(bx1 * k)) + 1)):
                hits = 0
                for oy in offsets:
                    for ox in offsets:
                        if inside((px + ox) / k, (py + oy) / k):
                            hits += 1
                if hits == 0:
                    continue
                a = opacity * hits / (n * n)
                c = colour((px + 0.5) / k, (py + 0.5) / k) if callable(colour) else colour
                (r0, g0, b0), a0 = self.pixels[py][px]
                out = a + a0 * (1.0 - a)
                if out <= 0.0:
                    continue
                blend = tuple((c[i] * a + (r0, g0, b0)[i] * a0 * (1.0 - a)) / out for i in range(3))
                self.pixels[py][px] = (blend, out)

    def rgba(self, x, y):
        (r, g, b), a = self.pixels[y][x]
        return (int(round(r)), int(round(g)), int(round(b)), int(round(a * 255)))

    def flattened(self, background):
        """Rows of (r, g, b) with the picture laid over an opaque background colour."""
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                c, a = self.pixels[y][x]
                row.append(tuple(int(round(background[i] * (1 - a) + c[i] * a)) for i in range(3)))
            rows.append(row)
        return rows


def vertical_gradient(top_colour, bottom_colour, y0, y1):
    return lambda x, y: mix(top_colour, bottom_colour, min(max((y - y0) / ((y1 - y0) or 1), 0.0), 1.0))


# --- The chip ---------------------------------------------------------------------------------
# The program's sign: a memory chip seen from above, its pins on the long sides, with a rising
# level meter of lime bars on the black body. Each size has its own grid so that edges fall on
# whole pixels.

CHIP_GRIDS = {
    # body box, corner radius, outline width, pins (x positions, width, length),
    # bars (x positions, width, bottom, tops), notch radius
    16: dict(body=(1, 3, 15, 13), radius=1.0, outline=1, pins=([3, 6, 9, 12], 1, 2),
             bars=([4, 7, 10], 2, 11, [9, 7, 5]), notch=0),
    32: dict(body=(2, 7, 30, 25), radius=2.0, outline=1, pins=([5, 9, 13, 17, 21, 25], 2, 4),
             bars=([7, 13, 19, 25], 3, 22, [18, 15, 12, 9]), notch=2.5),
    48: dict(body=(3, 12, 45, 36), radius=3.0, outline=2, pins=([7, 13, 19, 25, 31, 37], 4, 6),
             bars=([10, 18, 26, 34], 5, 32, [26, 23, 20, 17]), notch=3.5),
}


def draw_chip(canvas, grid, dx=0.0, dy=0.0, scale=1.0, flat=False):
    """Draws the chip of a grid from CHIP_GRIDS, moved by (dx, dy) and scaled. flat draws in
    plain colours of the 16-colour palette (no gradients)."""
    def s(v):
        return v * scale

    x0, y0, x1, y1 = grid["body"]
    X0, Y0, X1, Y1 = dx + s(x0), dy + s(y0), dx + s(x1), dy + s(y1)
    xs, pin_w, pin_len = grid["pins"]
    for px in xs:
        pin_colour = (192, 192, 192) if flat else vertical_gradient(PIN, PIN_DARK, Y0 - s(pin_len), Y0)
        canvas.paint(rect(dx + s(px), Y0 - s(pin_len), dx + s(px + pin_w), Y0), pin_colour)
        pin_colour = (192, 192, 192) if flat else vertical_gradient(PIN_DARK, PIN, Y1, Y1 + s(pin_len))
        canvas.paint(rect(dx + s(px), Y1, dx + s(px + pin_w), Y1 + s(pin_len)), pin_colour)
    r = s(grid["radius"])
    outline = s(grid["outline"])
    edge = rounded_rect(X0, Y0, X1, Y1, r)
    body = rounded_rect(X0 + outline, Y0 + outline, X1 - outline, Y1 - outline, max(r - outline, 0.0))
    if grid["notch"]:
        # The notch that marks pin 1, cut through the left end.
        edge = minus(edge, ellipse(X0, (Y0 + Y1) / 2.0, s(grid["notch"])))
        body = minus(body, ellipse(X0, (Y0 + Y1) / 2.0, s(grid["notch"]) + outline))
    canvas.paint(edge, LIME)
    canvas.paint(body, BLACK if flat else vertical_gradient(CHIP_BODY_TOP, CHIP_BODY, Y0, Y1))
    bar_xs, bar_w, bottom, tops = grid["bars"]
    for bx, top in zip(bar_xs, tops):
        colour = LIME if flat else vertical_gradient((150, 255, 150), (0, 190, 0), dy + s(top), dy + s(bottom))
        canvas.paint(rect(dx + s(bx), dy + s(top), dx + s(bx + bar_w), dy + s(bottom)), colour)


# The sizes between the grids: a grid drawn at a scale whose edges still fall on whole pixels
# where they can (24 is the 48 px chip at half size, 64 the 32 px one at twice).
ICON_SCALED = {20: (16, 1.25), 24: (48, 0.5), 40: (32, 1.25), 64: (32, 2.0)}


def icon_picture(size, flat=False):
    canvas = Canvas(size, size, samples=1 if flat else 6)
    grid, scale = (size, 1.0) if size in CHIP_GRIDS else ICON_SCALED[size]
    draw_chip(canvas, CHIP_GRIDS[grid], scale=scale, flat=flat)
    return canvas


# --- The warning sign -------------------------------------------------------------------------
# The low-resource warning's picture: a yellow triangle with an exclamation mark.

def warning_picture(flat=False, size=32):
    c = Canvas(size, size, samples=1 if flat else 6, scale=size / 32.0)
    outline = polygon([(16, 1.5), (31, 29.5), (1, 29.5)])
    inner = polygon([(16, 5), (27.6, 27.3), (4.4, 27.3)])
    c.paint(outline, (0, 0, 0) if flat else (96, 72, 0))
    c.paint(inner, (255, 255, 0) if flat else vertical_gradient((255, 240, 110), (245, 190, 0), 5, 28))
    c.paint(union(capsule(16, 11, 16, 19.5, 3.2), ellipse(16, 23.6, 1.9)), BLACK)
    return c


# --- Button pictures ---------------------------------------------------------------------------

def glyph_hide(size=16):
    """最小化: the window goes down into the notification area."""
    c = Canvas(size, size, scale=size / 16.0)
    c.paint(rounded_rect(2, 12, 14, 15, 1), (72, 80, 72))
    c.paint(rect(3, 13, 13, 14), (150, 158, 150))
    c.paint(rect(10, 13, 12, 14), LIME)
    c.paint(union(rect(6, 1, 10, 6), polygon([(2.5, 6), (13.5, 6), (8, 11.5)])), (0, 50, 140))
    c.paint(union(rect(7, 2, 9, 6), polygon([(4.5, 7), (11.5, 7), (8, 10.5)])),
            vertical_gradient((120, 170, 255), (20, 90, 220), 1, 11))
    return c


def glyph_exit(size=16):
    """退出: an open door and an arrow going out of it."""
    c = Canvas(size, size, scale=size / 16.0)
    c.paint(rect(2, 1, 10, 15), (70, 70, 70))
    c.paint(rect(3, 2, 9, 15), (24, 24, 24))
    c.paint(rect(1, 14, 11, 15), (70, 70, 70))
    # The door, swung open towards the viewer on its left hinge.
    c.paint(polygon([(3, 2), (7, 3.5), (7, 15), (3, 14)]), (120, 60, 10))
    c.paint(polygon([(3.6, 2.9), (6.4, 4), (6.4, 14.2), (3.6, 13.4)]), (205, 130, 50))
    c.paint(rect(5, 8, 6, 10), (255, 230, 120))
    arrow = union(rect(8, 6.5, 12, 9.5), polygon([(11, 3.5), (15.5, 8), (11, 12.5)]))
    c.paint(arrow, (140, 0, 0))
    c.paint(union(rect(8, 7.5, 12, 8.5), polygon([(12, 5.5), (14, 8), (12, 10.5)])), (240, 50, 40))
    return c


def arc_arrow(cx, cy, r, width, start, end, head_length, head_width):
    """A round arrow going clockwise: a stroke along the circle between the angles start and
    end (degrees, counter-clockwise on screen, 0 pointing right), and a head at start pointing
    on clockwise."""
    def at(angle, radius):
        a = math.radians(angle)
        return (cx + radius * math.cos(a), cy - radius * math.sin(a))
    step = math.degrees(head_length / r)
    head = polygon([at(start + 1, r - head_width / 2.0), at(start - step, r), at(start + 1, r + head_width / 2.0)])
    return union(ring(cx, cy, r, r, width, start, end), head)


def glyph_recover(size=16):
    """释放: a green arrow going round, memory handed back."""
    c = Canvas(size, size, samples=6, scale=size / 16.0)
    c.paint(arc_arrow(8, 8.5, 4.8, 2.8, 100, 395, 4.2, 7.0), (0, 100, 0))
    c.paint(arc_arrow(8, 8.5, 4.8, 1.2, 104, 392, 2.6, 4.2), vertical_gradient((110, 240, 110), (20, 170, 20), 2, 14))
    return c


def glyph_tune(size=16):
    """调整内存: two sliders (the button sits on the black panel, next to yellow text)."""
    c = Canvas(size, size, scale=size / 16.0)
    for y, knob in ((4, 9), (11, 3)):
        c.paint(rect(1, y, 15, y + 1), (110, 110, 110))
        c.paint(rect(1, y + 1, 15, y + 2), (60, 60, 60))
        c.paint(rect(knob, y - 3, knob + 4, y + 4), (150, 130, 0))
        c.paint(rect(knob + 1, y - 2, knob + 3, y + 3), vertical_gradient((255, 255, 120), (230, 200, 0), y - 2, y + 3))
    return c


def glyph_shortcut(size=16):
    """创建快捷方式: a page with the shortcut arrow on it."""
    c = Canvas(size, size, scale=size / 16.0)
    page = polygon([(4, 1), (11, 1), (14, 4), (14, 15), (4, 15)])
    c.paint(page, (96, 96, 96))
    c.paint(polygon([(5, 2), (10.5, 2), (13, 4.5), (13, 14), (5, 14)]), WHITE)
    c.paint(polygon([(10, 1), (10, 5), (14, 5)]), (96, 96, 96))
    c.paint(polygon([(10.8, 2.2), (10.8, 4.2), (12.8, 4.2)]), (220, 220, 220))
    for y in (7, 9, 11):
        c.paint(rect(7, y, 12, y + 1), (180, 190, 180))
    # The arrow box in the lower left corner; the corner pixel itself stays transparent.
    c.paint(rect(1, 8, 9, 16), (64, 64, 64))
    c.paint(rect(2, 9, 8, 15), WHITE)
    arrow = union(capsule(3.6, 13.4, 6.2, 10.8, 1.5), polygon([(4.3, 10.0), (7.0, 10.0), (7.0, 12.7)]))
    c.paint(arrow, (0, 64, 200))
    return c


def glyph_auto_on(size=16):
    """Automatic recovery is on: a lime lamp with a tick (on the black panel)."""
    c = Canvas(size, size, samples=6, scale=size / 16.0)
    c.paint(ellipse(8, 8, 7), (0, 110, 0))
    c.paint(ellipse(8, 8, 6), vertical_gradient((170, 255, 170), (0, 200, 0), 2, 14))
    tick = union(capsule(4.6, 8.2, 7.0, 10.6, 2.0), capsule(7.0, 10.6, 11.4, 5.4, 2.0))
    c.paint(tick, (0, 60, 0))
    return c


def glyph_auto_off(size=16):
    """Automatic recovery is off: a red lamp with a bar, like the dot on the tray icon."""
    c = Canvas(size, size, samples=6, scale=size / 16.0)
    c.paint(ellipse(8, 8, 7), (130, 0, 0))
    c.paint(ellipse(8, 8, 6), vertical_gradient((255, 120, 110), (210, 0, 0), 2, 14))
    c.paint(rect(4, 7, 12, 9), WHITE)
    return c


# name, drawing, the background the picture sits on
GLYPHS = [
    ("glyph_hide.bmp", glyph_hide, BUTTON_FACE),
    ("glyph_exit.bmp", glyph_exit, BUTTON_FACE),
    ("glyph_recover.bmp", glyph_recover, BUTTON_FACE),
    ("glyph_tune.bmp", glyph_tune, BLACK),
    ("glyph_shortcut.bmp", glyph_shortcut, BUTTON_FACE),
    ("glyph_auto_on.bmp", glyph_auto_on, BLACK),
    ("glyph_auto_off.bmp", glyph_auto_off, BLACK),
]


def keyed_rows(canvas, background):
    """The picture over its background, with pixels it leaves (nearly) uncovered turned into
    the transparent colour."""
    rows = canvas.flattened(background)
    for y in range(canvas.height):
        for x in range(canvas.width):
            if canvas.pixels[y][x][1] < 0.3:
                rows[y][x] = KEY
            elif rows[y][x] == KEY:
                rows[y][x] = (254, 0, 254)  # never the key colour by accident
    return rows


# --- The product picture -----------------------------------------------------------------------
# "Quillet" in lime stroke letters on the black monitor, with the chip and a memory graph.
# The start-up window is narrower than the picture (it shows its left 329 pixels), so name
# and chip stay left of x = 310 and only the graph runs on to the right edge.

SPLASH_W, SPLASH_H = 377, 63
SPLASH_VISIBLE_W = 329


def letter_strokes(x, base, stroke):
    """The shapes of "Quillet" from x, baseline base. Returns (shapes, right edge)."""
    w = stroke
    cap, xh = 34.0, 23.0      # cap height and x-height
    shapes = []

    # Q: an oval ring with a tail through its lower right.
    qrx, qry = 15.0, (cap - w) / 2.0
    qcx, qcy = x + qrx + w / 2, base - cap / 2.0
    shapes.append(ring(qcx, qcy, qrx, qry, w))
    shapes.append(capsule(qcx + 5, qcy + 8, qcx + qrx + 3.5, base + 4, w, round_ends=False))
    x = qcx + qrx + w / 2 + 8

    # u: two stems and a bowl.
    uw = 17.0
    ur = (uw - w) / 2.0
    top = base - xh
    shapes.append(rect(x, top, x + w, base - ur - w / 2))
    shapes.append(ring(x + w / 2 + ur, base - ur - w / 2, ur, ur, w, start=180, end=360))
    shapes.append(rect(x + uw - w, top, x + uw, base))
    x += uw + 7

    # i: stem and dot.
    shapes.append(rect(x, top, x + w, base))
    shapes.append(rect(x, top - w - 4, x + w, top - 4))
    x += w + 7

    # l, l
    for _ in range(2):
        shapes.append(rect(x, base - cap, x + w, base))
        x += w + 7

    # e: an open oval with a bar.
    erx, ery = 9.5, (xh - w) / 2.0
    ecx, ecy = x + erx + w / 2, base - xh / 2.0
    shapes.append(ring(ecx, ecy, erx, ery, w, start=0, end=325))
    shapes.append(rect(ecx - erx, ecy - w / 2 + 0.5, ecx + erx + w / 2, ecy + w / 2 - 0.5))
    x = ecx + erx + w / 2 + 6

    # t: stem with a bar and a turn at the foot.
    tr = 5.0
    shapes.append(rect(x + 2, base - cap + 4, x + 2 + w, base - tr - w / 2))
    shapes.append(ring(x + 2 + w / 2 + tr, base - tr - w / 2, tr, tr, w, start=180, end=300))
    shapes.append(rect(x - 1, top, x + 13, top + w - 1))
    x += 16
    return shapes, x


def splash_picture(percent=100):
    c = Canvas(scaled_length(SPLASH_W, percent), scaled_length(SPLASH_H, percent), background=BLACK, samples=4,
               scale=percent / 100.0)
    # The monitor's grid.
    grid = (0, 48, 0)
    for gx in range(4, SPLASH_W, 16):
        c.paint(rect(gx, 0, gx + 1, SPLASH_H), grid)
    for gy in range(7, SPLASH_H, 16):
        c.paint(rect(0, gy, SPLASH_W, gy + 1), grid)

    # A free-memory graph along the bottom, brighter to the right.
    points = []
    for i in range(0, SPLASH_W + 8, 8):
        t = i / SPLASH_W
        y = 50 - 14 * t - 5 * math.sin(i / 23.0) - 3 * math.sin(i / 7.3 + 1.0)
        points.append((float(i), y))
    c.paint(below_curve(points, SPLASH_H),
            lambda x, y: mix((0, 40, 0), (0, 90, 0), min(x / SPLASH_W, 1.0)))
    for (xa, ya), (xb, yb) in zip(points, points[1:]):
        c.paint(capsule(xa, ya, xb, yb, 1.6), mix((0, 110, 0), (90, 255, 90), min(xa / SPLASH_W, 1.0)))

    # The chip on a dark plate so the graph does not run through it.
    c.paint(rounded_rect(6, 6, 62, 57, 5), (0, 0, 0), opacity=0.85)
    draw_chip(c, CHIP_GRIDS[48], dx=10.0, dy=8.0, scale=1.0)

    # The name, with a shadow so it stands off the graph.
    shapes, right = letter_strokes(76.0, 46.0, 5.0)
    assert right < SPLASH_VISIBLE_W - 10, right
    shadow = union(*[((b[0] + 2, b[1] + 2, b[2] + 2, b[3] + 2), (lambda t: lambda x, y: t(x - 2, y - 2))(t))
                     for b, t in shapes])
    c.paint(shadow, (0, 0, 0), opacity=0.8)
    c.paint(union(*shapes), vertical_gradient((190, 255, 190), (0, 230, 0), 12, 50))
    # An underline that ends in the graph's colour.
    c.paint(rect(76, 53, right + 2, 55), lambda x, y: mix(LIME, (0, 110, 0), (x - 76) / (right - 74)))
    return c


# --- File formats ------------------------------------------------------------------------------

VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def bmp_info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def mask_bytes(width, height, transparent):
    """The 1-bit AND mask, bottom-up, rows padded to 32 bits; 1 = transparent."""
    stride = ((width + 31) // 32) * 4
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_image_32(canvas):
    w, h = canvas.width, canvas.height
    xor = bytearray()
    for y in reversed(range(h)):
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask = mask_bytes(w, h, lambda x, y: canvas.rgba(x, y)[3] == 0)
    return bmp_info_header(w, h * 2, 32, len(xor) + len(mask)) + bytes(xor) + mask


def icon_png(canvas):
    """An icon image as a PNG file (8-bit RGBA, each row filtered by its best of None, Sub and
    Up), which icon files hold from Windows Vista on: a tenth of the bitmap's size. Used for
    the sizes Windows XP never asks at 96 dpi (XP reads bitmap images alone)."""
    w, h = canvas.width, canvas.height
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            row += bytes((r, g, b, a) if a else (0, 0, 0, 0))
        rows.append(bytes(row))
    raw = bytearray()
    previous = bytes(4 * w)
    for row in rows:
        candidates = [(0, row),
                      (1, bytes((row[i] - (row[i - 4] if i >= 4 else 0)) & 255 for i in range(len(row)))),
                      (2, bytes((row[i] - previous[i]) & 255 for i in range(len(row))))]
        kind, line = min(candidates, key=lambda c: (sum(v if v < 128 else 256 - v for v in c[1]), c[0]))
        raw += bytes((kind,)) + line
        previous = row

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def nearest_vga(c):
    return min(range(16), key=lambda i: sum((c[k] - VGA16[i][k]) ** 2 for k in range(3)))


def icon_image_4(canvas):
    w, h = canvas.width, canvas.height
    stride = ((w * 4 + 31) // 32) * 4
    xor = bytearray()
    for y in reversed(range(h)):
        row = bytearray(stride)
        for x in range(w):
            r, g, b, a = canvas.rgba(x, y)
            index = nearest_vga((r, g, b)) if a >= 128 else 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        xor += row
    mask = mask_bytes(w, h, lambda x, y: canvas.rgba(x, y)[3] < 128)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    return bmp_info_header(w, h * 2, 4, len(xor) + len(mask), 16) + palette + bytes(xor) + mask


def ico_file(images):
    """images: (size, bits, data) entries."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    directory, body = b"", b""
    for size, bits, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits,
                                 len(data), offset + len(body))
        body += data
    return header + directory + body


def bmp_file(rows):
    """A 24-bit bottom-up BMP file from rows of (r, g, b)."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    info = bmp_info_header(width, height, 24, len(pixels))
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return file_header + info + bytes(pixels)


def quantized(rows, key=None, most=256):
    """A palette of at most `most` colours for the rows and the index of each colour: the
    colours themselves when there are few enough, otherwise a median cut (deterministic) of the
    colours weighted by their counts. The key colour, if given and present, keeps an entry of
    its own that no other colour is mapped to."""
    counts = {}
    for row in rows:
        for c in row:
            counts[c] = counts.get(c, 0) + 1
    keyed = key is not None and key in counts
    colours = sorted(c for c in counts if not (keyed and c == key))
    room = most - (1 if keyed else 0)
    if len(colours) <= room:
        palette = colours
    else:
        boxes = [colours]
        while len(boxes) < room:
            def spread(box):
                return max(max(c[i] for c in box) - min(c[i] for c in box) for i in range(3))
            candidates = [b for b in boxes if len(b) > 1 and spread(b) > 0]
            if not candidates:
                break
            box = max(candidates, key=lambda b: (spread(b) * sum(counts[c] for c in b), b[0]))
            channel = max(range(3), key=lambda i: (max(c[i] for c in box) - min(c[i] for c in box), -i))
            ordered = sorted(box, key=lambda c: (c[channel], c))
            total, running, cut = sum(counts[c] for c in ordered), 0, 1
            for i, c in enumerate(ordered):
                running += counts[c]
                if running * 2 >= total:
                    cut = min(max(i + 1, 1), len(ordered) - 1)
                    break
            boxes.remove(box)
            boxes += [ordered[:cut], ordered[cut:]]
        palette = []
        for box in sorted(boxes):
            weight = sum(counts[c] for c in box)
            palette.append(tuple(int(round(sum(c[i] * counts[c] for c in box) / weight)) for i in range(3)))
    if keyed:
        palette = [key] + palette
    first = 1 if keyed else 0
    index = {}
    for c in counts:
        if keyed and c == key:
            index[c] = 0
        else:
            index[c] = min(range(first, len(palette)),
                           key=lambda i: sum((c[k] - palette[i][k]) ** 2 for k in range(3)))
    return palette, index


def rle8(indices):
    """One row in RLE8: runs of a repeated index encoded, other stretches as absolute runs."""
    out = bytearray()
    i, n = 0, len(indices)
    while i < n:
        run = 1
        while i + run < n and run < 255 and indices[i + run] == indices[i]:
            run += 1
        if run >= 2:
            out += bytes((run, indices[i]))
            i += run
            continue
        # A stretch without repeats, up to the next pair of equal indices.
        j = i
        while j < n and j - i < 255 and not (j + 1 < n and indices[j + 1] == indices[j]):
            j += 1
        literal = indices[i:j]
        if len(literal) >= 3:
            out += bytes((0, len(literal))) + bytes(literal) + (b"\0" if len(literal) % 2 else b"")
        else:
            for value in literal:
                out += bytes((1, value))
        i = j
    return bytes(out)


def bmp8_file(rows, key=None, rle=False):
    """An 8-bit bottom-up BMP file from rows of (r, g, b), with a palette of the picture's
    colours (see quantized); RLE8-compressed when asked."""
    height, width = len(rows), len(rows[0])
    palette, index = quantized(rows, key)
    pixels = bytearray()
    for row in reversed(rows):
        indices = [index[c] for c in row]
        if rle:
            pixels += rle8(indices) + b"\0\0"  # end of line
        else:
            pixels += bytes(indices) + bytes((-width) % 4)
    if rle:
        pixels[-2:] = b"\0\1"  # the last end of line becomes the end of the bitmap
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1 if rle else 0, len(pixels), 0, 0, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + colours + bytes(pixels)


def packed_picture(bmp):
    """A BMP file as the program unpacks it (platform/packed_picture.h): the length of the
    packed device-independent bitmap (the file less its 14-byte file header), then that bitmap
    deflated (raw deflate, no zlib header). windres would keep a bitmap as it is; packed, the
    pictures take a tenth of the room, and the program unpacks them into the same pixels."""
    dib = bmp[14:]
    packer = zlib.compressobj(9, zlib.DEFLATED, -15, 9)
    return struct.pack("<I", len(dib)) + packer.compress(dib) + packer.flush()


# The variants of the pictures for screens of more than 96 dpi.
GLYPH_SCALED_SIZES = (20, 24, 32)
SPLASH_SCALE_PERCENTS = (150, 200)
ICON_SIZES = (64, 48, 40, 32, 24, 20, 16)
WARNING_SIZES = (64, 48, 40, 32)
# The icon sizes kept as PNG: 40 and 64 px are the large icons of 120 and 192 dpi, which only
# Windows Vista and later ask for (and they read PNG images); 48 px stays a bitmap, as Windows
# XP asks it at 96 dpi (Explorer's tiles), as it does 16 and 32.
ICON_PNG_SIZES = (64, 40)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def write_splash(out):
    splash = bmp_file(splash_picture().flattened(BLACK))
    write(os.path.join(out, "splash.bmp"), splash)
    write(os.path.join(out, "splash.pack"), packed_picture(splash))
    for percent in SPLASH_SCALE_PERCENTS:
        rows = splash_picture(percent).flattened(BLACK)
        write(os.path.join(out, "splash_%d.bmp" % percent), bmp8_file(rows, rle=True))
        write(os.path.join(out, "splash_%d.pack" % percent), packed_picture(bmp8_file(rows)))


def main(argv):
    splash_only = len(argv) == 3 and argv[1] == "--splash-only"
    if len(argv) != 2 and not splash_only:
        sys.stderr.write(__doc__)
        return 2
    out = argv[-1]
    os.makedirs(out, exist_ok=True)
    if splash_only:
        write_splash(out)
        return 0

    def icon_image(canvas):
        return icon_png(canvas) if canvas.width in ICON_PNG_SIZES else icon_image_32(canvas)

    images = [(size, 32, icon_image(icon_picture(size))) for size in ICON_SIZES]
    images += [(size, 4, icon_image_4(icon_picture(size, flat=True))) for size in (32, 16)]
    write(os.path.join(out, "quillet.ico"), ico_file(images))
    warning = [(size, 32, icon_image(warning_picture(size=size))) for size in WARNING_SIZES]
    warning += [(32, 4, icon_image_4(warning_picture(flat=True)))]
    write(os.path.join(out, "warning.ico"), ico_file(warning))

    for name, draw, background in GLYPHS:
        for size in (16,) + GLYPH_SCALED_SIZES:
            canvas = draw(size)
            if canvas.pixels[size - 1][0][1] != 0.0:
                raise SystemExit("make-pictures: %s at %d px covers its bottom-left (transparent) pixel" % (name, size))
            rows = keyed_rows(canvas, background)
            if size == 16:
                write(os.path.join(out, name), bmp_file(rows))
            else:
                write(os.path.join(out, name.replace(".bmp", "_%d.bmp" % size)), bmp8_file(rows, key=KEY))

    write_splash(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
