#!/usr/bin/env python3
"""Draws quillmoor's artwork: the backgrounds of the main window and of the
reasons editor, and the program icon.

Standard library only, deterministic: running it again writes the same bytes.
The build uses the files it wrote (background.bmp, editor.bmp, quillmoor.ico),
so it only
needs to run again when the artwork changes:

    python3 platform/win32/art/make_art.py
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The bitmap is 118 x 52; the window shows its top-left 116 x 51.
BMP_W, BMP_H = 118, 52
CLIENT_W, CLIENT_H = 116, 51
LABEL1 = (8, 24, 17, 17)   # the menu button
LABEL2 = (32, 25, 73, 17)  # the idle clock

# The editor's bitmap is 296 x 72; the window shows its top-left 295 x 71.
EDITOR_W, EDITOR_H = 296, 72
EDITOR_CLIENT_W, EDITOR_CLIENT_H = 295, 71
EDITOR_LIST = (10, 7, 273, 58)  # the reasons list

SLATE_TOP = (0x37, 0x43, 0x52)
SLATE_BOTTOM = (0x1a, 0x21, 0x2a)
BORDER = (0x93, 0xa9, 0xc0)
BEVEL = (0x4d, 0x5c, 0x6e)
CREAM = (0xf0, 0xe4, 0xc0)
CREAM_DARK = (0xb8, 0xa2, 0x72)
INK = (0x12, 0x17, 0x1d)
FIELD = (0x12, 0x18, 0x1f)
FIELD_EDGE = (0x5a, 0x6c, 0x80)
BUTTON_HI = (0x6e, 0xa3, 0xcc)
BUTTON_LO = (0x2a, 0x55, 0x7a)
BUTTON_RIM = (0xb4, 0xd0, 0xe8)
TITLE = (0xc9, 0xd6, 0xe3)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0)):
        self.w, self.h = w, h
        self.px = [[fill for _ in range(w)] for _ in range(h)]
        self.alpha = [[255 for _ in range(w)] for _ in range(h)]

    def put(self, x, y, color, cover=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and cover > 0:
            self.px[y][x] = mix(self.px[y][x], color, cover)

    def coverage(self, x, y, inside, samples=4):
        """How much of pixel (x, y) lies inside the shape, by supersampling."""
        hits = 0
        for sy in range(samples):
            for sx in range(samples):
                if inside(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples):
                    hits += 1
        return hits / (samples * samples)

    def shape(self, inside, color, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                c = self.coverage(x, y, inside)
                if c:
                    self.put(x, y, color(x, y) if callable(color) else color, c)


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from a point to segment a-b, and where along it (0..1) it lies."""
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    tc = max(0.0, min(1.0, t))
    cx, cy = ax + tc * dx, ay + tc * dy
    return math.hypot(px - cx, py - cy), t, (px - ax) * dy - (py - ay) * dx


def feather(canvas, tip, nib, width, vane_color, barb_color, shaft_color):
    """A quill from its feathered top `tip` down to its writing `nib`."""
    (ax, ay), (bx, by) = tip, nib
    length = math.hypot(bx - ax, by - ay)
    box = (int(min(ax, bx) - width - 2), int(min(ay, by) - width - 2),
           int(max(ax, bx) + width + 3), int(max(ay, by) + width + 3))

    def vane(x, y):
        d, t, side = seg_dist(x, y, ax, ay, bx, by)
        if not 0.0 <= t <= 0.78:
            return False
        # Wide in the middle, pointed at the top, trailing off toward the nib;
        # the far side of the shaft is a little narrower.
        profile = math.sin(math.pi * min(1.0, t / 0.78)) ** 0.7
        w = width * profile * (1.0 if side > 0 else 0.72)
        return d <= w

    def barbs(x, y):
        d, t, side = seg_dist(x, y, ax, ay, bx, by)
        if not 0.12 <= t <= 0.7 or d < 0.9:
            return False
        # Slanted notches cut into the vane, as on a real quill.
        u = t * length + d * 0.9
        return (u % 3.2) < 0.55

    def shaft(x, y):
        d, t, _ = seg_dist(x, y, ax, ay, bx, by)
        return -0.02 <= t <= 1.0 and d <= 0.55 + 0.25 * t

    def vane_shade(x, y):
        _, t, _ = seg_dist(x + 0.5, y + 0.5, ax, ay, bx, by)
        return mix(vane_color, CREAM_DARK, t * 0.9)

    canvas.shape(vane, vane_shade, box)
    canvas.shape(lambda x, y: vane(x, y) and barbs(x, y), barb_color, box)
    canvas.shape(shaft, shaft_color, box)


