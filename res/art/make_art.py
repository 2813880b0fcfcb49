#!/usr/bin/env python3
"""Draws the program's pictures: the app and button icons, the tree images and the banner.

Shapes are drawn with 4x4 supersampling in plain Python; ImageMagick `convert` only sets the
banner's text and packs the icon sizes into .ico files. Run from anywhere:
    python3 res/art/make_art.py
It rewrites res/*.bmp and res/*.ico; the build uses those files and needs no image tools.
"""
import math
import os
import struct
import subprocess
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(HERE)
SS = 4  # supersampling factor per axis


# ---------------------------------------------------------------- canvas and shapes
class Canvas:
    """An RGBA float canvas; shapes are given in a unit box scaled to the canvas size."""

    def __init__(self, w, h, unit=None):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]
        self.unit = unit if unit is not None else w  # drawing units -> pixels

    def fill(self, inside, bbox, paint):
        """inside(x, y) -> bool in drawing units; paint(x, y) -> (r, g, b, a) in 0..1."""
        s = self.w / self.unit if self.unit else 1.0
        x0 = max(0, int(math.floor(bbox[0] * s)) - 1)
        y0 = max(0, int(math.floor(bbox[1] * s)) - 1)
        x1 = min(self.w, int(math.ceil(bbox[2] * s)) + 1)
        y1 = min(self.h, int(math.ceil(bbox[3] * s)) + 1)
        offs = [(i + 0.5) / SS for i in range(SS)]
        for py in range(y0, y1):
            for px in range(x0, x1):
                hits = 0
                for oy in offs:
                    for ox in offs:
                        if inside((px + ox) / s, (py + oy) / s):
                            hits += 1
                if not hits:
                    continue
                cov = hits / (SS * SS)
                r, g, b, a = paint((px + 0.5) / s, (py + 0.5) / s)
                a *= cov
                d = self.px[py * self.w + px]
                # "over" compositing with straight alpha
                oa = a + d[3] * (1 - a)
                if oa <= 0:
                    continue
                for i, c in enumerate((r, g, b)):
                    d[i] = (c * a + d[i] * d[3] * (1 - a)) / oa
                d[3] = oa


def hexc(h, a=1.0):
    h = h.lstrip("#")
    return (int(h[0:2], 16) / 255, int(h[2:4], 16) / 255, int(h[4:6], 16) / 255, a)


def solid(color):
    c = hexc(color) if isinstance(color, str) else color
    return lambda x, y: c


def vgrad(y0, c0, y1, c1):
    a, b = hexc(c0), hexc(c1)

    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))

    return paint


def rrect(x0, y0, x1, y1, r):
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    return inside, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r), (cx - r, cy - r, cx + r, cy + r)


def ellipse(cx, cy, rx, ry):
    return ((lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1),
            (cx - rx, cy - ry, cx + rx, cy + ry))


def polygon(pts):
    def inside(x, y):
        c = False
        n = len(pts)
        for i in range(n):
            xa, ya = pts[i]
            xb, yb = pts[(i + 1) % n]
            if (ya > y) != (yb > y) and x < (xb - xa) * (y - ya) / (yb - ya) + xa:
                c = not c
        return c

    xs = [p[0] for p in pts]
    ys = [p[1] for p in pts]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def line(xa, ya, xb, yb, width):
    """A stroke with round caps."""
    hw = width / 2
    dx, dy = xb - xa, yb - ya
    ll = dx * dx + dy * dy

    def inside(x, y):
        t = 0 if ll == 0 else max(0, min(1, ((x - xa) * dx + (y - ya) * dy) / ll))
        px, py = xa + t * dx, ya + t * dy
        return (x - px) ** 2 + (y - py) ** 2 <= hw * hw

    return inside, (min(xa, xb) - hw, min(ya, yb) - hw, max(xa, xb) + hw, max(ya, yb) + hw)


def minus(a, b):
    return (lambda x, y: a[0](x, y) and not b[0](x, y)), a[1]


def union(*shapes):
    xs0 = min(s[1][0] for s in shapes)
    ys0 = min(s[1][1] for s in shapes)
    xs1 = max(s[1][2] for s in shapes)
    ys1 = max(s[1][3] for s in shapes)
    return (lambda x, y: any(s[0](x, y) for s in shapes)), (xs0, ys0, xs1, ys1)


def gear(cx, cy, r_out, r_in, teeth, hole):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        d = math.hypot(dx, dy)
        if d < hole:
            return False
        ang = (math.atan2(dy, dx) / (2 * math.pi) * teeth) % 1.0
        r = r_out if 0.25 < ang < 0.75 else r_in
        return d <= r

    return inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out)


