#!/usr/bin/env python3
"""Draws the wizard's artwork and the package images.

Usage: python3 make_art.py OUTDIR

Everything is drawn from vector shapes with signed-distance anti-aliasing and
written byte for byte here (BMP, ICO, GIF, PNG), so the output depends only on
this file: no image library, no clock, no random numbers.
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------
# Colours the program relies on (it paints or blits over these exactly)
# ---------------------------------------------------------------------------
KEY = (255, 0, 255)                 # window-region key, only in the corners
CONTENT_BLUE = (71, 93, 173)        # content area; the check box fills with it
HEADING_BAND = (0, 56, 85)          # behind the white heading
BUTTON_BAND = (92, 92, 92)          # behind the push buttons

# ---------------------------------------------------------------------------
# Skin palette (free to change)
# ---------------------------------------------------------------------------
OUTLINE = (24, 31, 52)              # outermost pixel line and corner smoothing
FRAME_TOP = (62, 76, 110)           # frame gradient, top
FRAME_BOTTOM = (44, 55, 84)         # frame gradient, bottom
FRAME_LIGHT = (112, 128, 166)       # highlight along the outer edge of the frame
FRAME_GROOVE = (30, 38, 62)         # dark groove round the inset areas
FRAME_GROOVE_LIGHT = (96, 112, 150) # light lip outside the groove
TITLE_TOP = (248, 249, 251)
TITLE_BOTTOM = (214, 218, 227)
TITLE_RULE = (150, 158, 176)        # last title row, separates it from the frame
CORNER_YELLOW_TOP = (255, 233, 128)
CORNER_YELLOW_BOTTOM = (244, 190, 36)
CORNER_YELLOW_EDGE = (178, 128, 18)
UNDERLINE_LIGHT = (190, 218, 242)   # first row under the heading band
UNDERLINE_SHADE = (128, 168, 214)   # second row
HEADING_ACCENT = (84, 170, 232)     # small bar left of the heading text
BUTTON_BAND_LIGHT = (128, 128, 128) # last frame row above the grey band
PANEL_TOP = (14, 34, 88)
PANEL_BOTTOM = (40, 78, 160)
PANEL_GLOW = (110, 160, 235)
PANEL_FLOOR = (70, 118, 200)
SEPARATOR_LIGHT = (128, 146, 190)

# Push buttons: glossy blue on the grey band
BTN_EDGE = (22, 38, 80)
BTN_NORMAL = ((96, 142, 222), (52, 92, 178), (36, 70, 150), (58, 104, 190))
BTN_HOVER = ((128, 176, 246), (74, 124, 214), (52, 96, 186), (84, 138, 224))
BTN_PRESSED = ((30, 58, 126), (40, 72, 146), (46, 82, 160), (54, 94, 174))

CLOSE_GREEN = (22, 128, 38)
CLOSE_ORANGE = (226, 96, 10)
CLOSE_GREY = (128, 128, 124)
CLOSE_DISABLED_TINT = (206, 200, 178)  # the yellow washed out towards grey

ICON_DRIVE = ((214, 228, 252), (70, 110, 196))   # blue-faced drive slabs in the icon

MARK_WHITE = (255, 255, 255)
MARK_EDGE = (28, 40, 84)
MARK_INK = (24, 52, 128)             # check mark and radio dot

# ---------------------------------------------------------------------------
# Skin geometry (rows and columns inclusive, in window pixels)
# ---------------------------------------------------------------------------
SKIN_W, SKIN_H = 584, 411
TITLE_ROWS = (1, 24)
HEADING_ROWS = (44, 90)
UNDERLINE_ROWS = (91, 92)
BODY_ROWS = (93, 369)
BUTTON_ROWS = (377, 410)
INSET_COLS = (11, 571)              # heading band and body share these columns
PANEL_COLS = (11, 187)
CONTENT_COLS = (190, 571)
CLOSE_POS = (552, 11)
CLOSE_SIZE = (20, 17)
CORNER_PIECE = (543, 1, 582, 32)    # yellow tab behind the close button
CORNER_PIECE_RADIUS = 8
HEADING_ACCENT_BOX = (19, 57, 23, 86)

# Corner cut radii; the key pixels are those whose centre lies outside the
# circle.  Radii 9.6, 9.6, 9.0, 8.4 cut 19 + 19 + 17 + 16 = 71 pixels.
CORNER_RADII = {"tl": 9.6, "tr": 9.6, "bl": 9.0, "br": 8.4}
KEY_PIXELS = 71

BUTTON_SIZE = (111, 22)
BUTTON_RADIUS = 5.0
RADIO_SIZE = (23, 28)
CHECK_SIZE = (21, 24)
CHECK_BOX = 13
CHECK_BOX_TOP = 0

BANNER_SIZE = (200, 40)
GAUGE_H = 16

# The skin is stored in two pieces: the frame and bands, a few hundred
# colours, as an 8-bit palette bitmap; the picture panel, thousands of
# colours that a palette would band, as a 24-bit bitmap the program lays
# over the frame where PANEL_COLS and BODY_ROWS put it.
PANEL_STAND_IN = CONTENT_BLUE       # where the panel goes, in the frame bitmap


# ---------------------------------------------------------------------------
# Canvas
# ---------------------------------------------------------------------------
def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(c0, c1, t):
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


class Canvas:
    """RGBA floats, straight alpha, 'over' compositing."""

    def __init__(self, w, h, fill=(0, 0, 0), alpha=1.0):
        self.w, self.h = w, h
        self.c = [list(map(float, fill)) for _ in range(w * h)]
        self.a = [float(alpha)] * (w * h)

    def get(self, x, y):
        return tuple(self.c[y * self.w + x])

    def set(self, x, y, col, alpha=1.0):
        i = y * self.w + x
        self.c[i] = list(map(float, col))
        self.a[i] = alpha

    def blend(self, x, y, col, a):
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        i = y * self.w + x
        if a >= 1.0:
            self.c[i] = list(col)
            self.a[i] = 1.0
            return
        da = self.a[i]
        oa = a + da * (1.0 - a)
        dst = self.c[i]
        k = da * (1.0 - a)
        self.c[i] = [(col[j] * a + dst[j] * k) / oa for j in range(3)]
        self.a[i] = oa

    def fill_rect(self, x0, y0, x1, y1, paint):
        """Inclusive rectangle; paint is a colour or a function (x, y) -> colour."""
        for y in range(max(0, y0), min(self.h - 1, y1) + 1):
            for x in range(max(0, x0), min(self.w - 1, x1) + 1):
                col = paint(x + 0.5, y + 0.5) if callable(paint) else paint
                self.set(x, y, col)

    def fill_sdf(self, sdf, box, paint, alpha=1.0, soft=1.0):
        """Coverage from a signed distance (negative inside); soft > 1 blurs."""
        x0, y0, x1, y1 = box
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                px, py = x + 0.5, y + 0.5
                cov = clamp(0.5 - sdf(px, py) / soft)
                if cov > 0.0:
                    col = paint(px, py) if callable(paint) else paint
                    self.blend(x, y, col, cov * alpha)

    def crop(self, x0, y0, w, h):
        out = Canvas(w, h)
        for y in range(h):
            for x in range(w):
                out.set(x, y, self.get(x0 + x, y0 + y), self.a[(y0 + y) * self.w + x0 + x])
        return out

    def rgb_bytes(self, x, y):
        c = self.c[y * self.w + x]
        return tuple(int(clamp(v, 0.0, 255.0) + 0.5) for v in c)

    def alpha_byte(self, x, y):
        return int(clamp(self.a[y * self.w + x]) * 255.0 + 0.5)


# Signed distance functions ---------------------------------------------------
def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_ring(cx, cy, r_in, r_out):
    def f(x, y):
        d = math.hypot(x - cx, y - cy)
        return max(d - r_out, r_in - d)
    return f


def sd_ellipse(cx, cy, a, b):
    def f(x, y):
        u, v = (x - cx) / a, (y - cy) / b
        return (math.hypot(u, v) - 1.0) * min(a, b)
    return f


def sd_round_rect(x0, y0, x1, y1, r):
    """Rectangle with outer edges at x0..x1, y0..y1 (continuous coordinates)."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return f


