#!/usr/bin/env python3
"""Draws the toolbar's button bitmaps, the caution picture "CHUI" and the
application icon, and writes them as 16-colour (4 bits per pixel) BMP and ICO
files. Standard library only.

    python3 res/make_bitmaps.py        # writes res/bmp/*.bmp and res/tabiro.ico

Every button set X gets XU (raised), XD (pressed: sunken, picture shifted by
one pixel), XF (focused: raised inside a black frame) and, where the set has
one, XX (disabled: the picture embossed in grey)."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The standard 16-colour palette, in the order Windows uses for 4-bit DIBs.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)
CLEAR = -1  # transparent in a picture layer

# 5 x 7 letters for the main labels.
FONT5 = {
    'G': [".###.", "#...#", "#....", "#.###", "#...#", "#...#", ".###."],
    'P': ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    'S': [".####", "#....", "#....", ".###.", "....#", "....#", "####."],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'M': ["#...#", "##.##", "#.#.#", "#.#.#", "#...#", "#...#", "#...#"],
    'N': ["#...#", "#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#"],
    'A': [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    '0': [".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."],
    '1': ["..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."],
    '2': [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    '5': ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    '7': ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    '.': ["..", "..", "..", "..", "..", "##", "##"],
}

# 3 x 5 letters for the two-line labels.
FONT3 = {
    'G': ["###", "#..", "#.#", "#.#", "###"],
    'P': ["###", "#.#", "###", "#..", "#.."],
    'S': ["###", "#..", "###", "..#", "###"],
    'R': ["##.", "#.#", "##.", "#.#", "#.#"],
    'E': ["###", "#..", "##.", "#..", "###"],
    'L': ["#..", "#..", "#..", "#..", "###"],
}


class Canvas:
    def __init__(self, w, h, fill=CLEAR):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        if 0 <= x < self.w and 0 <= y < self.h:
            return self.px[y][x]
        return CLEAR

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def hline(self, x0, x1, y, c):
        self.fill(x0, y, x1, y, c)

    def vline(self, x, y0, y1, c):
        self.fill(x, y0, x, y1, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if math.hypot(x - cx, y - cy) <= r:
                    self.set(x, y, c)

    def ring(self, cx, cy, r, c):
        for y in range(self.h):
            for x in range(self.w):
                if abs(math.hypot(x - cx, y - cy) - r) < 0.5:
                    self.set(x, y, c)

    def polygon(self, points, c):
        """Fills the pixels whose centres lie inside the polygon."""
        for y in range(self.h):
            for x in range(self.w):
                if inside(points, x + 0.5, y + 0.5):
                    self.set(x, y, c)

    def text(self, font, s, x, y, c):
        for ch in s:
            rows = font[ch]
            for j, row in enumerate(rows):
                for i, bit in enumerate(row):
                    if bit == '#':
                        self.set(x + i, y + j, c)
            x += len(rows[0]) + 1

    def text_centred(self, font, s, y, c, cx=None):
        width = sum(len(font[ch][0]) + 1 for ch in s) - 1
        cx = self.w / 2 if cx is None else cx
        self.text(font, s, int(round(cx - width / 2)), y, c)

    def shape(self, cells, x, y, body, edge):
        """Draws a set of (x, y) cells: border cells in `edge`, the rest in `body`."""
        for (i, j) in cells:
            outside = any((i + di, j + dj) not in cells
                          for di, dj in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            self.set(x + i, y + j, edge if outside else body)

    def paste(self, layer, dx=0, dy=0, colour=None):
        """Copies the opaque pixels of a layer, optionally all in one colour."""
        for y in range(layer.h):
            for x in range(layer.w):
                c = layer.px[y][x]
                if c != CLEAR:
                    self.set(x + dx, y + dy, c if colour is None else colour)


def inside(points, x, y):
    result = False
    n = len(points)
    for k in range(n):
        (x0, y0), (x1, y1) = points[k], points[(k + 1) % n]
        if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
            result = not result
    return result


# --- Button faces -----------------------------------------------------------

def raised(c, x0, y0, x1, y1):
    c.hline(x0, x1, y0, WHITE)
    c.vline(x0, y0, y1, WHITE)
    c.hline(x0, x1, y1, BLACK)
    c.vline(x1, y0, y1, BLACK)
    c.hline(x0 + 1, x1 - 1, y1 - 1, GREY)
    c.vline(x1 - 1, y0 + 1, y1 - 1, GREY)


def sunken(c, x0, y0, x1, y1):
    c.hline(x0, x1, y1, WHITE)
    c.vline(x1, y0, y1, WHITE)
    c.hline(x0, x1 - 1, y0, BLACK)
    c.vline(x0, y0, y1 - 1, BLACK)
    c.hline(x0 + 1, x1 - 1, y0 + 1, GREY)
    c.vline(x0 + 1, y0 + 1, y1 - 1, GREY)


def luminance(colour):
    r, g, b = PALETTE[colour]
    return 0.3 * r + 0.59 * g + 0.11 * b


def states(picture, face):
    """The four images of a set: up, down, focus, disabled."""
    w, h = picture.w, picture.h

    up = Canvas(w, h, face)
    raised(up, 0, 0, w - 1, h - 1)
    up.paste(picture)

    down = Canvas(w, h, face)
    sunken(down, 0, 0, w - 1, h - 1)
    down.paste(picture, 1, 1)

    focus = Canvas(w, h, face)
    focus.frame(0, 0, w - 1, h - 1, BLACK)
    raised(focus, 1, 1, w - 2, h - 2)
    focus.paste(picture)

    # Greyed the way Windows greys a control: the dark strokes of the picture
    # embossed, the light ones left out.
    strokes = Canvas(w, h)
    for y in range(h):
        for x in range(w):
            if picture.px[y][x] != CLEAR and luminance(picture.px[y][x]) < 160:
                strokes.px[y][x] = GREY
    disabled = Canvas(w, h, face)
    raised(disabled, 0, 0, w - 1, h - 1)
    disabled.paste(strokes, 1, 1, WHITE)
    disabled.paste(strokes)

    return {'U': up, 'D': down, 'F': focus, 'X': disabled}


# --- Pictures -----------------------------------------------------------------
# Each picture is a transparent layer of the button's size; the inner face of
# a 19 x 18 button is x 2..16, y 2..15.

def label(text, colour, width=19):
    c = Canvas(width, 18)
    c.text_centred(FONT5, text, 5, colour)
    return c


def linked_gps():
    c = Canvas(27, 18)
    c.text_centred(FONT3, "GPS", 3, NAVY)
    # Two chain links: GPS in both map programs at once.
    for cx in (10, 16):
        c.frame(cx - 3, 10, cx + 3, 14, TEAL)
        for x, y in ((cx - 3, 10), (cx + 3, 10), (cx - 3, 14), (cx + 3, 14)):
            c.set(x, y, CLEAR)
    return c


def gps_relief():
    c = Canvas(19, 18)
    c.text_centred(FONT3, "GPS", 3, NAVY)
    c.text_centred(FONT3, "REL", 10, MAROON)
    return c


def small_window(c, x0, y0, x1, y1):
    c.fill(x0, y0, x1, y1, WHITE)
    c.frame(x0, y0, x1, y1, BLACK)
    c.fill(x0, y0, x1, y0 + 2, NAVY)


def guide_show():
    c = Canvas(19, 18)
    small_window(c, 3, 3, 15, 14)
    # A turn arrow inside: the guide window's content.
    c.fill(6, 9, 7, 13, GREEN)
    c.fill(6, 8, 11, 9, GREEN)
    c.polygon([(11, 5.5), (14.5, 8.5), (11, 11.5)], GREEN)
    return c


def guide_hide():
    c = Canvas(19, 18)
    small_window(c, 3, 3, 15, 14)
    for d in (0, 1):
        c.line(5 + d, 6, 13 + d - 1, 13, RED)
        c.line(13 + d - 1, 6, 5 + d, 13, RED)
    return c


def crosshair(c, ring_colour):
    c.ring(9, 8.5, 5, ring_colour)
    c.hline(3, 15, 8, BLACK)
    c.vline(9, 2, 15, BLACK)


def centring_on():
    c = Canvas(19, 18)
    crosshair(c, RED)
    c.fill(8, 7, 10, 9, RED)
    return c


def centring_off():
    c = Canvas(19, 18)
    crosshair(c, GREY)
    c.fill(12, 11, 14, 13, NAVY)  # the car off the centre
    return c


def add_camera():
    c = Canvas(19, 18)
    c.fill(3, 8, 12, 14, BLACK)
    c.fill(5, 6, 7, 7, BLACK)
    c.disc(8, 11, 2.2, WHITE)
    c.set(8, 11, BLACK)
    # A green plus: add this point.
    c.fill(12, 4, 16, 5, GREEN)
    c.fill(13, 2, 14, 7, GREEN)
    return c


def route_list():
    c = Canvas(19, 18)
    c.fill(4, 3, 14, 14, WHITE)
    c.frame(4, 3, 14, 14, BLACK)
    for y in (5, 8, 11):
        c.fill(6, y, 7, y + 1, RED)
        c.hline(9, 12, y, BLACK)
        c.hline(9, 11, y + 1, GREY)
    return c


def route_clear():
    c = Canvas(19, 18)
    route = [(4, 14), (4, 10), (9, 10), (9, 5), (14, 5), (14, 2)]
    for (x0, y0), (x1, y1) in zip(route, route[1:]):
        c.line(x0, y0, x1, y1, BLUE)
        c.line(x0 + 1, y0, x1 + 1, y1, BLUE)
    for d in (0, 1):
        c.line(5 + d, 5, 12 + d, 13, RED)
        c.line(12 + d, 5, 5 + d, 13, RED)
    return c


def speaker(c):
    c.fill(3, 7, 5, 11, BLACK)
    c.polygon([(5, 7), (9, 3), (9, 16), (5, 12)], BLACK)


def guidance_idle():
    c = Canvas(19, 18)
    speaker(c)
    c.vline(11, 8, 10, GREY)
    c.vline(13, 6, 12, GREY)
    return c


def guidance_running():
    c = Canvas(19, 18)
    c.fill(2, 2, 16, 15, YELLOW)
    speaker(c)
    c.vline(11, 8, 10, RED)
    c.vline(12, 8, 10, RED)
    c.vline(14, 5, 13, RED)
    c.vline(15, 6, 12, RED)
    return c


def waypoint_triangle(tip_x, base_x):
    c = Canvas(11, 18)
    c.polygon([(tip_x + (0.5 if tip_x > base_x else 0), 8.5),
               (base_x + (1 if base_x > tip_x else 0), 4),
               (base_x + (1 if base_x > tip_x else 0), 13)], NAVY)
    return c


def arrow_cells():
    """A 13 x 13 arrow pointing up: a broad head over a stem."""
    cells = set()
    for r in range(7):
        for i in range(6 - r, 7 + r):
            cells.add((i, r))
    for r in range(7, 13):
        for i in range(4, 9):
            cells.add((i, r))
    return cells


def arrow(direction, body, edge):
    turn = {
        'up': lambda x, y: (x, y),
        'down': lambda x, y: (x, 12 - y),
        'left': lambda x, y: (y, x),
        'right': lambda x, y: (12 - y, x),
    }[direction]
    cells = {turn(x, y) for (x, y) in arrow_cells()}
    c = Canvas(19, 18)
    c.shape(cells, 3, 2, body, edge)
    return c


def scale(label):
    c = Canvas(19, 18)
    c.text_centred(FONT5, label, 3, BLACK)
    # A map scale bar under the figure.
    c.fill(3, 12, 15, 14, BLACK)
    c.fill(4, 13, 6, 13, WHITE)
    c.fill(10, 13, 12, 13, WHITE)
    return c


def magnifier(sign):
    c = Canvas(19, 18)
    c.disc(7.5, 7.5, 5, BLACK)
    c.disc(7.5, 7.5, 4, WHITE)
    for d in range(4):
        c.fill(11 + d, 11 + d, 12 + d, 12 + d, MAROON)
    c.hline(5, 10, 7, NAVY)
    c.hline(5, 10, 8, NAVY)
    if sign == '+':
        c.vline(7, 5, 10, NAVY)
        c.vline(8, 5, 10, NAVY)
    return c


def detail_map():
    c = Canvas(19, 18)
    c.fill(3, 3, 15, 14, WHITE)
    for x in range(3, 16, 3):
        c.vline(x, 3, 14, TEAL)
    for y in range(3, 15, 3):
        c.hline(3, 15, y, TEAL)
    c.fill(3, 9, 10, 10, OLIVE)
    c.fill(9, 3, 10, 10, OLIVE)
    c.frame(3, 3, 15, 14, BLACK)
    return c


def no_function():
    return Canvas(19, 18)


def window_normal():
    c = Canvas(19, 18)
    small_window(c, 7, 3, 15, 10)
    small_window(c, 3, 7, 11, 14)
    return c


def window_max():
    c = Canvas(19, 18)
    small_window(c, 2, 2, 16, 15)
    c.fill(2, 2, 16, 4, NAVY)
    return c


def map_switch(letter, colour):
    c = Canvas(19, 18)
    c.text_centred(FONT5, letter, 2, colour)
    # Two opposed arrows: switch to the other map program.
    c.hline(4, 13, 11, BLACK)
    c.polygon([(12, 9), (15.5, 11.5), (12, 14)], BLACK)
    c.hline(5, 14, 14, BLACK)
    c.polygon([(7, 12), (3.5, 14.5), (7, 17)], BLACK)
    return c


SCROLL = (BLUE, NAVY)
CORRECTION = (RED, MAROON)

# name, picture, face colour, the name of its disabled image (None: no image)
SETS = [
    ("G", label("GPS", NAVY, 27), "GX"),
    ("G1", linked_gps(), "G1X"),
    ("C1", gps_relief(), "C1X"),
    ("C", guide_show(), "CX"),
    ("H", guide_hide(), "HX"),
    ("T", centring_on(), "TX"),
    ("T1", centring_off(), "T1X"),
    ("AD", add_camera(), "ADX"),
    ("SV", label("SV", NAVY), "SVX"),
    ("IS", label("MM", MAROON), "ISX"),
    ("ROOT", route_list(), "ROOTX"),
    ("ROOTC", route_clear(), "ROOTCX"),
    ("OT", guidance_idle(), "OTX"),
    ("OTON", guidance_running(), None),  # shares OTX with OT
    ("WB", waypoint_triangle(3, 7), None),
    ("WN", waypoint_triangle(7, 3), None),
    ("L", arrow('left', *SCROLL), "LX"),
    ("U1", arrow('up', *SCROLL), "U1X"),
    ("ST", arrow('down', *SCROLL), "STX"),
    ("R", arrow('right', *SCROLL), "RX"),
    ("LM", arrow('left', *CORRECTION), None),
    ("U1M", arrow('up', *CORRECTION), None),
    ("STM", arrow('down', *CORRECTION), None),
    ("RM", arrow('right', *CORRECTION), None),
    ("SK1", scale("20"), "SK1X"),
    ("SK2", scale("7"), "SK2X"),
    ("SK3", scale("2"), "SK3X"),
    ("SK4", scale("1"), "SK4X"),
    ("SK5", scale(".5"), "SK5X"),
    ("W", magnifier('-'), "WX"),
    ("U", magnifier('+'), "UX"),
    ("SS", detail_map(), "SSX"),
    ("X", no_function(), "XX"),
    ("NO", window_normal(), None),
    ("MAX", window_max(), None),
    ("M1", map_switch("N", GREEN), "M1X"),
    ("M0", map_switch("A", MAROON), "M0X"),
]


def caution():
    # White, not the button face: it stands on the light face of a notice.
    c = Canvas(32, 32, WHITE)
    tri = [(16, 1.5), (30.5, 29.5), (1.5, 29.5)]
    c.polygon(tri, BLACK)
    c.polygon([(16, 5.5), (27, 27.5), (5, 27.5)], YELLOW)
    c.fill(15, 11, 16, 20, BLACK)
    c.fill(14, 12, 17, 17, BLACK)
    c.fill(15, 23, 16, 25, BLACK)
    c.fill(14, 24, 17, 24, BLACK)
    return c


# --- Icon ---------------------------------------------------------------------

def icon(size):
    """A map tile with a road and a red navigation arrow; CLEAR is transparent."""
    s = size / 32
    c = Canvas(size, size)
    r = 3 * s
    c.fill(0, int(r), size - 1, size - 1 - int(r), GREEN)
    c.fill(int(r), 0, size - 1 - int(r), size - 1, GREEN)
    for (cx, cy) in ((r, r), (size - 1 - r, r), (r, size - 1 - r), (size - 1 - r, size - 1 - r)):
        c.disc(cx, cy, r, GREEN)
    road = [(2 * s, 24 * s), (12 * s, 18 * s), (20 * s, 16 * s), (30 * s, 6 * s)]
    width = 2.6 * s
    for y in range(size):
        for x in range(size):
            if c.get(x, y) == CLEAR:
                continue
            d = min(segment_distance(x + 0.5, y + 0.5, a, b) for a, b in zip(road, road[1:]))
            if d <= width:
                c.set(x, y, GREY if d > width - 1 else SILVER)
            # A dashed centre line where there is room for one.
            if d <= 0.6 * s and size >= 32 and (x // 2) % 2 == 0:
                c.set(x, y, YELLOW)
    # The navigation arrow, lit from the left.
    chevron = [(16 * s, 3 * s), (27 * s, 28 * s), (16 * s, 21 * s), (5 * s, 28 * s)]
    c.polygon(chevron, BLACK)
    c.polygon([(16 * s, 6 * s), (24.5 * s, 25.5 * s), (16 * s, 19.5 * s)], MAROON)
    c.polygon([(16 * s, 6 * s), (16 * s, 19.5 * s), (7.5 * s, 25.5 * s)], RED)
    return c


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


# --- Files --------------------------------------------------------------------

def dib_rows(c, opaque_default=BLACK):
    """4-bit rows, bottom-up, each padded to a multiple of four bytes."""
    stride = ((c.w * 4 + 31) // 32) * 4
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.w):
            v = c.px[y][x]
            v = opaque_default if v == CLEAR else v
            row[x // 2] |= v << (4 if x % 2 == 0 else 0)
        out += row
    return bytes(out)


def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def info_header(w, h, image_size):
    return struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, image_size, 2835, 2835, 16, 0)


def write_bmp(path, c):
    pixels = dib_rows(c)
    offset = 14 + 40 + 64
    data = (struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
            + info_header(c.w, c.h, len(pixels)) + palette_bytes() + pixels)
    with open(path, "wb") as f:
        f.write(data)


def mask_rows(c):
    """The icon's AND mask: 1 where the icon is transparent."""
    stride = ((c.w + 31) // 32) * 4
    out = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(c.w):
            if c.px[y][x] == CLEAR:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def write_ico(path, images):
    blobs = []
    for c in images:
        pixels = dib_rows(c)
        mask = mask_rows(c)
        blobs.append(info_header(c.w, c.h * 2, len(pixels) + len(mask))
                     + palette_bytes() + pixels + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", c.w, c.h, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def main():
    outdir = os.path.join(HERE, "bmp")
    os.makedirs(outdir, exist_ok=True)
    for name, picture, disabled_name in SETS:
        images = states(picture, SILVER)
        for state in "UDF":
            write_bmp(os.path.join(outdir, name + state + ".bmp"), images[state])
        if disabled_name:
            write_bmp(os.path.join(outdir, disabled_name + ".bmp"), images['X'])
    write_bmp(os.path.join(outdir, "CHUI.bmp"), caution())
    write_ico(os.path.join(HERE, "tabiro.ico"), [icon(32), icon(16)])


if __name__ == "__main__":
    main()