def draw(cv, shape, paint):
    cv.fill(shape[0], shape[1], paint if callable(paint) else solid(paint))


# ---------------------------------------------------------------- pictures (32-unit box)
def app_icon(cv):
    """Rounded blue tile holding a white list card with three switches: startup under control."""
    draw(cv, rrect(1, 1, 31, 31, 6), vgrad(1, "#4f9bff", 31, "#1849a8"))
    draw(cv, minus(rrect(1, 1, 31, 31, 6), rrect(2, 2, 30, 30, 5.2)), hexc("#0f3178", 0.9))
    draw(cv, rrect(6, 6.5, 26, 25.5, 2.2), vgrad(6, "#ffffff", 26, "#e3ecfa"))
    rows = [(10.5, True), (16, False), (21.5, True)]
    for y, on in rows:
        draw(cv, rrect(8.5, y - 0.9, 16.5, y + 0.9, 0.9), "#8796b0")
        track = "#2fb457" if on else "#b9c1cf"
        draw(cv, rrect(18, y - 2.1, 24.2, y + 2.1, 2.1), track)
        knob = 22.1 if on else 20.1
        draw(cv, circle(knob, y, 1.6), "#ffffff")


def add_icon(cv):
    draw(cv, circle(16, 16, 14.5), vgrad(1, "#5fd57a", 31, "#1f8a3b"))
    draw(cv, minus(circle(16, 16, 14.5), circle(16, 16, 13.4)), hexc("#17692c", 0.9))
    draw(cv, rrect(8, 14, 24, 18, 1), "#ffffff")
    draw(cv, rrect(14, 8, 18, 24, 1), "#ffffff")


def modify_icon(cv):
    """A pencil across the box, tip at the lower left, over a faint writing line."""
    draw(cv, rrect(3, 27.5, 18, 29, 0.7), "#7b8aa3")

    def rot(pts):
        a = math.radians(-45)
        return [(16 + (x - 16) * math.cos(a) - (y - 16) * math.sin(a),
                 16 + (x - 16) * math.sin(a) + (y - 16) * math.cos(a)) for x, y in pts]

    draw(cv, polygon(rot([(7, 13), (23, 13), (23, 19), (7, 19)])), vgrad(8, "#ffcf4a", 24, "#e08a0b"))
    draw(cv, polygon(rot([(7, 16), (23, 16), (23, 19), (7, 19)])), hexc("#c9700a", 0.35))
    draw(cv, polygon(rot([(23, 13), (25, 13), (25, 19), (23, 19)])), "#b8bcc6")
    draw(cv, polygon(rot([(25, 13), (29.5, 13), (29.5, 19), (25, 19)])), "#f08a9b")
    draw(cv, polygon(rot([(7, 13), (1.5, 16), (7, 19)])), "#f3d9a8")
    draw(cv, polygon(rot([(3.4, 14.9), (1.5, 16), (3.4, 17.1)])), "#3a3f4b")


def property_icon(cv):
    """A page with text lines and a blue information badge."""
    draw(cv, polygon([(5, 2), (20, 2), (26, 8), (26, 30), (5, 30)]), "#8a97ad")
    draw(cv, polygon([(6, 3), (19.5, 3), (25, 8.5), (25, 29), (6, 29)]), vgrad(3, "#ffffff", 29, "#e6ecf5"))
    draw(cv, polygon([(19.5, 3), (25, 8.5), (19.5, 8.5)]), "#c9d3e3")
    for y in (11, 14.5, 18):
        draw(cv, rrect(9, y - 0.7, 21, y + 0.7, 0.6), "#9aa7bd")
    draw(cv, circle(22.5, 23.5, 7.5), vgrad(16, "#4f9bff", 31, "#1849a8"))
    draw(cv, circle(22.5, 19.8, 1.3), "#ffffff")
    draw(cv, rrect(21.4, 22, 23.6, 28, 0.6), "#ffffff")


def tree_gear(cv, ox, cx=16, cy=16, r=13, color=("#aab3c2", "#5d6778")):
    g = gear(ox + cx, cy, r, r * 0.74, 8, r * 0.34)
    draw(cv, g, vgrad(cy - r, color[0], cy + r, color[1]))
    draw(cv, minus(circle(ox + cx, cy, r * 0.55), circle(ox + cx, cy, r * 0.34)), hexc("#ffffff", 0.35))


def tree_folder(cv, ox):
    draw(cv, polygon([(ox + 2, 7), (ox + 12, 7), (ox + 15, 10), (ox + 30, 10), (ox + 30, 27), (ox + 2, 27)]),
         vgrad(7, "#e9b43c", 27, "#c98a12"))
    draw(cv, polygon([(ox + 2, 13), (ox + 30, 13), (ox + 30, 27), (ox + 2, 27)]),
         vgrad(13, "#ffe28a", 27, "#f5b93a"))
    draw(cv, rrect(ox + 2, 13, ox + 30, 14, 0), "#fff1c2")