def sd_diamond(cx, cy, a, b):
    """Rhombus with half-diagonals a (across) and b (down)."""
    k = math.sqrt(1.0 / (a * a) + 1.0 / (b * b))
    return lambda x, y: (abs(x - cx) / a + abs(y - cy) / b - 1.0) / k


def sd_segment(ax, ay, bx, by, r):
    def f(x, y):
        px, py, dx, dy = x - ax, y - ay, bx - ax, by - ay
        t = clamp((px * dx + py * dy) / (dx * dx + dy * dy))
        return math.hypot(px - dx * t, py - dy * t) - r
    return f


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def vgrad(y0, y1, c0, c1):
    return lambda x, y: mix(c0, c1, clamp((y - y0) / float(y1 - y0)))


def hgrad(x0, x1, c0, c1):
    return lambda x, y: mix(c0, c1, clamp((x - x0) / float(x1 - x0)))


# ---------------------------------------------------------------------------
# Shared motifs
# ---------------------------------------------------------------------------
def draw_disc(cv, cx, cy, r, shadow=True, hub_tint=(150, 200, 255)):
    """A shiny optical disc seen from the front, with a hole in the middle."""
    if shadow:
        cv.fill_sdf(sd_ellipse(cx + r * 0.08, cy + r * 0.12, r * 1.02, r * 0.98),
                    (cx - r * 1.3, cy - r * 1.2, cx + r * 1.4, cy + r * 1.4),
                    (0, 8, 30), alpha=0.45, soft=max(1.0, r * 0.18))

    def surface(x, y):
        dx, dy = x - cx, y - cy
        t = math.atan2(dy, dx)
        rr = math.hypot(dx, dy) / r
        # two opposite glints, as a light above-left would make
        shine = max(0.0, math.cos(2.0 * (t + 2.3))) ** 5
        sheen = max(0.0, math.cos(2.0 * (t + 0.75))) ** 9
        base = mix((170, 180, 198), (214, 220, 232), clamp(rr))
        phase = 3.0 * t + 5.0 * rr
        tint = (math.sin(phase), math.sin(phase + 2.1), math.sin(phase + 4.2))
        amp = 16.0 * (0.35 + shine)
        col = [base[j] + tint[j] * amp for j in range(3)]
        return mix(col, (255, 255, 255), 0.78 * shine + 0.35 * sheen)

    box = (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1)
    cv.fill_sdf(sd_ring(cx, cy, r * 0.30, r), box, (92, 100, 122))           # edge
    cv.fill_sdf(sd_ring(cx, cy, r * 0.31, r - max(0.8, r * 0.025)), box, surface)
    cv.fill_sdf(sd_ring(cx, cy, r * 0.22, r * 0.31), box, hub_tint, alpha=0.45)  # clear ring
    hub = lambda x, y: mix((236, 240, 246), (168, 176, 192), clamp((y - cy + r * 0.2) / (r * 0.4)))
    cv.fill_sdf(sd_ring(cx, cy, r * 0.11, r * 0.21), box, hub)
    cv.fill_sdf(sd_ring(cx, cy, r * 0.15, r * 0.16), box, (140, 148, 166), alpha=0.8)
    cv.fill_sdf(sd_ring(cx, cy, r * 0.10, r * 0.115), box, (90, 98, 120), alpha=0.9)
    # a small four-pointed glint on the upper-left highlight
    if r >= 20:
        sx, sy = cx - r * 0.50, cy - r * 0.48
        s, t = r * 0.20, max(1.0, r * 0.03)
        star = sd_union(sd_diamond(sx, sy, s, t), sd_diamond(sx, sy, t, s * 0.8))
        cv.fill_sdf(star, (sx - s - 1, sy - s - 1, sx + s + 1, sy + s + 1), (255, 255, 255), alpha=0.9)
        cv.fill_sdf(sd_circle(sx, sy, r * 0.06), (sx - s, sy - s, sx + s, sy + s),
                    (255, 255, 255), alpha=0.5, soft=r * 0.05)


