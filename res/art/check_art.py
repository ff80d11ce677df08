#!/usr/bin/env python3
"""Re-reads the generated artwork and checks what the program relies on.

Usage: python3 check_art.py OUTDIR      (exit status 0 = all good)

The wizard cuts its window from the skin's magenta pixels, blits buttons over
fixed bands and fills the check box with the content blue, so those colours
and places must be exact; the other files must at least be valid of their kind.
"""

import os
import struct
import sys
import zlib

KEY = (255, 0, 255)
# A row just inside the check box's frame, above the check mark.
CHECK_INTERIOR_ROW = 1
CONTENT_BLUE = (71, 93, 173)
HEADING_BAND = (0, 56, 85)
BUTTON_BAND = (92, 92, 92)

SKIN_W, SKIN_H = 584, 411
KEY_PIXELS = 71
CORNER_MAX_RUN = 7      # key pixels in one row of one corner
CORNER_MAX_DEPTH = 8    # rows of one corner holding key pixels

BMP_SIZES = {
    "skin.bmp": (584, 411, 8),
    "skin_panel.bmp": (177, 277, 24),
    "btn_normal.bmp": (111, 22, 8),
    "btn_pressed.bmp": (111, 22, 8),
    "btn_hover.bmp": (111, 22, 8),
    "close_normal.bmp": (20, 17, 8),
    "close_hover.bmp": (20, 17, 8),
    "close_disabled.bmp": (20, 17, 8),
    "radio_empty.bmp": (23, 28, 8),
    "radio_set.bmp": (23, 28, 8),
    "check_off.bmp": (21, 24, 8),
    "check_on.bmp": (21, 24, 8),
}
BANNERS = ("Vendor.bmp", "ArrayTitle.bmp", "infoTitle.bmp")
GIFS = ("middle.gif", "gauge_left.gif", "gauge_right.gif")

failures = []


def check(cond, msg):
    if not cond:
        failures.append(msg)
    return cond


def luminance(c):
    def lin(v):
        v /= 255.0
        return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
    return 0.2126 * lin(c[0]) + 0.7152 * lin(c[1]) + 0.0722 * lin(c[2])


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


# ---------------------------------------------------------------------------
class Bmp:
    """A BMP as GDI reads it: 24 bits, or 8 bits with a palette, plain or
    run-length encoded (BI_RLE8)."""

    def __init__(self, path):
        data = open(path, "rb").read()
        name = os.path.basename(path)
        if len(data) < 54 or data[:2] != b"BM":
            raise ValueError("%s: not a BMP" % name)
        size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
        hsize, w, h, planes, bpp, comp, image, _, _, used = struct.unpack_from("<IiiHHIIiiI", data, 14)
        if size != len(data):
            raise ValueError("%s: header size %d, file %d" % (name, size, len(data)))
        if hsize != 40 or planes != 1 or (bpp, comp) not in ((24, 0), (8, 0), (8, 1)):
            raise ValueError("%s: want BITMAPINFOHEADER, 1 plane, 24-bit or 8-bit (plain or RLE8)" % name)
        if w <= 0 or h <= 0:
            raise ValueError("%s: %dx%d" % (name, w, h))
        self.w, self.h, self.bpp = w, h, bpp
        if bpp == 24:
            stride = (w * 3 + 3) & ~3
            if offset + stride * h > len(data):
                raise ValueError("%s: pixel data cut short" % name)
            self.rows = []
            for y in range(h):
                o = offset + (h - 1 - y) * stride        # bottom-up
                self.rows.append([(data[o + 3 * x + 2], data[o + 3 * x + 1], data[o + 3 * x]) for x in range(w)])
            return
        n = used or 256
        if not 0 < n <= 256 or 54 + 4 * n > offset:
            raise ValueError("%s: palette of %d colours" % (name, n))
        palette = [(data[54 + 4 * i + 2], data[54 + 4 * i + 1], data[54 + 4 * i]) for i in range(n)]
        indices = [[None] * w for _ in range(h)]
        if comp == 0:
            stride = (w + 3) & ~3
            if offset + stride * h > len(data):
                raise ValueError("%s: pixel data cut short" % name)
            for y in range(h):
                o = offset + (h - 1 - y) * stride
                indices[y] = list(data[o:o + w])
        else:
            if offset + image != len(data):
                raise ValueError("%s: RLE data of %d bytes, file holds %d" % (name, image, len(data) - offset))
            self.decode_rle8(data, offset, indices, name)
        if any(i is None or i >= n for row in indices for i in row):
            raise ValueError("%s: pixels missing or off the palette" % name)
        self.rows = [[palette[i] for i in row] for row in indices]

    @staticmethod
    def decode_rle8(data, i, indices, name):
        h, w = len(indices), len(indices[0])
        x, y = 0, h - 1
        try:
            while True:
                count, value = data[i], data[i + 1]
                i += 2
                if count:                       # a run
                    for _ in range(count):
                        indices[y][x] = value
                        x += 1
                elif value == 0:                # end of line
                    x, y = 0, y - 1
                elif value == 1:                # end of bitmap
                    return
                elif value == 2:
                    raise ValueError("%s: RLE8 delta, which would leave pixels unset" % name)
                else:                           # absolute: value pixels as they are
                    for k in range(value):
                        indices[y][x] = data[i + k]
                        x += 1
                    i += value + (value & 1)
        except IndexError:
            raise ValueError("%s: RLE8 runs past its row or the end of the data" % name)

    def px(self, x, y):
        return self.rows[y][x]

    def area(self, x0, y0, x1, y1):
        return [self.rows[y][x] for y in range(y0, y1 + 1) for x in range(x0, x1 + 1)]