# A 1-pixel font for the title: rows are ascender (2), x-height (4),
# descender (2).
GLYPHS = {
    'q': ["....", "....", ".###", "#..#", "#..#", ".###", "...#", "...#"],
    'u': ["....", "....", "#..#", "#..#", "#..#", ".###", "....", "...."],
    'i': ["#", ".", "#", "#", "#", "#", ".", "."],
    'l': ["#", "#", "#", "#", "#", "#", ".", "."],
    'm': [".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", ".....", "....."],
    'o': ["....", "....", ".##.", "#..#", "#..#", ".##.", "....", "...."],
    'r': ["...", "...", "#.#", "##.", "#..", "#..", "...", "..."],
    'd': ["...#", "...#", ".###", "#..#", "#..#", ".###", "....", "...."],
    'e': ["....", "....", ".##.", "####", "#...", ".##.", "....", "...."],
    ' ': ["..", "..", "..", "..", "..", "..", "..", ".."],
}


def text(canvas, x, y, s, color):
    for ch in s:
        rows = GLYPHS[ch]
        for dy, row in enumerate(rows):
            for dx, bit in enumerate(row):
                if bit == '#':
                    canvas.put(x + dx, y + dy, color)
        x += len(rows[0]) + 1
    return x


def slate(w, h, client_w, client_h):
    """The slate gradient with the frame on the part the window shows."""
    c = Canvas(w, h)
    for y in range(h):
        row = mix(SLATE_TOP, SLATE_BOTTOM, y / (client_h - 1))
        for x in range(w):
            c.px[y][x] = row
    for x in range(client_w):
        c.put(x, 0, BORDER)
        c.put(x, client_h - 1, BORDER)
    for y in range(client_h):
        c.put(0, y, BORDER)
        c.put(client_w - 1, y, BORDER)
    for x in range(1, client_w - 1):
        c.put(x, 1, BEVEL)
    for y in range(1, client_h - 1):
        c.put(1, y, BEVEL)
    for x in range(client_w, w):
        for y in range(h):
            c.px[y][x] = BORDER
    for x in range(w):
        c.px[h - 1][x] = BORDER
    return c


def background():
    c = slate(BMP_W, BMP_H, CLIENT_W, CLIENT_H)
    # A faint sheen across the top half, inside the bevel.
    for y in range(2, 20):
        for x in range(2, CLIENT_W - 1):
            c.put(x, y, (0x5a, 0x6a, 0x7c), 0.10 * (1 - y / 20))

    # The quill, top left, its nib pointing down at the menu button.
    feather(c, tip=(22.5, 3.0), nib=(9.0, 21.5), width=4.2,
            vane_color=CREAM, barb_color=(0x8f, 0x7f, 0x5a), shaft_color=(0xe9, 0xd5, 0x9c))

    # The title and a rule under it.
    end = text(c, 30, 5, "quillmoor idle", TITLE)
    for x in range(30, 106):
        fade = 1.0 - max(0, x - end) / 40 if x > end else 1.0
        c.put(x, 16, (0x6c, 0x80, 0x96), 0.8 * fade)
    for x in range(30, 106):
        c.put(x, 17, INK, 0.35)

    # The well the idle clock is written in.
    lx, ly, lw, lh = LABEL2
    r = 3.0

    def rounded(x, y, x0=lx, y0=ly, x1=lx + lw, y1=ly + lh, rad=r):
        cx = min(max(x, x0 + rad), x1 - rad)
        cy = min(max(y, y0 + rad), y1 - rad)
        return math.hypot(x - cx, y - cy) <= rad

    c.shape(lambda x, y: rounded(x, y), FIELD_EDGE, (lx - 1, ly - 1, lx + lw + 1, ly + lh + 1))
    c.shape(lambda x, y: rounded(x, y, lx + 1, ly + 1, lx + lw - 1, ly + lh - 1, r - 1),
            lambda x, y: mix((0x0a, 0x0e, 0x13), FIELD, (y - ly) / 4),
            (lx, ly, lx + lw, ly + lh))

    # The round menu button.
    bx, by, bw, bh = LABEL1
    cx, cy, rad = bx + bw / 2, by + bh / 2, bw / 2 - 0.2
    c.shape(lambda x, y: math.hypot(x - cx, y - cy + 0.6) <= rad, INK, (bx - 1, by - 1, bx + bw + 1, by + bh + 2))
    c.shape(lambda x, y: math.hypot(x - cx, y - cy) <= rad, BUTTON_RIM, (bx, by, bx + bw, by + bh))
    c.shape(lambda x, y: math.hypot(x - cx, y - cy) <= rad - 1.1,
            lambda x, y: mix(BUTTON_HI, BUTTON_LO, math.hypot(x - cx + 3, y - cy + 3) / (2 * rad)),
            (bx, by, bx + bw, by + bh))
    return c