def draw_drive(cv, x0, y0, x1, y1, led=(70, 170, 255), face=((236, 240, 246), (150, 160, 180))):
    """One drive unit of an array: a silver slab with a blue status light."""
    h = y1 - y0
    r = max(1.0, h * 0.22)
    cv.fill_sdf(sd_round_rect(x0, y0, x1, y1, r), (x0, y0, x1, y1), (52, 60, 80))
    cv.fill_sdf(sd_round_rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, r - 0.5), (x0, y0, x1, y1),
                vgrad(y0, y1, face[0], face[1]))
    slot_y = y0 + h * 0.5
    cv.fill_sdf(sd_segment(x0 + h * 0.45, slot_y, x1 - h * 1.4, slot_y, max(0.5, h * 0.08)),
                (x0, y0, x1, y1), (70, 78, 98))
    lx = x1 - h * 0.75
    cv.fill_sdf(sd_circle(lx, slot_y, h * 0.22 + 1.2), (lx - h, y0, lx + h, y1), led, alpha=0.35)
    cv.fill_sdf(sd_circle(lx, slot_y, h * 0.16 + 0.3), (lx - h, y0, lx + h, y1), led)


# ---------------------------------------------------------------------------
# Skin
# ---------------------------------------------------------------------------
def corner_cuts():
    """Set of (x, y) key pixels for the four rounded corners."""
    cut = set()
    for name, r in sorted(CORNER_RADII.items()):
        n = int(math.ceil(r))
        for j in range(n):
            for i in range(n):
                dx, dy = r - (i + 0.5), r - (j + 0.5)
                if dx > 0 and dy > 0 and dx * dx + dy * dy > r * r:
                    x = i if name[1] == "l" else SKIN_W - 1 - i
                    y = j if name[0] == "t" else SKIN_H - 1 - j
                    cut.add((x, y))
    if len(cut) != KEY_PIXELS:
        raise SystemExit("corner radii give %d key pixels, want %d" % (len(cut), KEY_PIXELS))
    return cut


def corner_coverage(x, y):
    """How much of pixel (x, y) lies inside the rounded outline (1 = all)."""
    for name, r in CORNER_RADII.items():
        i = x if name[1] == "l" else SKIN_W - 1 - x
        j = y if name[0] == "t" else SKIN_H - 1 - y
        if i < r and j < r:
            n = 4
            inside = 0
            for sj in range(n):
                for si in range(n):
                    dx = r - (i + (si + 0.5) / n)
                    dy = r - (j + (sj + 0.5) / n)
                    if dx <= 0 or dy <= 0 or dx * dx + dy * dy <= r * r:
                        inside += 1
            return inside / float(n * n)
    return 1.0


def draw_frame(cv):
    cv.fill_rect(0, 0, SKIN_W - 1, SKIN_H - 1, vgrad(25, 376, FRAME_TOP, FRAME_BOTTOM))
    # light lip just inside the outline, so the frame reads as raised
    cv.fill_rect(1, 25, 1, 376, FRAME_LIGHT)
    cv.fill_rect(SKIN_W - 2, 25, SKIN_W - 2, 376, mix(FRAME_LIGHT, FRAME_BOTTOM, 0.5))
    cv.fill_rect(1, 25, SKIN_W - 2, 25, FRAME_LIGHT)
    # groove round the heading band and the body
    x0, x1 = INSET_COLS
    y0, y1 = HEADING_ROWS[0], BODY_ROWS[1]
    cv.fill_rect(x0 - 2, y0 - 2, x1 + 2, y0 - 2, FRAME_GROOVE)
    cv.fill_rect(x0 - 2, y0 - 2, x0 - 2, y1 + 2, FRAME_GROOVE)
    cv.fill_rect(x0 - 1, y0 - 1, x1 + 1, y0 - 1, mix(FRAME_GROOVE, FRAME_TOP, 0.5))
    cv.fill_rect(x0 - 1, y0 - 1, x0 - 1, y1 + 1, mix(FRAME_GROOVE, FRAME_TOP, 0.5))
    cv.fill_rect(x1 + 1, y0 - 1, x1 + 1, y1 + 1, FRAME_GROOVE_LIGHT)
    cv.fill_rect(x0 - 1, y1 + 1, x1 + 1, y1 + 1, FRAME_GROOVE_LIGHT)
    cv.fill_rect(x1 + 2, y0 - 2, x1 + 2, y1 + 2, mix(FRAME_GROOVE_LIGHT, FRAME_BOTTOM, 0.5))
    cv.fill_rect(x0 - 2, y1 + 2, x1 + 2, y1 + 2, mix(FRAME_GROOVE_LIGHT, FRAME_BOTTOM, 0.5))
    # the last frame row catches light from the grey band below
    cv.fill_rect(1, BUTTON_ROWS[0] - 1, SKIN_W - 2, BUTTON_ROWS[0] - 1, BUTTON_BAND_LIGHT)


def draw_title(cv):
    y0, y1 = TITLE_ROWS
    cv.fill_rect(1, y0, SKIN_W - 2, y1 - 1, vgrad(y0, y1 - 1, TITLE_TOP, TITLE_BOTTOM))
    cv.fill_rect(1, y1, SKIN_W - 2, y1, TITLE_RULE)
    # yellow tab behind the close button: square at the window edge, rounded
    # where it meets the grey title and the frame
    x0, ty0, x1, ty1 = CORNER_PIECE
    r = CORNER_PIECE_RADIUS
    shape = sd_round_rect(x0, ty0 - r * 2, x1 + 1 + r * 2, ty1 + 1, r)
    box = (x0 - 2, ty0, x1, ty1 + 2)
    cv.fill_sdf(sd_round_rect(x0 + 1, ty0 - r * 2, x1 + 3 + r * 2, ty1 + 3, r), box,
                (0, 0, 0), alpha=0.25, soft=2.0)
    cv.fill_sdf(shape, box, CORNER_YELLOW_EDGE)
    inner = sd_round_rect(x0 + 1, ty0 - r * 2, x1 + 1 + r * 2, ty1, r - 1)
    cv.fill_sdf(inner, box, vgrad(ty0, ty1, CORNER_YELLOW_TOP, CORNER_YELLOW_BOTTOM))