def mean_lum(pixels):
    return sum(luminance(p) for p in pixels) / len(pixels)


# ---------------------------------------------------------------------------
def check_skin(skin):
    keys = [(x, y) for y in range(skin.h) for x in range(skin.w) if skin.px(x, y) == KEY]
    check(len(keys) == KEY_PIXELS, "skin: %d key pixels, want %d" % (len(keys), KEY_PIXELS))
    corners = {"top-left": {}, "top-right": {}, "bottom-left": {}, "bottom-right": {}}
    for x, y in keys:
        left, top = x < CORNER_MAX_RUN, y < CORNER_MAX_DEPTH
        right, bottom = x >= skin.w - CORNER_MAX_RUN, y >= skin.h - CORNER_MAX_DEPTH
        if not ((left or right) and (top or bottom)):
            check(False, "skin: key colour at (%d,%d), outside the corners" % (x, y))
            continue
        name = ("top-" if top else "bottom-") + ("left" if left else "right")
        i = x if left else skin.w - 1 - x          # distance from the side edge
        j = y if top else skin.h - 1 - y           # distance from the top/bottom edge
        corners[name].setdefault(j, []).append(i)
    for name, rows in sorted(corners.items()):
        if not check(rows, "skin: %s corner is square" % name):
            continue
        check(0 in rows and 0 in rows[0], "skin: %s corner pixel is not cut" % name)
        depth = max(rows) + 1
        check(depth <= CORNER_MAX_DEPTH, "skin: %s corner %d rows deep" % (name, depth))
        check(sorted(rows) == list(range(depth)), "skin: %s corner has a gap between rows" % name)
        prev = None
        for j in sorted(rows):
            run = sorted(rows[j])
            check(len(run) <= CORNER_MAX_RUN, "skin: %s corner row %d cuts %d" % (name, j, len(run)))
            # each row is cut from the edge inwards, and no deeper row cuts more:
            # a rounded outline, not scattered holes
            check(run == list(range(len(run))), "skin: %s corner row %d not cut from the edge" % (name, j))
            check(prev is None or len(run) <= prev, "skin: %s corner widens at row %d" % (name, j))
            prev = len(run)

    def all_exact(box, colour, what):
        bad = [p for p in skin.area(*box) if p != colour]
        check(not bad, "skin: %s not all %s (%d pixels differ, e.g. %s)"
              % (what, colour, len(bad), bad[:1]))

    check(skin.px(380, 300) == CONTENT_BLUE, "skin: content blue at (380,300) is %s" % (skin.px(380, 300),))
    check(skin.px(300, 70) == HEADING_BAND, "skin: heading band at (300,70) is %s" % (skin.px(300, 70),))
    check(skin.px(20, 395) == BUTTON_BAND, "skin: button band at (20,395) is %s" % (skin.px(20, 395),))
    all_exact((190, 93, 571, 369), CONTENT_BLUE, "content area")
    all_exact((35, 55, 548, 89), HEADING_BAND, "heading label area")
    for x in (11, 300, 571):
        all_exact((x, 44, x, 90), HEADING_BAND, "heading band column %d" % x)
    all_exact((312, 380, 562, 401), BUTTON_BAND, "button places")
    all_exact((12, 377, 571, 410), BUTTON_BAND, "button band")

    under = skin.area(11, 91, 571, 92)
    check(min(luminance(p) for p in under) > luminance(HEADING_BAND) + 0.25,
          "skin: the line under the heading band is not light")
    # title text (dark red, bold) goes on rows 7..21 from x 14: keep it plain and light
    for y in range(7, 22):
        row = set(skin.area(14, y, 537, y))
        check(len(row) == 1, "skin: title row %d is not plain (%d colours)" % (y, len(row)))
        check(contrast(next(iter(row)), (85, 0, 0)) >= 7.0, "skin: title row %d too dark for the text" % y)
    for p in skin.area(552, 11, 571, 27):
        if not check(p[0] >= 200 and p[1] >= 150 and p[2] <= 140,
                     "skin: %s behind the close button is not yellow" % (p,)):
            break
    panel = skin.area(11, 93, 187, 369)
    check(len(set(panel)) > 500, "skin: picture panel has only %d colours" % len(set(panel)))
    blue = sum(1 for p in panel if p[2] > p[0] + 20)
    check(blue > len(panel) // 2, "skin: picture panel is not mostly blue")


def check_buttons(bmps):
    lum = {}
    for state in ("normal", "pressed", "hover"):
        b = bmps["btn_%s.bmp" % state]
        for x, y in ((0, 0), (b.w - 1, 0), (0, b.h - 1), (b.w - 1, b.h - 1)):
            p = b.px(x, y)
            check(max(abs(p[i] - BUTTON_BAND[i]) for i in range(3)) <= 12,
                  "btn_%s: corner (%d,%d) %s does not blend into the grey band" % (state, x, y, p))
        face = b.area(8, 5, b.w - 9, 16)      # where the caption goes
        lum[state] = mean_lum(face)
        worst = min(contrast((255, 255, 255), p) for p in face)
        check(worst >= 2.0, "btn_%s: white caption contrast only %.2f" % (state, worst))
        avg = sum(contrast((255, 255, 255), p) for p in face) / len(face)
        check(avg >= 3.0, "btn_%s: mean caption contrast only %.2f" % (state, avg))
    check(lum["pressed"] < lum["normal"] < lum["hover"],
          "buttons: want pressed darker and hover brighter than normal (%s)" % lum)


def check_close(bmps, skin):
    for name in ("close_normal.bmp", "close_hover.bmp"):
        b = bmps[name]
        # the yellow around the cross continues the skin beneath it
        for x, y in ((0, 0), (19, 0), (0, 16), (19, 16)):
            check(b.px(x, y) == skin.px(552 + x, 11 + y),
                  "%s: edge pixel (%d,%d) does not match the skin" % (name, x, y))
    r, g, bl = bmps["close_normal.bmp"].px(10, 8)
    check(g > r + 40 and g > bl + 40, "close_normal: cross centre %s is not green" % ((r, g, bl),))
    r, g, bl = bmps["close_hover.bmp"].px(10, 8)
    check(r > g + 40 and g > bl, "close_hover: cross centre %s is not orange" % ((r, g, bl),))
    p = bmps["close_disabled.bmp"].px(10, 8)
    check(max(p) - min(p) < 24, "close_disabled: cross centre %s is not grey" % (p,))
    d = bmps["close_disabled.bmp"].px(0, 0)
    n = bmps["close_normal.bmp"].px(0, 0)
    check(max(d) - min(d) < max(n) - min(n), "close_disabled: background no greyer than normal")


def check_marks(bmps):
    for name in ("check_off.bmp", "check_on.bmp", "radio_empty.bmp", "radio_set.bmp"):
        b = bmps[name]
        for x, y in ((0, 0), (b.w - 1, 0), (0, b.h - 1), (b.w - 1, b.h - 1)):
            check(b.px(x, y) == CONTENT_BLUE, "%s: corner (%d,%d) is not the content blue" % (name, x, y))
    for name in ("check_off.bmp", "check_on.bmp"):
        b = bmps[name]
        rows = [y for y in range(b.h) if any(b.px(x, y) != CONTENT_BLUE for x in range(b.w))]
        top, bottom = rows[0], b.h - 1 - rows[-1]
        check(top <= 3 and bottom >= 6, "%s: box not level with the caption (%d above, %d below)" % (name, top, bottom))
        white = [x for x in range(b.w) if min(b.px(x, b.h - 4)) >= 200]
        check(not white, "%s: white reaches the bottom rows" % name)
        light = [x for x in range(b.w) if min(b.px(x, CHECK_INTERIOR_ROW)) >= 200]
        check(9 <= len(light) <= 15, "%s: box interior %d wide, want about 13" % (name, len(light)))
    box = lambda b: b.area(6, 2, 14, 10)        # inside the frame of the box
    ink_off = sum(1 for p in box(bmps["check_off.bmp"]) if luminance(p) < 0.1)
    ink_on = sum(1 for p in box(bmps["check_on.bmp"]) if luminance(p) < 0.1)
    check(ink_off == 0, "check_off: %d dark pixels inside the box" % ink_off)
    check(ink_on >= 10, "check_on: only %d dark pixels make the check mark" % ink_on)
    c_empty = bmps["radio_empty.bmp"].px(11, 14)
    c_set = bmps["radio_set.bmp"].px(11, 14)
    check(luminance(c_empty) > 0.6, "radio_empty: centre %s is not light" % (c_empty,))
    check(luminance(c_set) < 0.15, "radio_set: centre %s is not dark" % (c_set,))


# ---------------------------------------------------------------------------
def check_ico(path):
    data = open(path, "rb").read()
    if not check(len(data) >= 6, "setup.ico: too short"):
        return
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    check(reserved == 0 and kind == 1, "setup.ico: not an icon file")
    if not check(count == 3, "setup.ico: %d images, want 3" % count):
        return
    want = [(48, 32), (32, 32), (16, 24)]
    for n in range(count):
        w, h, colours, res, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        tag = "setup.ico image %d" % n
        check((w, bpp) == want[n] and h == w, "%s: %dx%d at %d bits, want %dx%d at %d"
              % (tag, w, h, bpp, want[n][0], want[n][0], want[n][1]))
        if not check(offset + size <= len(data), "%s: runs past the end" % tag):
            continue
        hsize, dw, dh, dplanes, dbpp, comp = struct.unpack_from("<IiiHHI", data, offset)
        check(hsize == 40 and dw == w and dh == 2 * h and dplanes == 1 and dbpp == bpp and comp == 0,
              "%s: bitmap header %s" % (tag, (hsize, dw, dh, dplanes, dbpp, comp)))
        stride = (w * bpp // 8 + 3) & ~3
        mstride = ((w + 31) // 32) * 4
        if not check(size == 40 + stride * h + mstride * h, "%s: %d bytes, want %d"
                     % (tag, size, 40 + stride * h + mstride * h)):
            continue
        xor = data[offset + 40: offset + 40 + stride * h]
        mask = data[offset + 40 + stride * h: offset + size]
        bits = [(mask[y * mstride + x // 8] >> (7 - x % 8)) & 1 for y in range(h) for x in range(w)]
        check(0 < sum(bits) < w * h, "%s: mask is all %s" % (tag, "clear" if sum(bits) == 0 else "set"))
        if bpp == 32:
            alpha = [xor[y * stride + x * 4 + 3] for y in range(h) for x in range(w)]
            check(0 in alpha and 255 in alpha and any(0 < a < 255 for a in alpha),
                  "%s: alpha not used (no transparent, opaque and soft pixels)" % tag)
            check(all((a == 0) == (m == 1) for a, m in zip(alpha, bits)),
                  "%s: mask does not follow the alpha" % tag)
        # the corners are see-through, the middle is not
        check(bits[0] == 1 and bits[w - 1] == 1, "%s: top corners not transparent" % tag)


def lzw_decode(data, min_size):
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    pos = acc = nbits = 0
    out = []
    table = None
    size = min_size + 1
    prev = None
    while True:
        while nbits < size:
            if pos >= len(data):
                raise ValueError("LZW data ends without end code")
            acc |= data[pos] << nbits
            pos += 1
            nbits += 8
        code = acc & ((1 << size) - 1)
        acc >>= size
        nbits -= size
        if code == clear:
            table = [[i] for i in range(clear)] + [None, None]
            size, prev = min_size + 1, None
            continue
        if code == eoi:
            return out
        if table is None:
            raise ValueError("LZW data does not start with a clear code")
        if code < len(table) and table[code] is not None:
            entry = table[code]
            if prev is not None:
                table.append(prev + entry[:1])
        elif code == len(table) and prev is not None:
            entry = prev + prev[:1]
            table.append(entry)
        else:
            raise ValueError("bad LZW code %d (table %d)" % (code, len(table)))
        out.extend(entry)
        prev = entry
        if len(table) == (1 << size) and size < 12:
            size += 1


def check_gif(path):
    name = os.path.basename(path)
    data = open(path, "rb").read()
    try:
        if data[:6] != b"GIF89a":
            raise ValueError("not GIF89a")
        sw, sh, flags, _, _ = struct.unpack_from("<HHBBB", data, 6)
        pos = 13
        colours = 0
        if flags & 0x80:
            colours = 2 << (flags & 7)
            pos += 3 * colours
        while data[pos] == 0x21:            # extensions
            pos += 2
            while data[pos]:
                pos += data[pos] + 1
            pos += 1
        if data[pos] != 0x2C:
            raise ValueError("no image descriptor")
        x, y, w, h, iflags = struct.unpack_from("<HHHHB", data, pos + 1)
        pos += 10
        if iflags & 0x80:
            colours = 2 << (iflags & 7)
            pos += 3 * colours
        if not colours:
            raise ValueError("no colour table")
        min_size = data[pos]
        pos += 1
        lzw = bytearray()
        while data[pos]:
            lzw += data[pos + 1: pos + 1 + data[pos]]
            pos += data[pos] + 1
        pos += 1
        if data[pos:] != b";":
            raise ValueError("no trailer after the image")
        pixels = lzw_decode(bytes(lzw), min_size)
    except (ValueError, IndexError, struct.error) as e:
        check(False, "%s: %s" % (name, e))
        return
    check((x, y, w, h) == (0, 0, sw, sh), "%s: image does not fill the screen" % name)
    check(len(pixels) == w * h, "%s: %d pixels decoded, want %d" % (name, len(pixels), w * h))
    check(max(pixels) < colours, "%s: index past the colour table" % name)
    check(len(set(pixels)) > 2, "%s: nearly blank" % name)


def check_png(path):
    name = os.path.basename(path)
    data = open(path, "rb").read()
    if not check(data[:8] == b"\x89PNG\r\n\x1a\n", "%s: bad signature" % name):
        return
    pos, chunks = 8, []
    while pos < len(data):
        if not check(pos + 12 <= len(data), "%s: truncated chunk" % name):
            return
        n, tag = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8: pos + 8 + n]
        crc, = struct.unpack_from(">I", data, pos + 8 + n)
        check(crc == zlib.crc32(tag + body) & 0xFFFFFFFF, "%s: bad CRC on %s" % (name, tag))
        chunks.append((tag, body))
        pos += 12 + n
    tags = [t for t, _ in chunks]
    if not check(tags and tags[0] == b"IHDR" and tags[-1] == b"IEND" and b"IDAT" in tags,
                 "%s: chunks %s" % (name, tags)):
        return
    w, h, depth, ctype, comp, filt, inter = struct.unpack(">IIBBBBB", chunks[0][1])
    check(depth == 8 and ctype in (2, 6) and comp == 0 and filt == 0 and inter == 0,
          "%s: unexpected format %s" % (name, (depth, ctype, comp, filt, inter)))
    try:
        raw = zlib.decompress(b"".join(b for t, b in chunks if t == b"IDAT"))
    except zlib.error as e:
        check(False, "%s: %s" % (name, e))
        return
    bpp = 4 if ctype == 6 else 3
    check(len(raw) == h * (1 + w * bpp), "%s: %d bytes of image data, want %d" % (name, len(raw), h * (1 + w * bpp)))
    check(all(raw[y * (1 + w * bpp)] <= 4 for y in range(h)), "%s: bad filter type" % name)


# ---------------------------------------------------------------------------
def compose_skin(out, bmps):
    """The skin as the wizard shows it: the panel laid over the frame where
    skin_layout.h says."""
    if not all(n in bmps for n in ("skin.bmp", "skin_panel.bmp")):
        return None
    skin, panel = bmps["skin.bmp"], bmps["skin_panel.bmp"]
    try:
        text = open(os.path.join(out, "skin_layout.h")).read()
        at = [int(text.split("#define SKIN_PANEL_%s " % k)[1].split()[0]) for k in "XY"]
    except (OSError, IndexError, ValueError):
        check(False, "skin_layout.h: no SKIN_PANEL_X and SKIN_PANEL_Y")
        return None
    if not check((skin.w, skin.h) == (SKIN_W, SKIN_H) and at[0] + panel.w <= skin.w and at[1] + panel.h <= skin.h,
                 "skin: panel %dx%d at %s does not fit the frame" % (panel.w, panel.h, at)):
        return None
    for y in range(panel.h):
        skin.rows[at[1] + y][at[0]:at[0] + panel.w] = panel.rows[y]
    return skin


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_art.py OUTDIR\n")
        return 2
    out = argv[1]
    bmps = {}
    for name, (w, h, bpp) in sorted(BMP_SIZES.items()) + [(n, (None, None, 24)) for n in BANNERS]:
        try:
            b = Bmp(os.path.join(out, name))
        except (OSError, ValueError) as e:
            check(False, str(e))
            continue
        bmps[name] = b
        if w is not None:
            check((b.w, b.h) == (w, h), "%s: %dx%d, want %dx%d" % (name, b.w, b.h, w, h))
        check(b.bpp == bpp, "%s: %d bits, want %d" % (name, b.bpp, bpp))
    skin = compose_skin(out, bmps)
    if skin:
        check_skin(skin)
        if all(n in bmps for n in ("close_normal.bmp", "close_hover.bmp", "close_disabled.bmp")):
            check_close(bmps, skin)
    if all(n in bmps for n in ("btn_normal.bmp", "btn_pressed.bmp", "btn_hover.bmp")):
        check_buttons(bmps)
    if all(n in bmps for n in ("check_off.bmp", "check_on.bmp", "radio_empty.bmp", "radio_set.bmp")):
        check_marks(bmps)
    for name in ("setup.ico", "Arraylogo.png") + GIFS:
        check(os.path.exists(os.path.join(out, name)), "%s: missing" % name)
    if os.path.exists(os.path.join(out, "setup.ico")):
        check_ico(os.path.join(out, "setup.ico"))
    for name in GIFS:
        if os.path.exists(os.path.join(out, name)):
            check_gif(os.path.join(out, name))
    if os.path.exists(os.path.join(out, "Arraylogo.png")):
        check_png(os.path.join(out, "Arraylogo.png"))
    for f in failures:
        print("FAIL: " + f)
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("art OK")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