def editor_background():
    c = slate(EDITOR_W, EDITOR_H, EDITOR_CLIENT_W, EDITOR_CLIENT_H)

    # A sunken rim around the list: dark above and left, light below and right.
    lx, ly, lw, lh = EDITOR_LIST
    for x in range(lx - 1, lx + lw + 1):
        c.put(x, ly - 1, INK)
        c.put(x, ly + lh, FIELD_EDGE)
    for y in range(ly - 1, ly + lh + 1):
        c.put(lx - 1, y, INK)
        c.put(lx + lw, y, FIELD_EDGE)

    # A slim quill standing in the margin right of the list.
    feather(c, tip=(290.5, 5.0), nib=(288.0, 64.0), width=2.6,
            vane_color=CREAM, barb_color=(0x8f, 0x7f, 0x5a), shaft_color=(0xe9, 0xd5, 0x9c))
    return c


def write_bmp(canvas, path):
    # A picture of at most 256 colours is stored with a palette: the same
    # pixels in a third of the bytes of the executable.
    colors = sorted({tuple(c) for row in canvas.px for c in row})
    if len(colors) <= 256:
        index = {c: i for i, c in enumerate(colors)}
        bpp, row_bytes = 8, (canvas.w + 3) & ~3
        palette = b''.join(bytes((b, g, r, 0)) for (r, g, b) in colors)
    else:
        bpp, row_bytes, palette = 24, (canvas.w * 3 + 3) & ~3, b''
    pixels = bytearray()
    for y in reversed(range(canvas.h)):
        row = bytearray()
        for (r, g, b) in canvas.px[y]:
            row += bytes((index[(r, g, b)],)) if bpp == 8 else bytes((b, g, r))
        row += bytes(row_bytes - len(row))
        pixels += row
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    used = len(colors) if bpp == 8 else 0
    info = struct.pack('<IiiHHIIiiII', 40, canvas.w, canvas.h, 1, bpp, 0, len(pixels), 2835, 2835, used, used)
    with open(path, 'wb') as f:
        f.write(header + info + palette + pixels)


def icon(size):
    c = Canvas(size, size, (0, 0, 0))
    s = size / 32.0
    for y in range(size):
        for x in range(size):
            c.alpha[y][x] = 0
    # A rounded slate tile with a light rim, the quill across it.
    inset, rad = 1.0 * s, 6.0 * s

    def tile(x, y, grow=0.0):
        x0, y0, x1, y1 = inset - grow, inset - grow, size - inset + grow, size - inset + grow
        cx = min(max(x, x0 + rad), x1 - rad)
        cy = min(max(y, y0 + rad), y1 - rad)
        return math.hypot(x - cx, y - cy) <= rad

    for y in range(size):
        for x in range(size):
            cover = c.coverage(x, y, tile)
            if cover:
                c.alpha[y][x] = round(255 * cover)
                c.px[y][x] = BORDER
    c.shape(lambda x, y: tile(x, y, -1.2 * s),
            lambda x, y: mix(SLATE_TOP, SLATE_BOTTOM, y / size))
    feather(c, tip=(25.0 * s, 5.0 * s), nib=(7.0 * s, 27.5 * s), width=5.0 * s,
            vane_color=CREAM, barb_color=(0x8f, 0x7f, 0x5a), shaft_color=(0xe9, 0xd5, 0x9c))
    return c


def write_ico(canvases, path):
    images = []
    for c in canvases:
        xor = bytearray()
        for y in reversed(range(c.h)):
            for x in range(c.w):
                r, g, b = c.px[y][x]
                xor += bytes((b, g, r, c.alpha[y][x]))
        mask_row = ((c.w + 31) // 32) * 4
        mask = bytearray()
        for y in reversed(range(c.h)):
            row = bytearray(mask_row)
            for x in range(c.w):
                if c.alpha[y][x] < 128:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c, info + xor + mask))
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in images:
        out += struct.pack('<BBBBHHII', c.w % 256, c.h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    with open(path, 'wb') as f:
        f.write(out)


def main():
    write_bmp(background(), os.path.join(HERE, 'background.bmp'))
    write_bmp(editor_background(), os.path.join(HERE, 'editor.bmp'))
    write_ico([icon(16), icon(32)], os.path.join(HERE, 'quillmoor.ico'))


if __name__ == '__main__':
    main()