def draw_heading(cv):
    x0, x1 = INSET_COLS
    cv.fill_rect(x0, HEADING_ROWS[0], x1, HEADING_ROWS[1], HEADING_BAND)
    cv.fill_rect(x0, UNDERLINE_ROWS[0], x1, UNDERLINE_ROWS[0], UNDERLINE_LIGHT)
    cv.fill_rect(x0, UNDERLINE_ROWS[1], x1, UNDERLINE_ROWS[1], UNDERLINE_SHADE)
    ax0, ay0, ax1, ay1 = HEADING_ACCENT_BOX
    cv.fill_sdf(sd_round_rect(ax0, ay0, ax1 + 1, ay1 + 1, 2.0), (ax0 - 1, ay0 - 1, ax1 + 1, ay1 + 1),
                vgrad(ay0, ay1, mix(HEADING_ACCENT, (255, 255, 255), 0.35), HEADING_ACCENT))


def draw_panel(cv):
    px0, px1 = PANEL_COLS
    py0, py1 = BODY_ROWS
    pw, ph = px1 - px0 + 1, py1 - py0 + 1

    def P(x, y):            # panel coordinates -> window coordinates
        return px0 + x, py0 + y

    gx, gy = P(pw * 0.5, ph * 0.36)
    floor_y = py0 + ph * 0.62

    def background(x, y):
        col = mix(PANEL_TOP, PANEL_BOTTOM, clamp((y - py0) / ph))
        d = math.hypot((x - gx) / (pw * 0.9), (y - gy) / (ph * 0.55))
        col = mix(col, PANEL_GLOW, 0.55 * clamp(1.0 - d) ** 1.6)
        if y > floor_y:     # a faint floor the objects stand on
            f = clamp((y - floor_y) / 6.0) * 0.35 * clamp(1.0 - (y - floor_y) / (py1 - floor_y))
            col = mix(col, PANEL_FLOOR, f)
        return col

    cv.fill_rect(px0, py0, px1, py1, background)
    # soft light beams from the top right
    for k, (off, wid) in enumerate(((40.0, 14.0), (78.0, 8.0), (104.0, 20.0))):
        ax, ay = P(pw + 20 - off * 0.2, -10)
        bx, by = P(pw * 0.1 - off, ph * 0.75)
        cv.fill_sdf(sd_segment(ax, ay, bx, by, wid), (px0, py0, px1, py1),
                    (180, 210, 255), alpha=0.05, soft=wid)

    # tower, behind the monitor
    tx0, ty0 = P(120, 34)
    tx1, ty1 = P(166, 168)
    cv.fill_sdf(sd_round_rect(tx0 + 3, ty0 + 6, tx1 + 6, ty1 + 5, 6), (tx0, ty0, tx1 + 12, ty1 + 12),
                (0, 8, 30), alpha=0.45, soft=5.0)
    cv.fill_sdf(sd_round_rect(tx0, ty0, tx1, ty1, 5), (tx0, ty0, tx1, ty1), (46, 54, 74))
    cv.fill_sdf(sd_round_rect(tx0 + 1, ty0 + 1, tx1 - 1, ty1 - 1, 4), (tx0, ty0, tx1, ty1),
                hgrad(tx0, tx1, (240, 243, 248), (150, 160, 180)))
    cv.fill_sdf(sd_round_rect(tx0 + 4, ty0 + 4, tx1 - 4, ty0 + 12, 2), (tx0, ty0, tx1, ty1),
                (200, 208, 222))
    for i in range(4):      # the array: four drive bays
        by = ty0 + 18 + i * 13
        draw_drive(cv, tx0 + 5, by, tx1 - 5, by + 10,
                   led=(70, 200, 120) if i == 0 else (70, 170, 255))
    for i in range(5):      # vents
        vy = ty0 + 82 + i * 5
        cv.fill_sdf(sd_segment(tx0 + 10, vy, tx1 - 10, vy, 0.9), (tx0, vy - 2, tx1, vy + 2),
                    (112, 122, 142))
    bx, by = tx0 + (tx1 - tx0) / 2.0, ty1 - 18
    cv.fill_sdf(sd_circle(bx, by, 7.5), (bx - 9, by - 9, bx + 9, by + 9), (70, 170, 255), alpha=0.35)
    cv.fill_sdf(sd_circle(bx, by, 5.5), (bx - 9, by - 9, bx + 9, by + 9), (58, 74, 104))
    cv.fill_sdf(sd_circle(bx, by, 4.2), (bx - 9, by - 9, bx + 9, by + 9),
                vgrad(by - 4, by + 4, (120, 200, 255), (30, 110, 210)))

    # monitor
    mx0, my0 = P(8, 50)
    mx1, my1 = P(124, 136)
    nx0, nx1 = P(56, 0)[0], P(76, 0)[0]
    cv.fill_sdf(sd_ellipse((mx0 + mx1) / 2 + 4, my1 + 22, 48, 7), (mx0 - 10, my1, mx1 + 10, my1 + 34),
                (0, 8, 30), alpha=0.5, soft=4.0)
    neck = sd_round_rect(nx0, my1 - 4, nx1, my1 + 18, 2)
    cv.fill_sdf(neck, (nx0 - 1, my1 - 4, nx1 + 1, my1 + 18),
                hgrad(nx0, nx1, (214, 220, 230), (120, 130, 150)))
    bcx, bcy = (nx0 + nx1) / 2.0, my1 + 19
    cv.fill_sdf(sd_ellipse(bcx, bcy, 34, 7), (bcx - 36, bcy - 9, bcx + 36, bcy + 9), (60, 68, 90))
    cv.fill_sdf(sd_ellipse(bcx, bcy - 0.6, 33, 6), (bcx - 36, bcy - 9, bcx + 36, bcy + 9),
                vgrad(bcy - 6, bcy + 6, (236, 240, 246), (150, 160, 180)))
    cv.fill_sdf(sd_round_rect(mx0 + 2, my0 + 4, mx1 + 5, my1 + 5, 7), (mx0, my0, mx1 + 10, my1 + 10),
                (0, 8, 30), alpha=0.45, soft=4.0)
    cv.fill_sdf(sd_round_rect(mx0, my0, mx1, my1, 6), (mx0, my0, mx1, my1), (40, 48, 68))
    cv.fill_sdf(sd_round_rect(mx0 + 1, my0 + 1, mx1 - 1, my1 - 1, 5), (mx0, my0, mx1, my1),
                vgrad(my0, my1, (244, 246, 250), (170, 178, 196)))
    sx0, sy0, sx1, sy1 = mx0 + 7, my0 + 7, mx1 - 7, my1 - 13
    cv.fill_sdf(sd_round_rect(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, 2), (sx0 - 2, sy0 - 2, sx1 + 2, sy1 + 2),
                (60, 70, 92))

    def screen(x, y):
        col = mix((70, 146, 228), (14, 46, 118), clamp((y - sy0) / (sy1 - sy0)))
        d = math.hypot((x - sx0 - 18) / 70.0, (y - sy0 - 10) / 50.0)
        return mix(col, (140, 200, 255), 0.35 * clamp(1.0 - d))
    cv.fill_sdf(sd_round_rect(sx0, sy0, sx1, sy1, 1.5), (sx0, sy0, sx1, sy1), screen)
    # a small setup window on the screen: title bar, text lines, progress bar
    wx0, wy0, wx1, wy1 = sx0 + 16, sy0 + 12, sx1 - 16, sy1 - 12
    cv.fill_sdf(sd_round_rect(wx0 + 1, wy0 + 2, wx1 + 2, wy1 + 3, 2), (wx0, wy0, wx1 + 4, wy1 + 4),
                (0, 10, 40), alpha=0.35, soft=2.0)
    cv.fill_sdf(sd_round_rect(wx0, wy0, wx1, wy1, 2), (wx0, wy0, wx1, wy1), (236, 241, 250))
    cv.fill_sdf(sd_round_rect(wx0, wy0, wx1, wy0 + 7, 2), (wx0, wy0, wx1, wy0 + 7),
                hgrad(wx0, wx1, (40, 70, 150), (90, 130, 210)))
    for i, ln in enumerate((0.75, 0.55)):
        ly = wy0 + 12 + i * 4
        cv.fill_sdf(sd_segment(wx0 + 5, ly, wx0 + 5 + (wx1 - wx0 - 10) * ln, ly, 0.8),
                    (wx0, ly - 2, wx1, ly + 2), (130, 140, 160))
    gy0 = wy1 - 9
    cv.fill_sdf(sd_round_rect(wx0 + 5, gy0, wx1 - 5, gy0 + 5, 1.5), (wx0, gy0 - 1, wx1, gy0 + 6),
                (150, 160, 180))
    cv.fill_sdf(sd_round_rect(wx0 + 6, gy0 + 1, wx0 + 6 + (wx1 - wx0 - 12) * 0.62, gy0 + 4, 1.0),
                (wx0, gy0 - 1, wx1, gy0 + 6), vgrad(gy0 + 1, gy0 + 4, (120, 220, 140), (30, 150, 60)))
    # glare across the glass
    glare = sd_intersect(sd_round_rect(sx0, sy0, sx1, sy1, 1.5),
                         lambda x, y: (x - sx0) + (y - sy0) * 1.3 - 52.0)
    cv.fill_sdf(glare, (sx0, sy0, sx1, sy1), (255, 255, 255), alpha=0.13)
    lx, ly = (mx0 + mx1) / 2.0, my1 - 6.5
    cv.fill_sdf(sd_circle(lx, ly, 1.6), (lx - 3, ly - 3, lx + 3, ly + 3), (70, 200, 120))

    # the disc, in front
    draw_disc(cv, *P(96, 214), r=52)


