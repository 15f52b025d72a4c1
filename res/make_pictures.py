#!/usr/bin/env python3
"""Draws the junction and speed-camera pictures that ship beside the exe, as
24-bit BMP files of 250 x 200 pixels. Standard library only.

    python3 res/make_pictures.py       # writes data/ship/*.bmp

Junctions (X, T, Y, ト and its mirror 逆ト; the way to take 直進, 右, 左):
grey roads with white edges on a dark blue ground and one thick yellow arrow
from the bottom along the way to take, so that a glance tells the shape and
the way. Speed cameras (a red warning frame around every one): ovis1 radar
(a roadside box sending yellow waves), ovis2 H-system (a gantry across the
road, an "H" of posts and beam), ovis3 loop coil (yellow loops in the road
and a camera pole), オービス any camera (a camera and its flash). "_h" is a
major road: a wide three-lane road on a green ground; "_l" a narrow road on a
dark blue ground. GPS途絶 and GPS復帰, the GPS signal lost and back: a
satellite sending waves to a car, crossed out in red when lost. The bottom
strip stays plain: the caption stands there."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "data", "ship")
W, H = 250, 200

NIGHT = (22, 40, 92)
GREEN = (0, 104, 56)
ROAD = (112, 112, 118)
EDGE = (245, 245, 245)
ARROW = (255, 204, 0)
OUTLINE = (20, 20, 20)
RED = (220, 20, 30)
WHITE = (255, 255, 255)
YELLOW = (255, 220, 0)
DARK = (40, 40, 44)
STEEL = (170, 175, 185)


class Picture:
    def __init__(self, ground):
        self.px = [[ground] * W for _ in range(H)]

    def put(self, x, y, c):
        if 0 <= x < W and 0 <= y < H:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(max(0, y0), min(H, y1)):
            for x in range(max(0, x0), min(W, x1)):
                self.px[y][x] = c

    def polygon(self, pts, c):
        """Fills the pixels whose centres lie inside (even-odd rule)."""
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(H, int(max(ys)) + 1)):
            yc = y + 0.5
            xs = []
            for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    xs.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            xs.sort()
            for a, b in zip(xs[0::2], xs[1::2]):
                for x in range(max(0, int(math.ceil(a - 0.5))), min(W, int(math.floor(b - 0.5)) + 1)):
                    self.px[y][x] = c

    def disc(self, cx, cy, r, c):
        for y in range(max(0, int(cy - r)), min(H, int(cy + r) + 2)):
            for x in range(max(0, int(cx - r)), min(W, int(cx + r) + 2)):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.px[y][x] = c

    def ring(self, cx, cy, r, width, c, a0=0, a1=360):
        """An arc of a ring, angles in degrees clockwise from east."""
        for y in range(max(0, int(cy - r - width)), min(H, int(cy + r + width) + 2)):
            for x in range(max(0, int(cx - r - width)), min(W, int(cx + r + width) + 2)):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                a = math.degrees(math.atan2(y + 0.5 - cy, x + 0.5 - cx)) % 360
                if abs(d - r) <= width / 2 and a0 <= a <= a1:
                    self.px[y][x] = c

    def segment(self, p0, p1, width, c):
        """A thick line with round ends."""
        (x0, y0), (x1, y1) = p0, p1
        length = math.hypot(x1 - x0, y1 - y0) or 1
        nx, ny = -(y1 - y0) / length * width / 2, (x1 - x0) / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], c)
        self.disc(x0, y0, width / 2, c)
        self.disc(x1, y1, width / 2, c)

    def path(self, pts, width, c):
        for p0, p1 in zip(pts, pts[1:]):
            self.segment(p0, p1, width, c)


# --- junctions ------------------------------------------------------------

ROAD_WIDTH = 46
CENTRE = (125, 92)
BOTTOM = (125, 230)


def roads(p, lines):
    """Roads as white-edged grey bands; the edges first, so crossings merge."""
    for a, b in lines:
        p.segment(a, b, ROAD_WIDTH + 8, EDGE)
    for a, b in lines:
        p.segment(a, b, ROAD_WIDTH, ROAD)


def arrow(p, pts):
    """One strong arrow along the way to take, its head at the last point."""
    (xa, ya), (xb, yb) = pts[-2], pts[-1]
    length = math.hypot(xb - xa, yb - ya)
    ux, uy = (xb - xa) / length, (yb - ya) / length
    head_len, head_half = 44, 30
    base = (xb - ux * head_len, yb - uy * head_len)
    head = [(xb, yb), (base[0] - uy * head_half, base[1] + ux * head_half),
            (base[0] + uy * head_half, base[1] - ux * head_half)]
    shaft = pts[:-1] + [base]

    def grow(tri, by):
        cx = sum(x for x, _ in tri) / 3
        cy = sum(y for _, y in tri) / 3
        return [(cx + (x - cx) * by, cy + (y - cy) * by) for x, y in tri]

    p.path(shaft, 28, OUTLINE)
    p.polygon(grow(head, 1.18), OUTLINE)
    p.path(shaft, 20, ARROW)
    p.polygon(head, ARROW)


def mirror(pts):
    return [(W - x, y) for x, y in pts]


def junction(lines, way):
    p = Picture(NIGHT)
    roads(p, lines)
    arrow(p, way)
    return p


def x_roads():
    return [((CENTRE[0], -30), BOTTOM), ((-30, CENTRE[1]), (W + 30, CENTRE[1]))]


def t_roads():
    return [((-30, 70), (W + 30, 70)), ((125, 70), BOTTOM)]


def y_roads(flip=False):
    fork = (125, 112)
    lines = [(fork, BOTTOM), (fork, (35, -30)), (fork, (215, -30))]
    return lines


def to_roads(flip=False):
    branch = (CENTRE, (W + 30, 132))
    lines = [((125, -30), BOTTOM), branch]
    if flip:
        lines = [((125, -30), BOTTOM), (CENTRE, (-30, 132))]
    return lines


STRAIGHT = [(125, 196), (125, 12)]
X_RIGHT = [(125, 196), CENTRE, (236, CENTRE[1])]
T_RIGHT = [(125, 196), (125, 70), (236, 70)]
Y_RIGHT = [(125, 196), (125, 112), (196, 8)]
TO_RIGHT = [(125, 196), CENTRE, (238, 124)]

JUNCTIONS = {
    "X直進": junction(x_roads(), STRAIGHT),
    "X右": junction(x_roads(), X_RIGHT),
    "X左": junction(x_roads(), mirror(X_RIGHT)),
    "T右": junction(t_roads(), T_RIGHT),
    "T左": junction(t_roads(), mirror(T_RIGHT)),
    "Y右": junction(y_roads(), Y_RIGHT),
    "Y左": junction(y_roads(), mirror(Y_RIGHT)),
    "ト直進": junction(to_roads(), STRAIGHT),
    "ト右": junction(to_roads(), TO_RIGHT),
    "逆ト直進": junction(to_roads(flip=True), STRAIGHT),
    "逆ト左": junction(to_roads(flip=True), mirror(TO_RIGHT)),
}

# --- speed cameras --------------------------------------------------------

CAPTION_TOP = 176  # the caption strip below this line stays plain


def camera_ground(major):
    """A road running away from the driver: wide with three lanes on a green
    ground for a major road, narrow with a centre line otherwise."""
    p = Picture(GREEN if major else NIGHT)
    horizon = 60
    p.rect(0, 0, W, horizon, (120, 170, 220) if major else (10, 20, 50))
    if major:
        near, far = 118, 26
    else:
        near, far = 58, 10
    p.polygon([(125 - near - 6, CAPTION_TOP), (125 - far - 2, horizon),
               (125 + far + 2, horizon), (125 + near + 6, CAPTION_TOP)], EDGE)
    p.polygon([(125 - near, CAPTION_TOP), (125 - far, horizon),
               (125 + far, horizon), (125 + near, CAPTION_TOP)], ROAD)
    lanes = (-1 / 3, 1 / 3) if major else (0,)
    for f in lanes:
        for k in range(6):
            t0, t1 = k / 6, k / 6 + 0.08
            y0 = horizon + (CAPTION_TOP - horizon) * t0
            y1 = horizon + (CAPTION_TOP - horizon) * t1
            x0 = 125 + f * 2 * (far + (near - far) * t0)
            x1 = 125 + f * 2 * (far + (near - far) * t1)
            p.segment((x0, y0), (x1, y1), 2 + 4 * t1, WHITE)
    return p


def warning_frame(p):
    p.rect(0, 0, W, 7, RED)
    p.rect(0, CAPTION_TOP - 7, W, CAPTION_TOP, RED)
    p.rect(0, 0, 7, CAPTION_TOP, RED)
    p.rect(W - 7, 0, W, CAPTION_TOP, RED)
    p.rect(0, CAPTION_TOP, W, H, (235, 235, 235))


def camera_box(p, x, y, scale=1.0):
    """A camera housing with its lens, looking down the road."""
    w, h = 46 * scale, 30 * scale
    p.rect(int(x - w / 2 - 3), int(y - h / 2 - 3), int(x + w / 2 + 3), int(y + h / 2 + 3), OUTLINE)
    p.rect(int(x - w / 2), int(y - h / 2), int(x + w / 2), int(y + h / 2), WHITE)
    p.disc(x, y, 10 * scale, OUTLINE)
    p.disc(x, y, 6 * scale, (60, 110, 200))


def pole(p, x, top, bottom=150):
    p.rect(x - 5, top, x + 5, bottom, OUTLINE)
    p.rect(x - 3, top, x + 3, bottom, STEEL)


def radar(major):
    p = camera_ground(major)
    x = 205 if major else 190
    pole(p, x, 60)
    camera_box(p, x, 56)
    for r in (26, 44, 62):  # waves towards the road
        p.ring(x - 18, 56, r, 8, OUTLINE, 140, 220)
        p.ring(x - 18, 56, r, 5, YELLOW, 140, 220)
    warning_frame(p)
    return p


def h_system(major):
    p = camera_ground(major)
    left, right = (18, 232) if major else (52, 198)
    beam_y = 40
    for x in (left, right):
        pole(p, x, beam_y - 10, 160)
    p.rect(left - 4, beam_y - 12, right + 4, beam_y + 12, OUTLINE)
    p.rect(left, beam_y - 9, right, beam_y + 9, STEEL)
    boxes = (70, 125, 180) if major else (125,)
    for x in boxes:
        camera_box(p, x, beam_y + 28, 0.8)
    warning_frame(p)
    return p


def loop_coil(major):
    p = camera_ground(major)
    # Loops laid across the lanes, near and further on.
    for y, half, depth in ((150, 80 if major else 40, 12), (112, 55 if major else 26, 8)):
        for dx in ((-half * 0.6, half * 0.6) if major else (0,)):
            x0, x1 = 125 + dx - half * 0.3, 125 + dx + half * 0.3
            p.rect(int(x0) - 2, y - depth - 2, int(x1) + 2, y + depth + 2, OUTLINE)
            p.rect(int(x0) + 3, y - depth + 3, int(x1) - 3, y + depth - 3, ROAD)
            p.rect(int(x0), y - depth, int(x1), y - depth + 3, YELLOW)
            p.rect(int(x0), y + depth - 3, int(x1), y + depth, YELLOW)
            p.rect(int(x0), y - depth, int(x0) + 3, y + depth, YELLOW)
            p.rect(int(x1) - 3, y - depth, int(x1), y + depth, YELLOW)
    x = 215 if major else 195
    pole(p, x, 46, 120)
    camera_box(p, x - 14, 44, 0.8)
    warning_frame(p)
    return p


def any_camera():
    p = Picture((60, 20, 24))
    camera_box(p, 112, 96, 2.4)
    # The flash: white rays from the upper right corner of the camera.
    cx, cy = 190, 46
    for k in range(8):
        a = math.radians(k * 45 + 22.5)
        p.segment((cx + 12 * math.cos(a), cy + 12 * math.sin(a)),
                  (cx + 34 * math.cos(a), cy + 34 * math.sin(a)), 7, WHITE)
    p.disc(cx, cy, 11, YELLOW)
    warning_frame(p)
    return p


CAMERAS = {
    "ovis1_h": radar(True), "ovis1_l": radar(False),
    "ovis2_h": h_system(True), "ovis2_l": h_system(False),
    "ovis3_h": loop_coil(True), "ovis3_l": loop_coil(False),
    "オービス": any_camera(),
}


# --- GPS signal notices ------------------------------------------------------


def satellite(p, cx, cy):
    """A satellite: a body between two solar panels, seen from below."""
    for dx in (-1, 1):
        x0 = cx + dx * 22
        x1 = cx + dx * 70
        p.rect(min(x0, x1) - 2, cy - 15, max(x0, x1) + 2, cy + 15, OUTLINE)
        p.rect(min(x0, x1), cy - 13, max(x0, x1), cy + 13, (40, 80, 170))
        for k in range(1, 4):
            x = min(x0, x1) + k * abs(x1 - x0) // 4
            p.rect(x - 1, cy - 13, x + 1, cy + 13, STEEL)
    p.rect(cx - 20, cy - 20, cx + 20, cy + 20, OUTLINE)
    p.rect(cx - 17, cy - 17, cx + 17, cy + 17, STEEL)
    p.disc(cx, cy + 24, 7, OUTLINE)


def signal_notice(back):
    """The satellite sending waves down to a car: green waves when the signal
    is back, a red cross over grey ones when it is lost."""
    p = Picture(NIGHT)
    satellite(p, 125, 42)
    wave = (60, 200, 90) if back else (120, 120, 128)
    for r in (34, 58, 82):
        p.ring(125, 70, r, 9, OUTLINE, 60, 120)
        p.ring(125, 70, r, 6, wave, 60, 120)
    # A car seen from behind at the bottom.
    p.rect(92, 146, 158, 172, OUTLINE)
    p.rect(95, 149, 155, 170, WHITE)
    p.rect(102, 134, 148, 150, OUTLINE)
    p.rect(105, 137, 145, 149, (150, 190, 230))
    if not back:
        p.segment((70, 70), (180, 160), 14, OUTLINE)
        p.segment((180, 70), (70, 160), 14, OUTLINE)
        p.segment((70, 70), (180, 160), 9, RED)
        p.segment((180, 70), (70, 160), 9, RED)
    p.rect(0, CAPTION_TOP, W, H, (235, 235, 235))
    return p


NOTICES = {"GPS途絶": signal_notice(False), "GPS復帰": signal_notice(True)}


def write_bmp(path, p):
    row_bytes = (W * 3 + 3) & ~3
    rows = []
    for y in range(H - 1, -1, -1):  # bottom-up
        row = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in p.px[y])
        rows.append(row + b"\0" * (row_bytes - W * 3))
    pixels = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    offset = 14 + len(header)
    with open(path, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset) + header + pixels)


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, picture in list(JUNCTIONS.items()) + list(CAMERAS.items()) + list(NOTICES.items()):
        write_bmp(os.path.join(OUT, name + ".bmp"), picture)


if __name__ == "__main__":
    main()