def tree_window(cv, ox):
    draw(cv, rrect(ox + 2, 4, ox + 30, 28, 2), "#2d4f86")
    draw(cv, rrect(ox + 3, 5, ox + 29, 10, 1.2), vgrad(5, "#5aa2ff", 10, "#2a6fd6"))
    draw(cv, rrect(ox + 3, 10, ox + 29, 27, 0.8), vgrad(10, "#ffffff", 27, "#e7eef9"))
    for i, c in enumerate(("#ff6b5e", "#ffc23d", "#3fcf62")):
        draw(cv, circle(ox + 25.5 - i * 3, 7.5, 1.05), c)
    draw(cv, rrect(ox + 6, 13, ox + 17, 15, 0.6), "#9aa7bd")
    draw(cv, rrect(ox + 6, 17.5, ox + 25, 19, 0.6), "#c2ccdb")
    draw(cv, rrect(ox + 6, 21.5, ox + 21, 23, 0.6), "#c2ccdb")


def block(cv, x, y, s, top, side):
    draw(cv, rrect(x, y, x + s, y + s, 1.2), vgrad(y, top, y + s, side))
    draw(cv, minus(rrect(x, y, x + s, y + s, 1.2), rrect(x + 0.9, y + 0.9, x + s - 0.9, y + s - 0.9, 0.6)),
         hexc("#000000", 0.28))


def tree_registry(cv, ox):
    s = 12
    block(cv, ox + 3, 3, s, "#6fb0ff", "#2a68c9")
    block(cv, ox + 3, 17, s, "#ff8a7a", "#d03a2a")
    block(cv, ox + 17, 17, s, "#7be08f", "#259a43")
    draw(cv, line(ox + 15, 9, ox + 23, 9, 1.3), "#7b8aa3")
    draw(cv, line(ox + 23, 9, ox + 23, 15.5, 1.3), "#7b8aa3")


def person(cv, cx, top, scale, c0, c1, skin=("#ffd9b8", "#e8a97c")):
    draw(cv, ellipse(cx, top + 20 * scale, 9.5 * scale, 8 * scale), vgrad(top + 12 * scale, c0, top + 28 * scale, c1))
    draw(cv, circle(cx, top + 7 * scale, 5.6 * scale), vgrad(top + 1 * scale, skin[0], top + 13 * scale, skin[1]))


def clip_bottom(cv_fn):
    return cv_fn


def tree_users(cv, ox):
    person(cv, ox + 21, 3, 0.95, "#8ec1ff", "#2f6fd0")
    person(cv, ox + 12, 5, 1.0, "#7ddc8f", "#23924a")
    wipe_below(cv, ox, 29)


def tree_user(cv, ox):
    person(cv, ox + 16, 3, 1.1, "#8ec1ff", "#2f6fd0")
    wipe_below(cv, ox, 29)


def wipe_below(cv, ox, y):
    """Cuts the figures flat at the bottom, like a bust."""
    for py in range(int(y * cv.w / cv.unit), cv.h):
        for px in range(int(ox * cv.w / cv.unit), int((ox + 32) * cv.w / cv.unit)):
            cv.px[py * cv.w + px] = [0.0, 0.0, 0.0, 0.0]


def tree_note(cv, ox):
    draw(cv, polygon([(ox + 4, 2), (ox + 19, 2), (ox + 25, 8), (ox + 25, 30), (ox + 4, 30)]), "#8a97ad")
    draw(cv, polygon([(ox + 5, 3), (ox + 18.5, 3), (ox + 24, 8.5), (ox + 24, 29), (ox + 5, 29)]),
         vgrad(3, "#fffdf2", 29, "#f3ecd2"))
    draw(cv, polygon([(ox + 18.5, 3), (ox + 24, 8.5), (ox + 18.5, 8.5)]), "#ddd3b2")
    for y in (8, 11.5, 15):
        draw(cv, rrect(ox + 8, y - 0.6, ox + 17, y + 0.6, 0.5), "#a89f85")
    tree_gear(cv, ox, cx=22, cy=22.5, r=8.6, color=("#9fb3cf", "#4a5f80"))


# ---------------------------------------------------------------- file writers
def to_rgba8(cv):
    out = []
    for p in cv.px:
        out.append(tuple(int(round(max(0, min(1, c)) * 255)) for c in p))
    return out