def draw_body(cv):
    draw_panel(cv)
    gap0, gap1 = PANEL_COLS[1] + 1, CONTENT_COLS[0] - 1
    cv.fill_rect(gap0, BODY_ROWS[0], gap0, BODY_ROWS[1], SEPARATOR_LIGHT)
    cv.fill_rect(gap1, BODY_ROWS[0], gap1, BODY_ROWS[1], FRAME_GROOVE)
    cv.fill_rect(CONTENT_COLS[0], BODY_ROWS[0], CONTENT_COLS[1], BODY_ROWS[1], CONTENT_BLUE)


def draw_button_band(cv):
    cv.fill_rect(1, BUTTON_ROWS[0], SKIN_W - 2, BUTTON_ROWS[1], BUTTON_BAND)


def round_corners(cv):
    cut = corner_cuts()
    for (x, y) in cut:
        cv.set(x, y, KEY)
    # smooth the staircase next to the cut with the outline colour
    for name, r in CORNER_RADII.items():
        n = int(math.ceil(r)) + 1
        for j in range(n):
            for i in range(n):
                x = i if name[1] == "l" else SKIN_W - 1 - i
                y = j if name[0] == "t" else SKIN_H - 1 - j
                if (x, y) in cut:
                    continue
                cov = corner_coverage(x, y)
                # the outline runs along the curve, one pixel wide
                edge = 0.0
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if (nx, ny) in cut:
                        edge = 1.0
                amount = max(1.0 - cov, 0.85 * edge)
                cv.set(x, y, mix(cv.get(x, y), OUTLINE, clamp(amount)))


def draw_skin():
    cv = Canvas(SKIN_W, SKIN_H)
    draw_frame(cv)
    draw_title(cv)
    draw_heading(cv)
    draw_body(cv)
    draw_button_band(cv)
    # outermost line: top row and side columns (the grey band runs to the bottom edge)
    cv.fill_rect(0, 0, SKIN_W - 1, 0, OUTLINE)
    cv.fill_rect(0, 0, 0, SKIN_H - 1, OUTLINE)
    cv.fill_rect(SKIN_W - 1, 0, SKIN_W - 1, SKIN_H - 1, OUTLINE)
    round_corners(cv)
    return cv


def check_no_stray_key(cv, allowed):
    for y in range(cv.h):
        for x in range(cv.w):
            if cv.rgb_bytes(x, y) == KEY and (x, y) not in allowed:
                # one step off the key colour keeps the region intact
                cv.set(x, y, (255, 1, 255))


# ---------------------------------------------------------------------------
# Buttons, close button, marks
# ---------------------------------------------------------------------------
def draw_push_button(style, pressed=False):
    w, h = BUTTON_SIZE
    top, mid, low, bottom = style
    cv = Canvas(w, h, BUTTON_BAND)
    r = BUTTON_RADIUS
    # faint drop shadow on the band below the button
    if not pressed:
        cv.fill_sdf(sd_round_rect(0.5, 1.5, w - 0.5, h + 0.5, r), (0, 0, w, h), (40, 40, 40),
                    alpha=0.35, soft=1.5)
    cv.fill_sdf(sd_round_rect(0, 0, w, h - (0 if pressed else 0.6), r), (0, 0, w, h), BTN_EDGE)

    def face(x, y):
        t = clamp((y - 1.0) / (h - 2.0))
        if t < 0.5:
            return mix(top, mid, t / 0.5)
        return mix(low, bottom, (t - 0.5) / 0.5)
    inner = sd_round_rect(1, 1, w - 1, h - 1 - (0 if pressed else 0.6), r - 1)
    cv.fill_sdf(inner, (0, 0, w, h), face)
    if pressed:   # inset: shade along the top, no gloss
        cv.fill_sdf(sd_intersect(inner, lambda x, y: y - 3.5), (0, 0, w, 5), (10, 20, 50), alpha=0.35)
    else:         # gloss line under the top edge
        gloss = sd_intersect(sd_round_rect(2, 1.6, w - 2, h * 0.5, r - 1.5), lambda x, y: y - 2.6)
        cv.fill_sdf(gloss, (0, 0, w, h), (255, 255, 255), alpha=0.35)
    return cv


def draw_close(skin, cross, tint=None):
    x0, y0 = CLOSE_POS
    w, h = CLOSE_SIZE
    cv = skin.crop(x0, y0, w, h)
    if tint is not None:    # washed-out yellow for the disabled state
        for y in range(h):
            for x in range(w):
                cv.set(x, y, mix(cv.get(x, y), tint, 0.65))
    cx, cy, s = w / 2.0, h / 2.0, 4.6
    arms = sd_union(sd_segment(cx - s, cy - s, cx + s, cy + s, 1.55),
                    sd_segment(cx - s, cy + s, cx + s, cy - s, 1.55))
    halo = lambda x, y: arms(x, y) - 1.0
    cv.fill_sdf(halo, (0, 0, w, h), (255, 255, 230), alpha=0.55)
    cv.fill_sdf(arms, (0, 0, w, h), cross)
    return cv


def draw_radio(checked):
    w, h = RADIO_SIZE
    cv = Canvas(w, h, CONTENT_BLUE)
    cx, cy, r = w / 2.0, h / 2.0, 7.0
    box = (0, 0, w, h)
    cv.fill_sdf(sd_circle(cx + 0.6, cy + 1.0, r + 0.5), box, (10, 20, 60), alpha=0.4, soft=1.5)
    cv.fill_sdf(sd_circle(cx, cy, r), box, MARK_EDGE)
    cv.fill_sdf(sd_circle(cx, cy, r - 1.2), box, vgrad(cy - r, cy + r, (226, 232, 242), MARK_WHITE))
    if checked:
        cv.fill_sdf(sd_circle(cx, cy, 3.6), box, vgrad(cy - 4, cy + 4, (80, 130, 220), MARK_INK))
        cv.fill_sdf(sd_circle(cx - 1.0, cy - 1.2, 1.1), box, (255, 255, 255), alpha=0.6)
    return cv


def draw_check(checked):
    w, h = CHECK_SIZE
    cv = Canvas(w, h, CONTENT_BLUE)
    s = CHECK_BOX
    x0 = (w - s) // 2
    # Near the top: the button draws its caption from the image's top row,
    # so a box there sits level with the text.
    y0 = CHECK_BOX_TOP
    box = (0, 0, w, h)
    cv.fill_sdf(sd_round_rect(x0 + 0.8, y0 + 1.2, x0 + s + 0.8, y0 + s + 1.2, 1.5), box,
                (10, 20, 60), alpha=0.4, soft=1.3)
    cv.fill_sdf(sd_round_rect(x0, y0, x0 + s, y0 + s, 1.5), box, MARK_EDGE)
    cv.fill_sdf(sd_round_rect(x0 + 1, y0 + 1, x0 + s - 1, y0 + s - 1, 0.8), box,
                vgrad(y0, y0 + s, (222, 228, 240), MARK_WHITE))
    if checked:
        ax, ay = x0 + 3.2, y0 + 6.8
        bx, by = x0 + 5.6, y0 + 9.6
        cx, cy = x0 + 10.2, y0 + 3.2
        tick = sd_union(sd_segment(ax, ay, bx, by, 1.25), sd_segment(bx, by, cx, cy, 1.25))
        cv.fill_sdf(tick, box, MARK_INK)
    return cv