def write_bmp24(path, w, h, pixels):
    """Bottom-up 24-bit BMP; pixels are (r, g, b) rows top first."""
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line_ = bytearray()
        for x in range(w):
            r, g, b = pixels[y * w + x][:3]
            line_ += bytes((b, g, r))
        line_ += b"\0" * (row - w * 3)
        data += line_
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_png_rgba(path, w, h, pixels):
    import zlib

    raw = bytearray()
    for y in range(h):
        raw.append(0)
        for x in range(w):
            raw += bytes(pixels[y * w + x])

    def chunk(tag, body):
        c = struct.pack(">I", len(body)) + tag + body
        return c + struct.pack(">I", zlib.crc32(tag + body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_ico(path, images):
    """images: list of (size, rgba pixels). 256 is stored as PNG, the rest as 32-bit BMPs."""
    entries, blobs = [], []
    for size, pixels in images:
        if size >= 256:
            with tempfile.NamedTemporaryFile(suffix=".png", delete=False) as t:
                name = t.name
            write_png_rgba(name, size, size, pixels)
            blob = open(name, "rb").read()
            os.unlink(name)
        else:
            xor = bytearray()
            for y in range(size - 1, -1, -1):
                for x in range(size):
                    r, g, b, a = pixels[y * size + x]
                    xor += bytes((b, g, r, a))
            mask_row = ((size + 31) // 32) * 4
            andm = bytearray()
            for y in range(size - 1, -1, -1):
                bits = bytearray(mask_row)
                for x in range(size):
                    if pixels[y * size + x][3] == 0:
                        bits[x // 8] |= 0x80 >> (x % 8)
                andm += bits
            hdr = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andm), 0, 0, 0, 0)
            blob = hdr + bytes(xor) + bytes(andm)
        entries.append(size)
        blobs.append(blob)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in zip(entries, blobs):
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def render_icon(fn, size):
    cv = Canvas(size, size, unit=32)
    fn(cv)
    return to_rgba8(cv)


def make_icon(name, fn, sizes):
    write_ico(os.path.join(RES, name), [(s, render_icon(fn, s)) for s in sizes])


def make_tree_strip():
    """Ten 32x32 images on pure green; edges are blended against white, the tree's background."""
    cv = Canvas(320, 32, unit=320)
    for i, fn in enumerate((tree_gear, tree_folder, tree_window, tree_registry, tree_users,
                            tree_user, tree_note)):
        fn(cv, i * 32)
    pixels = []
    for r, g, b, a in to_rgba8(cv):
        if a < 110:
            pixels.append((0, 255, 0))
        else:
            t = a / 255
            pixels.append(tuple(int(round(c * t + 255 * (1 - t))) for c in (r, g, b)))
    write_bmp24(os.path.join(RES, "tree_images.bmp"), 320, 32, pixels)


def make_banner():
    w, h = 750, 100
    cv = Canvas(w, h, unit=w)
    draw(cv, rrect(0, 0, w, h, 0), vgrad(0, "#16407f", h, "#0a2350"))
    # Soft rings on the right give the strip depth without competing with the text.
    for cx, cy, r, a in ((690, 10, 120, 0.07), (640, 110, 90, 0.06), (735, 95, 55, 0.08)):
        draw(cv, minus(circle(cx, cy, r), circle(cx, cy, r - 14)), hexc("#8fb8ff", a))
    draw(cv, rrect(0, h - 3, w, h, 0), "#3d8bfd")
    # The app emblem at 64 px, placed in the strip.
    emblem = Canvas(64, 64, unit=32)
    app_icon(emblem)
    for y in range(64):
        for x in range(64):
            s = emblem.px[y * 64 + x]
            d = cv.px[(y + 17) * w + x + 22]
            a = s[3]
            for i in range(3):
                d[i] = s[i] * a + d[i] * (1 - a)
    base = os.path.join(tempfile.gettempdir(), "quorvane_banner_base.bmp")
    write_bmp24(base, w, h, to_rgba8(cv))
    out = os.path.join(RES, "banner.bmp")
    subprocess.run([
        "convert", base,
        "-font", "DejaVu-Sans-Bold", "-pointsize", "34", "-fill", "#ffffff",
        "-annotate", "+104+52", "Quorvane",
        "-font", "DejaVu-Sans", "-pointsize", "15", "-fill", "#b9d3ff",
        "-annotate", "+106+76", "Startup programs under control",
        "-type", "TrueColor", "BMP3:" + out], check=True)
    os.unlink(base)


def main():
    make_icon("quorvane.ico", app_icon, (16, 24, 32, 48, 256))
    make_icon("add.ico", add_icon, (16, 24, 32, 48))
    make_icon("modify.ico", modify_icon, (16, 24, 32, 48))
    make_icon("property.ico", property_icon, (16, 24, 32, 48))
    make_tree_strip()
    make_banner()


if __name__ == "__main__":
    main()