# ---------------------------------------------------------------------------
# Icon, logo, banners, gauge pieces
# ---------------------------------------------------------------------------
def draw_icon(size):
    cv = Canvas(size, size, (0, 0, 0), alpha=0.0)
    s = float(size)
    if size >= 32:
        for i in range(3):
            y = s * (0.08 + i * 0.19)
            draw_drive(cv, s * 0.04, y, s * 0.74, y + s * 0.16, led=(140, 230, 255), face=ICON_DRIVE)
        draw_disc(cv, s * 0.64, s * 0.64, s * 0.335, shadow=False, hub_tint=(60, 140, 255))
    else:
        # too small for the array: the disc with a blue hub ring
        c = s / 2.0
        cv.fill_sdf(sd_ring(c, c, s * 0.12, s * 0.47), (0, 0, s, s), (70, 80, 104))
        surface = lambda x, y: mix((250, 252, 255), (168, 178, 198),
                                   clamp(((x - c) + (y - c)) / s + 0.5))
        cv.fill_sdf(sd_ring(c, c, s * 0.16, s * 0.47 - 1.0), (0, 0, s, s), surface)
        cv.fill_sdf(sd_ring(c, c, s * 0.13, s * 0.26), (0, 0, s, s), (40, 110, 230))
    return cv


def draw_logo(size=64):
    cv = Canvas(size, size, (0, 0, 0), alpha=0.0)
    s = float(size)
    cv.fill_sdf(sd_round_rect(0, 0, s, s, s * 0.18), (0, 0, s, s),
                vgrad(0, s, PANEL_TOP, PANEL_BOTTOM))
    cv.fill_sdf(sd_circle(s * 0.5, s * 0.35, s * 0.5), (0, 0, s, s), PANEL_GLOW, alpha=0.25, soft=s * 0.2)
    draw_disc(cv, s * 0.5, s * 0.5, s * 0.36)
    return cv


def draw_banner(kind):
    w, h = BANNER_SIZE
    cv = Canvas(w, h)
    if kind == "vendor":
        cv.fill_rect(0, 0, w - 1, h - 1, hgrad(0, w, HEADING_BAND, CONTENT_BLUE))
        draw_disc(cv, 24, h / 2.0, 15, shadow=False)
        for i in range(3):
            cv.fill_sdf(sd_round_rect(50 + i * 14, 10, 60 + i * 14, 30, 2), (0, 0, w, h),
                        vgrad(10, 30, (120, 200, 255), (40, 110, 220)))
    elif kind == "array":
        cv.fill_rect(0, 0, w - 1, h - 1, vgrad(0, h, (30, 48, 96), (10, 24, 60)))
        for i in range(3):
            draw_drive(cv, 8 + i * 62, 12, 62 + i * 62, 28)
    else:   # info
        cv.fill_rect(0, 0, w - 1, h - 1, vgrad(0, h, TITLE_TOP, TITLE_BOTTOM))
        cv.fill_sdf(sd_circle(20, 20, 12), (0, 0, w, h), CONTENT_BLUE)
        cv.fill_sdf(sd_circle(20, 13.5, 2.0), (0, 0, w, h), (255, 255, 255))
        cv.fill_sdf(sd_segment(20, 18.5, 20, 27, 1.8), (0, 0, w, h), (255, 255, 255))
        cv.fill_rect(40, 19, w - 10, 20, UNDERLINE_SHADE)
    cv.fill_rect(0, h - 2, w - 1, h - 1, UNDERLINE_SHADE)
    return cv


GAUGE_PALETTE = [
    (0, 0, 0), (255, 255, 255), HEADING_BAND, CONTENT_BLUE,
    (24, 31, 52), (60, 70, 92), (150, 160, 180), (214, 220, 232),
] + [mix((150, 230, 170), (20, 120, 50), i / 7.0) for i in range(8)]
GAUGE_PALETTE = [tuple(int(v + 0.5) for v in c) for c in GAUGE_PALETTE]


def gauge_pixels(part):
    """Indexed pixels of the gauge pieces (left cap, right cap, middle)."""
    w = {"left": 8, "right": 8, "middle": 64}[part]
    h = GAUGE_H
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            border = y in (0, h - 1)
            if part == "left":
                border = border or x == 0
            if part == "right":
                border = border or x == w - 1
            if border:
                row.append(4)
            elif y in (1, h - 2) or (part == "left" and x == 1) or (part == "right" and x == w - 2):
                row.append(5)
            else:
                # fill shaded top to bottom, with a gentle ripple across the middle piece
                shade = (y - 2) * 7 // (h - 4)
                if part == "middle" and (x + y) % 16 == 0:
                    shade = max(0, shade - 1)
                row.append(8 + min(7, shade))
        rows.append(row)
    return w, h, rows


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------
def rle8_row(row):
    """One row in BI_RLE8: runs as (count, index), stretches of unlike
    pixels in absolute mode (0, n, n indices, padded to a word)."""
    out = bytearray()
    i, n = 0, len(row)
    while i < n:
        run = 1
        while i + run < n and run < 255 and row[i + run] == row[i]:
            run += 1
        if run >= 2:
            out += bytes((run, row[i]))
            i += run
            continue
        j = i
        while j < n and j - i < 255 and not (j + 2 < n and row[j] == row[j + 1] == row[j + 2]):
            j += 1
        if j - i < 3:
            for k in range(i, j):
                out += bytes((1, row[k]))
        else:
            out += bytes((0, j - i)) + bytes(row[i:j]) + (b"\0" if (j - i) % 2 else b"")
        i = j
    return out


def bmp8_bytes(cv, name):
    """An 8-bit palette BMP of an image of at most 256 colours, exact, and
    run-length encoded when that is smaller; the loaders read both."""
    w, h = cv.w, cv.h
    pixels = [cv.rgb_bytes(x, y) for y in range(h) for x in range(w)]
    palette = sorted(set(pixels))
    if len(palette) > 256:
        raise SystemExit("%s has %d colours, more than a palette holds" % (name, len(palette)))
    index = {c: i for i, c in enumerate(palette)}
    stride = (w + 3) & ~3
    plain = bytearray()
    rle = bytearray()
    for y in range(h - 1, -1, -1):
        row = [index[c] for c in pixels[y * w:(y + 1) * w]]
        plain += bytes(row) + b"\0" * (stride - w)
        rle += rle8_row(row) + (b"\0\1" if y == 0 else b"\0\0")    # end of line, of bitmap
    data, compression = (bytes(rle), 1) if len(rle) < len(plain) else (bytes(plain), 0)
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, compression, len(data), 2835, 2835, len(palette), 0)
    offset = 14 + len(info) + len(colours)
    head = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return head + info + colours + data


def bmp_bytes(cv):
    """A 24-bit BMP."""
    w, h = cv.w, cv.h
    bpr = w * 3
    stride = (bpr + 3) & ~3
    pixels = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = cv.rgb_bytes(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - bpr)
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + bytes(pixels)


def ico_image(cv, bpp):
    w, h = cv.w, cv.h
    stride = ((w * (bpp // 8)) + 3) & ~3
    mask_stride = ((w + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        bits = [0] * (mask_stride * 8)
        for x in range(w):
            a = cv.alpha_byte(x, y)
            r, g, b = cv.rgb_bytes(x, y)
            if bpp == 32:
                row += bytes((b, g, r, a)) if a else b"\0\0\0\0"
                bits[x] = 1 if a == 0 else 0
            else:
                if a >= 128:
                    # edge pixels: settle the partial alpha over a light neutral
                    k = a / 255.0
                    r, g, b = (int(v * k + 214 * (1 - k) + 0.5) for v in (r, g, b))
                    row += bytes((b, g, r))
                else:
                    row += b"\0\0\0"
                    bits[x] = 1
        row += b"\0" * (stride - len(row))
        xor += row
        for i in range(mask_stride):
            byte = 0
            for k in range(8):
                byte = (byte << 1) | bits[i * 8 + k]
            mask.append(byte)
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico_bytes(images):
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for cv, bpp in images:
        data = ico_image(cv, bpp)
        entries += struct.pack("<BBBBHHII", cv.w % 256, cv.h % 256, 0, 0, 1, bpp, len(data), offset)
        blobs += data
        offset += len(data)
    return head + entries + blobs


def png_bytes(cv):
    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)
    raw = bytearray()
    for y in range(cv.h):
        raw.append(0)
        for x in range(cv.w):
            raw += bytes(cv.rgb_bytes(x, y)) + bytes((cv.alpha_byte(x, y),))
    ihdr = struct.pack(">IIBBBBB", cv.w, cv.h, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def lzw_encode(indices, min_size):
    """GIF LZW: variable code width, clear at start and when the table fills."""
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {(-1, i): i for i in range(clear)}, eoi + 1, min_size + 1

    table, nxt, size = reset()
    emit(clear, size)
    w = -1
    for k in indices:
        if w == -1:
            w = k
            continue
        if (w, k) in table:
            w = table[(w, k)]
            continue
        emit(w, size)
        if nxt < 4096:
            table[(w, k)] = nxt
            if nxt >= (1 << size) and size < 12:
                size += 1
            nxt += 1
        else:
            emit(clear, size)
            table, nxt, size = reset()
        w = k
    if w != -1:
        emit(w, size)
        # the decoder adds one more entry after reading this code
        if nxt < 4096 and nxt >= (1 << size) and size < 12:
            size += 1
    emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(w, h, rows, palette):
    bits = max(1, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    head = b"GIF89a" + struct.pack("<HHBBB", w, h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    head += b"".join(bytes(c) for c in table)
    desc = b"," + struct.pack("<HHHHB", 0, 0, w, h, 0)
    min_size = max(2, bits)
    data = lzw_encode([i for row in rows for i in row], min_size)
    blocks = b"".join(bytes((len(data[i:i + 255]),)) + data[i:i + 255] for i in range(0, len(data), 255))
    return head + desc + bytes((min_size,)) + blocks + b"\0;"


# ---------------------------------------------------------------------------
def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: make_art.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)

    def write(name, data):
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)

    skin = draw_skin()
    check_no_stray_key(skin, corner_cuts())
    frame = skin.crop(0, 0, skin.w, skin.h)
    px0, px1 = PANEL_COLS
    py0, py1 = BODY_ROWS
    frame.fill_rect(px0, py0, px1, py1, PANEL_STAND_IN)
    write("skin.bmp", bmp8_bytes(frame, "skin.bmp"))
    write("skin_panel.bmp", bmp_bytes(skin.crop(px0, py0, px1 - px0 + 1, py1 - py0 + 1)))
    write("skin_layout.h", ("// Written by make_art.py: where the panel picture lies in the skin.\n"
                            "#define SKIN_PANEL_X %d\n#define SKIN_PANEL_Y %d\n" % (px0, py0)).encode())
    images = (("btn_normal.bmp", draw_push_button(BTN_NORMAL)),
              ("btn_pressed.bmp", draw_push_button(BTN_PRESSED, pressed=True)),
              ("btn_hover.bmp", draw_push_button(BTN_HOVER)),
              ("close_normal.bmp", draw_close(skin, CLOSE_GREEN)),
              ("close_hover.bmp", draw_close(skin, CLOSE_ORANGE)),
              ("close_disabled.bmp", draw_close(skin, CLOSE_GREY, CLOSE_DISABLED_TINT)),
              ("radio_empty.bmp", draw_radio(False)), ("radio_set.bmp", draw_radio(True)),
              ("check_off.bmp", draw_check(False)), ("check_on.bmp", draw_check(True)))
    for name, cv in images:
        write(name, bmp8_bytes(cv, name))
    write("setup.ico", ico_bytes([(draw_icon(48), 32), (draw_icon(32), 32), (draw_icon(16), 24)]))
    for name, part in (("middle.gif", "middle"), ("gauge_left.gif", "left"),
                       ("gauge_right.gif", "right")):
        w, h, rows = gauge_pixels(part)
        write(name, gif_bytes(w, h, rows, GAUGE_PALETTE))
    write("Vendor.bmp", bmp_bytes(draw_banner("vendor")))
    write("ArrayTitle.bmp", bmp_bytes(draw_banner("array")))
    write("infoTitle.bmp", bmp_bytes(draw_banner("info")))
    write("Arraylogo.png", png_bytes(draw_logo()))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
