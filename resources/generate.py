#!/usr/bin/env python3
"""Draws every picture, icon and cursor of Thalvane and writes them below resources/.

    python3 resources/generate.py

Everything is drawn from code: shapes, gradients and text set in fonts installed on the
system (DejaVu and the AR PL UMing/UKai CJK fonts). The pictures share one maritime look:
deep navy and sea green with warm amber and coral accents.

Large pictures are drawn at four to eight times their size and scaled down. Several of
them are shown stretched to a frame of another shape (see the table in README.md); those
are drawn in the proportions of their frame and then scaled to the file's size, so that
circles and lettering look right on screen. The 16 x 16 icons and the cursor are drawn
pixel by pixel.

Icons and the cursor are written as classic ICO/CUR files with palettised DIB images
(8 or 4 bits per pixel plus an AND mask), the form the window system and Qt's ico
reader understand, with the real colour depth the program asks for.
"""

import math
import os
import random
import struct
import sys

try:
    from PIL import Image, ImageDraw, ImageFilter, ImageFont, features
except ImportError:  # a Python without Pillow first on PATH: use the system's own
    SYSTEM_PYTHON = "/usr/bin/python3"
    if os.path.realpath(sys.executable) != os.path.realpath(SYSTEM_PYTHON) and os.path.exists(SYSTEM_PYTHON):
        os.execv(SYSTEM_PYTHON, [SYSTEM_PYTHON] + sys.argv)
    sys.exit("generate.py needs Pillow (Debian package python3-pil)")

HERE = os.path.dirname(os.path.abspath(__file__))

FONT_FILES = {
    "serif_bold": "/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf",
    "kai": "/usr/share/fonts/truetype/arphic/ukai.ttc",
    "ming": "/usr/share/fonts/truetype/arphic/uming.ttc",
}
FONT_PACKAGES = "fonts-dejavu-core, fonts-arphic-ukai and fonts-arphic-uming"


def check_fonts():
    missing = [path for path in FONT_FILES.values() if not os.path.isfile(path)]
    if missing:
        sys.exit("missing font files: %s\ninstall the Debian packages %s" % (", ".join(missing), FONT_PACKAGES))


_font_cache = {}


def font(name, size):
    key = (name, size)
    if key not in _font_cache:
        _font_cache[key] = ImageFont.truetype(FONT_FILES[name], size, index=0)
    return _font_cache[key]


# ---------------------------------------------------------------------------------------
# Colours
# ---------------------------------------------------------------------------------------

NAVY_DK = (7, 24, 46)
NAVY = (11, 37, 69)
NAVY_2 = (19, 49, 92)
DEEP = (30, 90, 140)
SEA = (46, 134, 171)
SKY = (142, 197, 224)
TEAL_DK = (14, 104, 95)
TEAL = (27, 153, 139)
TEAL_L = (95, 190, 165)
FOAM = (168, 218, 220)
SAND = (246, 216, 174)
CREAM = (255, 248, 234)
AMBER = (244, 162, 89)
GOLD = (233, 196, 106)
CORAL = (231, 111, 81)
RUST = (176, 64, 44)
WHITE = (255, 255, 255)
STEEL_L = (205, 212, 220)

BOX_COLOURS = [CORAL, AMBER, TEAL, DEEP, GOLD, RUST, (64, 120, 160), TEAL_L, (200, 90, 70)]


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(round(a[i] + (b[i] - a[i]) * t) for i in range(3))


def alpha(colour, a):
    return colour[:3] + (round(255 * a),)


# ---------------------------------------------------------------------------------------
# Drawing surface: coordinates in on-screen pixels, drawn s times larger
# ---------------------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h, s=4, bg=(0, 0, 0, 0)):
        self.w, self.h, self.s = w, h, s
        self.img = Image.new("RGBA", (round(w * s), round(h * s)), bg)
        self.d = ImageDraw.Draw(self.img)

    def layer(self):
        return Canvas(self.w, self.h, self.s)

    def merge(self, other, opacity=1.0):
        img = other.img
        if opacity < 1.0:
            img = img.copy()
            img.putalpha(img.getchannel("A").point(lambda v: round(v * opacity)))
        self.img.alpha_composite(img)

    def p(self, pts):
        return [(x * self.s, y * self.s) for x, y in pts]

    def box(self, b):
        x0, y0, x1, y1 = b
        return [x0 * self.s, y0 * self.s, x1 * self.s - 1, y1 * self.s - 1]

    def width(self, w):
        return max(1, round(w * self.s))

    def poly(self, pts, fill=None, outline=None, width=1.0):
        self.d.polygon(self.p(pts), fill=fill)
        if outline is not None:
            self.line(list(pts) + [pts[0]], outline, width)

    def rect(self, b, fill=None, outline=None, width=1.0):
        self.d.rectangle(self.box(b), fill=fill, outline=outline, width=self.width(width) if outline else 0)

    def rrect(self, b, radius, fill=None, outline=None, width=1.0):
        self.d.rounded_rectangle(self.box(b), radius=radius * self.s, fill=fill, outline=outline,
                                 width=self.width(width) if outline else 0)

    def ellipse(self, b, fill=None, outline=None, width=1.0):
        self.d.ellipse(self.box(b), fill=fill, outline=outline, width=self.width(width) if outline else 0)

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def line(self, pts, fill, width=1.0):
        self.d.line(self.p(pts), fill=fill, width=self.width(width), joint="curve")

    def arc(self, b, start, end, fill, width=1.0):
        self.d.arc(self.box(b), start, end, fill=fill, width=self.width(width))

    def text(self, xy, text, face, size, fill, anchor="la", stroke=0.0, stroke_fill=None, tracking=0.0):
        f = font(face, round(size * self.s))
        x, y = xy[0] * self.s, xy[1] * self.s
        sw = round(stroke * self.s)
        if not tracking:
            self.d.text((x, y), text, font=f, fill=fill, anchor=anchor, stroke_width=sw,
                        stroke_fill=stroke_fill if stroke_fill else fill)
            return
        # letter-spaced: place each character by hand, honouring a left/middle/right anchor
        widths = [f.getlength(ch) for ch in text]
        total = sum(widths) + tracking * self.s * (len(text) - 1)
        if anchor[0] == "m":
            x -= total / 2
        elif anchor[0] == "r":
            x -= total
        for ch, cw in zip(text, widths):
            self.d.text((x, y), ch, font=f, fill=fill, anchor="l" + anchor[1], stroke_width=sw,
                        stroke_fill=stroke_fill if stroke_fill else fill)
            x += cw + tracking * self.s

    def text_width(self, text, face, size):
        return font(face, round(size * self.s)).getlength(text) / self.s

    def gradient(self, b, stops, vertical=True, mask=None):
        """Fills box b with a linear gradient; stops are (position 0..1, colour[, alpha])."""
        x0, y0, x1, y1 = [round(v * self.s) for v in b]
        n = (y1 - y0) if vertical else (x1 - x0)
        strip = Image.new("RGBA", (1, n) if vertical else (n, 1))
        for i in range(n):
            t = i / max(1, n - 1)
            for k in range(len(stops) - 1):
                if stops[k][0] <= t <= stops[k + 1][0]:
                    a, b2 = stops[k], stops[k + 1]
                    u = (t - a[0]) / max(1e-9, b2[0] - a[0])
                    c = mix(a[1], b2[1], u)
                    al = round(255 * ((a[2] if len(a) > 2 else 1) * (1 - u) + (b2[2] if len(b2) > 2 else 1) * u))
                    strip.putpixel((0, i) if vertical else (i, 0), c + (al,))
                    break
        grad = strip.resize((x1 - x0, y1 - y0), Image.Resampling.BILINEAR)
        tile = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        tile.paste(grad, (x0, y0))
        if mask is not None:
            tile.putalpha(Image.composite(tile.getchannel("A"), Image.new("L", self.img.size, 0), mask.img.getchannel("A")))
        self.img.alpha_composite(tile)

    def glow(self, cx, cy, r, colour, strength=1.0):
        """A soft round glow of radius r (on-screen pixels)."""
        g = self.layer()
        g.circle(cx, cy, r * 0.55, fill=alpha(colour, strength))
        g.blur(r * 0.45)
        self.img.alpha_composite(g.img)

    def blur(self, radius):
        # blurred with premultiplied alpha, so that soft edges keep their colour
        self.img = self.img.convert("RGBa").filter(ImageFilter.GaussianBlur(radius * self.s)).convert("RGBA")
        self.d = ImageDraw.Draw(self.img)

    def result(self, size, matte=None):
        img = self.img
        if matte is not None:
            base = Image.new("RGBA", img.size, matte + (255,))
            base.alpha_composite(img)
            img = base
        return img.resize(size, Image.Resampling.LANCZOS)


def bezier(p0, p1, p2, p3=None, n=24):
    pts = []
    for i in range(n + 1):
        t = i / n
        if p3 is None:
            x = (1 - t) ** 2 * p0[0] + 2 * (1 - t) * t * p1[0] + t * t * p2[0]
            y = (1 - t) ** 2 * p0[1] + 2 * (1 - t) * t * p1[1] + t * t * p2[1]
        else:
            x = (1 - t) ** 3 * p0[0] + 3 * (1 - t) ** 2 * t * p1[0] + 3 * (1 - t) * t * t * p2[0] + t ** 3 * p3[0]
            y = (1 - t) ** 3 * p0[1] + 3 * (1 - t) ** 2 * t * p1[1] + 3 * (1 - t) * t * t * p2[1] + t ** 3 * p3[1]
        pts.append((x, y))
    return pts


# ---------------------------------------------------------------------------------------
# Motifs shared by the pictures
# ---------------------------------------------------------------------------------------


def cloud(cv, cx, cy, s, colour=WHITE, shade=(222, 234, 240)):
    """A flat-bottomed fair-weather cloud, about 100 * s wide."""
    puffs = ((-34, 2, 13), (-14, -8, 20), (12, -12, 24), (36, -2, 17), (52, 4, 11))
    for dx, dy, r in puffs:
        cv.circle(cx + dx * s, cy + dy * s + 2 * s, r * s, fill=shade + (255,))
    cv.rect((cx - 40 * s, cy + 2 * s, cx + 58 * s, cy + 15 * s), fill=shade + (255,))
    for dx, dy, r in puffs:
        cv.circle(cx + dx * s, cy + dy * s, r * s, fill=colour + (255,))
    cv.rect((cx - 40 * s, cy, cx + 58 * s, cy + 12 * s), fill=colour + (255,))


def wave_points(x0, x1, y, amp, period, phase=0.0, step=1.0):
    pts = []
    x = x0
    while x <= x1 + step:
        pts.append((x, y + amp * math.sin(2 * math.pi * (x - x0) / period + phase)))
        x += step
    return pts


def wave_line(cv, x0, x1, y, amp, period, colour, width=1.0, phase=0.0):
    cv.line(wave_points(x0, x1, y, amp, period, phase), colour, width)


def wave_band(cv, x0, x1, y, amp, period, bottom, fill, phase=0.0):
    pts = wave_points(x0, x1, y, amp, period, phase)
    cv.poly(pts + [(x1 + 1, bottom), (x0 - 1, bottom)], fill=fill)


def container_ship(cv, x0, wl, L, hull=NAVY, boot=CORAL, house=CREAM, windows=NAVY_2, funnel=AMBER,
                   boxes=BOX_COLOURS, seed=7, silhouette=None, stripe=CREAM, tiers=None):
    """A container ship seen from the side, bow to the right; x0 stern, wl waterline, L length."""
    rnd = random.Random(seed)
    if silhouette is not None:
        hull = boot = house = windows = funnel = stripe = silhouette
        boxes = [silhouette]
    hf = 0.085 * L
    deck = wl - hf
    hull_pts = [(x0, deck), (x0 + 0.86 * L, deck), (x0 + 0.93 * L, deck - 0.14 * hf),
                (x0 + L, deck - 0.28 * hf), (x0 + 0.985 * L, wl - 0.55 * hf), (x0 + 0.955 * L, wl),
                (x0 + 0.05 * L, wl), (x0 + 0.012 * L, wl - 0.45 * hf)]
    # containers first, so the hull's sheer hides their feet
    cw, ch = 0.041 * L, 0.026 * L
    x = x0 + 0.185 * L
    bay = 0
    pattern = tiers or [4, 5, 5, 5, 4, 5, 5, 5, 4, 4, 5, 4, 4, 3, 3, 2]
    while x + cw <= x0 + 0.855 * L:
        n = pattern[bay % len(pattern)]
        for t in range(n):
            c = boxes[rnd.randrange(len(boxes))]
            bx = (x, deck - (t + 1) * ch, x + cw - 0.12 * ch, deck - t * ch)
            cv.rect(bx, fill=c)
            if silhouette is None:
                cv.line([(bx[0], bx[1] + 0.05 * ch), (bx[2], bx[1] + 0.05 * ch)], mix(c, WHITE, 0.35), 0.05 * ch)
                cv.rect(bx, outline=mix(c, NAVY_DK, 0.45), width=0.07 * ch)
        x += cw
        bay += 1
    # funnel behind the accommodation block
    hx0, hx1 = x0 + 0.055 * L, x0 + 0.155 * L
    htop = deck - 0.17 * L
    cv.poly([(x0 + 0.03 * L, htop - 0.025 * L), (x0 + 0.075 * L, htop - 0.025 * L),
             (x0 + 0.08 * L, deck - 0.05 * L), (x0 + 0.035 * L, deck - 0.05 * L)], fill=funnel)
    cv.rect((x0 + 0.03 * L, htop - 0.035 * L, x0 + 0.075 * L, htop - 0.02 * L), fill=NAVY_DK if silhouette is None else silhouette)
    # accommodation block with the bridge on top
    cv.rect((hx0, htop + 0.02 * L, hx1, deck), fill=house)
    cv.rect((hx0 - 0.012 * L, htop, hx1 + 0.018 * L, htop + 0.022 * L), fill=house)
    cv.line([(hx0 + 0.03 * L, htop), (hx0 + 0.03 * L, htop - 0.05 * L)], house, 0.006 * L)
    if silhouette is None:
        cv.rect((hx0 - 0.012 * L, htop + 0.006 * L, hx1 + 0.018 * L, htop + 0.014 * L), fill=windows)
        rows = 5
        for r in range(rows):
            yy = htop + 0.035 * L + r * 0.023 * L
            for k in range(4):
                xx = hx0 + 0.012 * L + k * 0.022 * L
                cv.rect((xx, yy, xx + 0.012 * L, yy + 0.009 * L), fill=windows)
        cv.rect((hx0, htop + 0.02 * L, hx1, deck), outline=mix(house, NAVY, 0.35), width=0.004 * L)
        # lifeboat
        cv.rrect((hx1 - 0.005 * L, deck - 0.06 * L, hx1 + 0.03 * L, deck - 0.043 * L), 0.006 * L, fill=AMBER)
    cv.poly(hull_pts, fill=hull)
    if silhouette is None:
        cv.poly([(x0 + 0.028 * L, wl - 0.24 * hf), (x0 + 0.972 * L, wl - 0.24 * hf),
                 (x0 + 0.955 * L, wl), (x0 + 0.05 * L, wl)], fill=boot)
        cv.line([(x0 + 0.004 * L, deck + 0.16 * hf), (x0 + 0.86 * L, deck + 0.16 * hf),
                 (x0 + 0.93 * L, deck + 0.02 * hf), (x0 + 0.993 * L, deck - 0.12 * hf)], stripe, 0.1 * hf)
    # foremast
    cv.line([(x0 + 0.955 * L, deck - 0.25 * hf), (x0 + 0.955 * L, deck - 0.09 * L)], hull, 0.006 * L)


def bulk_carrier(cv, x0, wl, L, hull=(128, 48, 40), boot=NAVY, hatch=TEAL, crane=GOLD, house=WHITE,
                 windows=NAVY_2, funnel=NAVY, stripe=CREAM):
    """A bulk carrier seen from the side, bow to the right: hatch covers and deck cranes."""
    hf = 0.1 * L
    deck = wl - hf
    # accommodation and funnel aft
    hx0, hx1 = x0 + 0.04 * L, x0 + 0.14 * L
    htop = deck - 0.15 * L
    cv.rect((x0 + 0.05 * L, htop - 0.05 * L, x0 + 0.085 * L, htop + 0.01 * L), fill=funnel)
    cv.rect((x0 + 0.05 * L, htop - 0.038 * L, x0 + 0.085 * L, htop - 0.026 * L), fill=CORAL)
    cv.rect((hx0, htop + 0.02 * L, hx1, deck), fill=house)
    cv.rect((hx0 - 0.01 * L, htop, hx1 + 0.02 * L, htop + 0.022 * L), fill=house)
    cv.rect((hx0 - 0.01 * L, htop + 0.006 * L, hx1 + 0.02 * L, htop + 0.014 * L), fill=windows)
    for r in range(4):
        for k in range(4):
            xx, yy = hx0 + 0.01 * L + k * 0.022 * L, htop + 0.036 * L + r * 0.024 * L
            cv.rect((xx, yy, xx + 0.012 * L, yy + 0.01 * L), fill=windows)
    # hatch covers with cranes between them
    n, hw, gap = 6, 0.08 * L, 0.034 * L
    x = x0 + 0.19 * L
    for i in range(n):
        cv.rect((x, deck - 0.042 * L, x + hw, deck), fill=hatch)
        cv.rect((x, deck - 0.042 * L, x + hw, deck - 0.034 * L), fill=mix(hatch, WHITE, 0.4))
        for k in range(1, 4):
            cv.line([(x + k * hw / 4, deck - 0.034 * L), (x + k * hw / 4, deck)], mix(hatch, NAVY_DK, 0.35), 0.004 * L)
        if i % 2 == 0 and i < n - 1:
            px = x + hw + gap / 2
            cv.rect((px - 0.008 * L, deck - 0.07 * L, px + 0.008 * L, deck), fill=crane)
            cv.rect((px - 0.012 * L, deck - 0.085 * L, px + 0.014 * L, deck - 0.066 * L), fill=crane)
            cv.line([(px + 0.004 * L, deck - 0.075 * L), (px + 0.13 * L, deck - 0.16 * L)], crane, 0.009 * L)
            cv.line([(px, deck - 0.085 * L), (px + 0.13 * L, deck - 0.16 * L)], mix(crane, NAVY_DK, 0.4), 0.003 * L)
        x += hw + gap
    # hull
    cv.poly([(x0, deck), (x0 + 0.86 * L, deck), (x0 + 0.93 * L, deck - 0.14 * hf), (x0 + L, deck - 0.3 * hf),
             (x0 + 0.985 * L, wl - 0.55 * hf), (x0 + 0.955 * L, wl), (x0 + 0.05 * L, wl),
             (x0 + 0.012 * L, wl - 0.45 * hf)], fill=hull)
    cv.poly([(x0 + 0.028 * L, wl - 0.22 * hf), (x0 + 0.972 * L, wl - 0.22 * hf),
             (x0 + 0.955 * L, wl), (x0 + 0.05 * L, wl)], fill=boot)
    cv.line([(x0 + 0.004 * L, deck + 0.14 * hf), (x0 + 0.86 * L, deck + 0.14 * hf),
             (x0 + 0.93 * L, deck), (x0 + 0.993 * L, deck - 0.14 * hf)], stripe, 0.08 * hf)
    cv.line([(x0 + 0.955 * L, deck - 0.28 * hf), (x0 + 0.955 * L, deck - 0.1 * L)], NAVY, 0.006 * L)


def sts_crane(cv, x, base, H, colour, dark, facing=1, cable=None, silhouette=None):
    """A ship-to-shore container crane standing on the quay at x, its boom reaching towards facing."""
    if silhouette is not None:
        colour = dark = silhouette
    t = 0.03 * H
    w = 0.3 * H
    xa, xb = x, x + facing * w
    girder = base - 0.5 * H
    portal = base - 0.36 * H
    apex = (x + facing * w * 0.45, base - H)
    # legs and portal beam
    for lx in (xa, xb):
        cv.rect((lx - t / 2, girder, lx + t / 2, base), fill=colour)
        cv.rect((lx - 0.06 * H, base - 0.025 * H, lx + 0.06 * H, base), fill=dark)
    cv.rect((min(xa, xb), portal - t * 0.6, max(xa, xb), portal + t * 0.6), fill=colour)
    cv.line([(xa, portal), (xb, girder)], colour, t * 0.45)
    # A-frame and ties
    cv.line([(xa, girder), apex, (xb, girder)], colour, t * 0.8)
    back = x - facing * 0.36 * H
    tip = xb + facing * 0.82 * H
    cv.line([apex, (tip - facing * 0.05 * H, girder)], dark, t * 0.28)
    cv.line([apex, (xb + facing * 0.35 * H, girder)], dark, t * 0.28)
    cv.line([apex, (back + facing * 0.04 * H, girder)], dark, t * 0.28)
    # boom girder
    cv.rect((min(back, tip), girder - t * 0.9, max(back, tip), girder + t * 0.5), fill=colour)
    # machinery house on the back end
    mx = back + facing * 0.02 * H
    cv.rect((min(mx, mx + facing * 0.13 * H), girder - 0.09 * H, max(mx, mx + facing * 0.13 * H), girder - t * 0.9), fill=dark)
    # trolley, cable and spreader
    tx = xb + facing * 0.5 * H
    cv.rect((tx - 0.035 * H, girder + t * 0.5, tx + 0.035 * H, girder + 0.045 * H), fill=dark)
    if cable is not None:
        cv.line([(tx, girder + 0.045 * H), (tx, base - 0.12 * H)], cable, t * 0.2)
        cv.rect((tx - 0.06 * H, base - 0.125 * H, tx + 0.06 * H, base - 0.11 * H), fill=dark)


def compass_rose(cv, cx, cy, r, light, dark, ring=None, ring_width=1.0):
    if ring is not None:
        cv.circle(cx, cy, r * 0.74, outline=ring, width=ring_width)
        cv.circle(cx, cy, r * 0.66, outline=ring, width=ring_width * 0.5)
        for k in range(32):
            a = math.radians(k * 360 / 32)
            r0 = r * (0.66 if k % 4 == 0 else 0.7)
            cv.line([(cx + r0 * math.sin(a), cy - r0 * math.cos(a)),
                     (cx + r * 0.74 * math.sin(a), cy - r * 0.74 * math.cos(a))], ring, ring_width * 0.5)
    for main in (False, True):
        for k in range(8):
            if (k % 2 == 0) != main:
                continue
            a = math.radians(k * 45)
            length = r if main else r * 0.58
            hw = r * (0.15 if main else 0.11)
            tip = (cx + length * math.sin(a), cy - length * math.cos(a))
            left = (cx + hw * math.sin(a - math.pi / 2), cy - hw * math.cos(a - math.pi / 2))
            right = (cx + hw * math.sin(a + math.pi / 2), cy - hw * math.cos(a + math.pi / 2))
            cv.poly([(cx, cy), left, tip], fill=light)
            cv.poly([(cx, cy), tip, right], fill=dark)
    cv.circle(cx, cy, r * 0.06, fill=light)


def globe(cv, cx, cy, r, colour, width=1.0, fill=None):
    if fill is not None:
        cv.circle(cx, cy, r, fill=fill)
    for lon in (15, 45, 75):
        rx = r * math.sin(math.radians(lon))
        cv.ellipse((cx - rx, cy - r, cx + rx, cy + r), outline=colour, width=width)
    cv.line([(cx, cy - r), (cx, cy + r)], colour, width)
    for lat in (-60, -30, 0, 30, 60):
        y = cy - r * math.sin(math.radians(lat))
        half = r * math.cos(math.radians(lat))
        cv.arc((cx - half, y - half * 0.16, cx + half, y + half * 0.16), 0, 180, colour, width)
    cv.circle(cx, cy, r, outline=colour, width=width * 1.4)


def anchor(cv, cx, top, h, colour, width):
    cv.circle(cx, top + 0.09 * h, 0.08 * h, outline=colour, width=width)
    cv.line([(cx, top + 0.17 * h), (cx, top + 0.97 * h)], colour, width * 1.2)
    cv.line([(cx - 0.24 * h, top + 0.3 * h), (cx + 0.24 * h, top + 0.3 * h)], colour, width)
    for sx in (-1, 1):
        cv.circle(cx + sx * 0.25 * h, top + 0.3 * h, width * 0.75, fill=colour)
    cv.arc((cx - 0.4 * h, top + 0.17 * h, cx + 0.4 * h, top + 0.97 * h), 15, 165, colour, width)
    for sx in (-1, 1):
        a = math.radians(15 if sx == 1 else 165)
        ex, ey = cx + 0.4 * h * math.cos(a), top + 0.57 * h + 0.4 * h * math.sin(a)
        cv.poly([(ex - sx * 0.02 * h, ey - 0.15 * h), (ex + sx * 0.09 * h, ey + 0.02 * h),
                 (ex - sx * 0.07 * h, ey + 0.04 * h)], fill=colour)


def gull(cv, x, y, span, colour, width):
    hw = span / 2
    left = bezier((x - hw, y - 0.1 * span), (x - 0.3 * hw, y - 0.42 * span), (x, y), n=12)
    right = bezier((x, y), (x + 0.3 * hw, y - 0.42 * span), (x + hw, y - 0.1 * span), n=12)
    cv.line(left + right[1:], colour, width)


def rope(cv, x, y0, y1, thickness, light, dark):
    """A twisted rope running down from y0 to y1 at x."""
    step = thickness * 0.9
    y = y0
    while y < y1:
        pts = [(x - thickness / 2, y + step * 0.2), (x + thickness / 2, y - step * 0.55),
               (x + thickness / 2, y + step * 0.25), (x - thickness / 2, y + step * 1.0)]
        cv.poly(pts, fill=light)
        cv.line([pts[2], pts[3]], dark, thickness * 0.16)
        y += step


def lighthouse(cv, x, base, h, body=WHITE, band=CORAL, lamp=GOLD, roof=NAVY):
    w0, w1 = 0.2 * h, 0.13 * h
    top = base - h * 0.78
    cv.poly([(x - w0 / 2, base), (x + w0 / 2, base), (x + w1 / 2, top), (x - w1 / 2, top)], fill=body)
    for k in range(3):
        ya = base - (k * 2 + 1) * h * 0.78 / 6
        yb = ya - h * 0.78 / 6
        wa = w0 + (w1 - w0) * (base - ya) / (base - top)
        wb = w0 + (w1 - w0) * (base - yb) / (base - top)
        cv.poly([(x - wa / 2, ya), (x + wa / 2, ya), (x + wb / 2, yb), (x - wb / 2, yb)], fill=band)
    cv.rect((x - w1 * 0.75, top - 0.03 * h, x + w1 * 0.75, top), fill=roof)
    cv.rect((x - w1 * 0.4, top - 0.13 * h, x + w1 * 0.4, top - 0.03 * h), fill=lamp)
    cv.poly([(x - w1 * 0.6, top - 0.13 * h), (x + w1 * 0.6, top - 0.13 * h), (x, top - 0.22 * h)], fill=roof)


# ---------------------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------------------


def splash():
    W, H = 454, 340
    cv = Canvas(W, H, 4)
    horizon = 214
    cv.gradient((0, 0, W, horizon + 1), [(0, NAVY_DK), (0.38, NAVY_2), (0.72, (120, 98, 120)), (0.9, (226, 150, 102)), (1, (248, 200, 140))])
    rnd = random.Random(3)
    stars = cv.layer()
    for _ in range(40):
        sx, sy = rnd.uniform(0, W), rnd.uniform(0, 110)
        stars.circle(sx, sy, rnd.uniform(0.35, 0.8), fill=alpha(CREAM, rnd.uniform(0.3, 0.85)))
    cv.merge(stars)
    # sun low on the horizon with its glow
    sun_x = 352
    cv.glow(sun_x, horizon - 6, 120, (255, 190, 120), 0.55)
    cv.circle(sun_x, horizon - 6, 24, fill=(255, 222, 160, 255))
    clouds = cv.layer()
    for cx, cy, w, h, a in ((300, 172, 130, 2.6, 0.5), (404, 188, 80, 2.0, 0.55), (120, 180, 150, 2.4, 0.45),
                            (210, 160, 60, 1.6, 0.35), (60, 196, 70, 1.6, 0.5), (250, 194, 90, 1.4, 0.4)):
        clouds.ellipse((cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2), fill=alpha((255, 218, 176), a))
    clouds.blur(0.5)
    cv.merge(clouds)
    # sea
    cv.gradient((0, horizon, W, H), [(0, (48, 88, 120)), (0.25, DEEP), (1, NAVY_DK)])
    cv.rect((0, horizon, W, horizon + 0.8), fill=(255, 214, 160, 200))
    glitter = cv.layer()
    rnd = random.Random(5)
    for k in range(60):
        t = k / 60
        y = horizon + 3 + t * t * (H - horizon - 10)
        half = 10 + t * 55
        x = sun_x + rnd.uniform(-half, half) * 0.8
        ln = rnd.uniform(6, 18) * (0.5 + t)
        glitter.line([(x - ln / 2, y), (x + ln / 2, y)], alpha((255, 206, 140), 0.85 - 0.6 * t), 1.1 + t)
    cv.merge(glitter)
    waves = cv.layer()
    for k in range(12):
        y = horizon + 14 + k * k * 0.85 + k * 5
        wave_line(waves, -10, W + 10, y, 1.0 + k * 0.15, 40 + k * 6, alpha(FOAM, 0.18 + 0.02 * k), 0.8 + k * 0.06, phase=k * 1.3)
    cv.merge(waves)
    # the ship, lit from behind: dark hull, muted colours
    ship = cv.layer()
    container_ship(ship, 46, 262, 268, hull=NAVY_DK, boot=(120, 48, 40), house=(214, 204, 196), windows=NAVY,
                   funnel=(210, 130, 70), boxes=[mix(c, NAVY, 0.42) for c in BOX_COLOURS], stripe=(190, 180, 170), seed=11)
    cv.merge(ship)
    wake = cv.layer()
    for k in range(4):
        wave_line(wake, 40 - k * 10, 300 + k * 4, 264 + k * 3.5, 0.8, 24, alpha(FOAM, 0.55 - k * 0.1), 1.0)
    cv.merge(wake)
    reflection = cv.layer()
    reflection.rect((50, 264, 305, 272), fill=alpha(NAVY_DK, 0.35))
    cv.merge(reflection)
    birds = cv.layer()
    for x, y, s in ((236, 132, 15), (258, 146, 11), (218, 152, 9)):
        gull(birds, x, y, s, alpha(NAVY_DK, 0.85), 1.4)
    cv.merge(birds)
    # title block
    compass_rose(cv, 48, 60, 30, CREAM, GOLD, ring=alpha(GOLD, 0.9), ring_width=1.0)
    shade = cv.layer()
    shade.text((88, 76), "Thalvane", "serif_bold", 46, alpha(NAVY_DK, 0.6), anchor="ls")
    shade.blur(1.5)
    cv.merge(shade)
    cv.text((86, 74), "Thalvane", "serif_bold", 46, CREAM, anchor="ls")
    tw = cv.text_width("Thalvane", "serif_bold", 46)
    cv.line([(88, 86), (86 + tw, 86)], GOLD, 1.2)
    cv.text((87, 94), "船东信息查询系统", "kai", 22, SAND, anchor="la", stroke=0.35, tracking=3.0)
    cv.text((14, H - 12), "版本 1.0.0", "ming", 12, alpha(CREAM, 0.85), anchor="ls")
    return cv.result((W, H))


def banner():
    W, H = 790, 113  # the frame the banner is stretched to
    cv = Canvas(W, H, 4)
    cv.gradient((0, 0, W, H), [(0, NAVY_DK), (0.5, NAVY_2), (1, DEEP)], vertical=False)
    # warm evening light low over the port
    fade = cv.layer()
    fade.gradient((440, 0, W, H), [(0, WHITE, 0), (0.45, WHITE, 1), (1, WHITE, 1)], vertical=False)
    cv.gradient((440, 10, W, 93), [(0, (120, 96, 120), 0), (0.6, (196, 120, 96), 0.55), (1, (250, 180, 110), 0.95)], mask=fade)
    # skyline of the port on the right
    sky = cv.layer()
    line = (10, 30, 56)
    sts_crane(sky, 612, 92, 74, None, None, facing=-1, silhouette=line)
    sts_crane(sky, 688, 92, 82, None, None, facing=-1, silhouette=line)
    sts_crane(sky, 760, 92, 70, None, None, facing=-1, silhouette=line)
    container_ship(sky, 500, 93, 200, silhouette=line, seed=2, tiers=[3, 4, 4, 4, 3, 4, 4, 4, 3, 3, 4, 3, 3, 2])
    for k in range(10):
        sky.rect((712 + k * 8, 84 - (k % 3) * 5, 719 + k * 8, 92), fill=line)
    cv.merge(sky, 0.85)
    # sea along the bottom
    wave_band(cv, -5, W + 5, 92, 1.6, 60, H + 2, (20, 70, 110, 255))
    wave_band(cv, -5, W + 5, 98, 2.0, 80, H + 2, (25, 110, 130, 255), phase=1.3)
    wave_band(cv, -5, W + 5, 105, 1.8, 54, H + 2, TEAL + (255,), phase=2.2)
    lines = cv.layer()
    wave_line(lines, -5, W + 5, 98.4, 2.0, 80, alpha(FOAM, 0.6), 0.8, phase=1.3)
    wave_line(lines, -5, W + 5, 105.4, 1.8, 54, alpha(FOAM, 0.8), 0.8, phase=2.2)
    cv.merge(lines)
    # emblem and title
    compass_rose(cv, 54, 50, 34, CREAM, GOLD, ring=alpha(GOLD, 0.85), ring_width=1.1)
    shade = cv.layer()
    shade.text((109, 62), "Thalvane", "serif_bold", 38, alpha((0, 0, 0), 0.55), anchor="ls")
    shade.blur(1.4)
    cv.merge(shade)
    cv.text((107, 60), "Thalvane", "serif_bold", 38, CREAM, anchor="ls")
    tw = cv.text_width("Thalvane", "serif_bold", 38)
    cv.text((107 + tw + 16, 60), "船东名录", "kai", 34, GOLD, anchor="ls", stroke=0.5, tracking=2)
    cv.line([(109, 70), (107 + tw + 16 + 4 * 34 + 6, 70)], alpha(GOLD, 0.7), 0.9)
    cv.text((110, 76), "国内外船东信息  ·  公司简介  ·  联系方式", "ming", 12.5, FOAM, anchor="la", tracking=0.6)
    return cv.result((858, 118))


def main_picture():
    W, H = 603, 439  # the frame the picture is stretched to
    cv = Canvas(W, H, 4)
    horizon = 205
    cv.gradient((0, 0, W, horizon + 1), [(0, (96, 160, 200)), (0.55, SKY), (0.9, (228, 236, 226)), (1, (246, 230, 204))])
    cv.glow(500, 70, 120, (255, 236, 190), 0.6)
    cv.circle(500, 70, 20, fill=(255, 244, 214, 255))
    for cx, cy, s in ((120, 62, 1.0), (320, 36, 0.75), (400, 128, 0.6), (40, 138, 0.55)):
        cloud(cv, cx, cy, s)
    # far shore with hills
    hills = cv.layer()
    hills.poly([(0, horizon)] + bezier((0, horizon - 30), (120, horizon - 70), (230, horizon - 8), n=30)
               + bezier((230, horizon - 8), (300, horizon - 40), (380, horizon), n=20) + [(380, horizon)], fill=(118, 160, 160, 255))
    hills.poly([(330, horizon)] + bezier((330, horizon), (440, horizon - 46), (603, horizon - 20), n=30) + [(603, horizon)],
               fill=(132, 172, 170, 255))
    cv.merge(hills)
    # sea
    cv.gradient((0, horizon, W, H), [(0, (90, 160, 186)), (0.3, SEA), (1, NAVY_2)])
    # breakwater with lighthouse on the right
    cv.poly([(430, 262), (603, 250), (603, 272), (430, 270)], fill=(120, 112, 104, 255))
    cv.poly([(430, 262), (603, 250), (603, 255), (432, 265)], fill=(160, 152, 140, 255))
    lighthouse(cv, 560, 254, 80)
    # container terminal on the left: quay, stacks, cranes, berthed ship
    quay_top = 290
    cv.poly([(0, quay_top), (330, quay_top), (350, quay_top + 10), (0, quay_top + 10)], fill=(186, 176, 160, 255))
    cv.rect((0, quay_top + 10, 350, quay_top + 26), fill=(120, 112, 104, 255))
    cv.rect((0, quay_top + 10, 350, quay_top + 12), fill=(220, 200, 120, 255))
    # a distant container yard on the far shore
    yard = cv.layer()
    rnd = random.Random(9)
    yard.rect((228, horizon - 3, 372, horizon + 1), fill=(150, 150, 140, 255))
    for k in range(17):
        for t in range(rnd.choice((1, 2, 2, 3))):
            c = mix(BOX_COLOURS[rnd.randrange(len(BOX_COLOURS))], (150, 180, 190), 0.45)
            yard.rect((232 + k * 8, horizon - 3 - (t + 1) * 4.2, 239.4 + k * 8, horizon - 3 - t * 4.2), fill=c + (255,))
    for x in (300, 336):
        sts_crane(yard, x, horizon - 2, 46, None, None, facing=1, silhouette=(120, 150, 156, 255))
    cv.merge(yard)
    container_ship(cv, 40, 330, 330, seed=4)
    for i, x in enumerate((70, 160, 250)):
        sts_crane(cv, x, quay_top + 2, 150 + (i % 2) * 8, TEAL, TEAL_DK, facing=1, cable=NAVY_DK)
    # tug boat on the open water
    tug = cv.layer()
    tug.poly([(420, 330), (480, 330), (492, 320), (412, 322)], fill=(200, 70, 50, 255))
    tug.poly([(412, 322), (492, 320), (488, 316), (414, 318)], fill=NAVY + (255,))
    tug.rect((432, 300, 458, 318), fill=CREAM + (255,))
    tug.rect((436, 304, 454, 309), fill=NAVY_2 + (255,))
    tug.rect((444, 286, 452, 300), fill=AMBER + (255,))
    tug.rect((444, 286, 452, 290), fill=NAVY_DK + (255,))
    cv.merge(tug)
    waves = cv.layer()
    rnd = random.Random(2)
    for k in range(16):
        y = 340 + k * 6.4
        for _ in range(6):
            x = rnd.uniform(0, W)
            ln = rnd.uniform(16, 40)
            waves.line(wave_points(x, x + ln, y + rnd.uniform(-2, 2), 0.9, 14, rnd.uniform(0, 6)), alpha(FOAM, 0.45), 1.0)
    for x0, ln in ((400, 110), (395, 95)):
        waves.line(wave_points(x0, x0 + ln, 333 + (x0 - 395), 1.0, 18), alpha(WHITE, 0.7), 1.2)
    cv.merge(waves)
    birds = cv.layer()
    for x, y, s in ((370, 90, 14), (392, 104, 10), (350, 112, 8)):
        gull(birds, x, y, s, alpha(NAVY_2, 0.9), 1.2)
    cv.merge(birds)
    return cv.result((624, 397))


def menu_panel():
    W, H = 181, 465  # the frame the panel is stretched to
    cv = Canvas(W, H, 4)
    cv.gradient((0, 0, W, H), [(0, (224, 238, 242)), (0.55, (238, 243, 238)), (1, (246, 238, 222))])
    motif = cv.layer()
    compass_rose(motif, 92, 58, 30, (150, 190, 200, 255), (120, 160, 176, 255), ring=(140, 180, 190, 255), ring_width=1.0)
    for k in range(5):
        wave_line(motif, -4, W + 4, 438 + k * 6, 1.4, 30, (110, 160, 175, 255), 1.0, phase=k * 1.1)
    cv.merge(motif, 0.3)
    strand = cv.layer()
    rope(strand, 172, -4, H + 4, 7.5, (196, 170, 120, 255), (140, 112, 70, 255))
    cv.merge(strand, 0.6)
    edge = cv.layer()
    edge.gradient((W - 3, 0, W, H), [(0, NAVY_2, 0), (1, NAVY_2, 0.25)], vertical=False)
    cv.merge(edge)
    return cv.result((181, 445), matte=(255, 255, 255))


def ship_photo():
    W, H = 150, 107  # the frame the photograph is stretched to
    cv = Canvas(W, H, 6)
    horizon = 62
    cv.gradient((0, 0, W, horizon + 1), [(0, (110, 170, 210)), (1, (226, 236, 232))])
    cv.glow(120, 22, 40, (255, 240, 200), 0.5)
    cv.poly([(0, horizon)] + bezier((0, horizon - 8), (50, horizon - 20), (95, horizon), n=20), fill=(130, 168, 166, 255))
    cv.gradient((0, horizon, W, H), [(0, (96, 158, 184)), (1, NAVY_2)])
    bulk_carrier(cv, 10, 80, 132)
    waves = cv.layer()
    for k in range(5):
        wave_line(waves, -2, W + 2, 84 + k * 4.5, 0.6, 12 + k * 3, alpha(FOAM, 0.45), 0.6, phase=k)
    wave_line(waves, 118, 144, 80.5, 0.5, 8, alpha(WHITE, 0.85), 0.8)
    cv.merge(waves)
    cv.rect((0, 0, W, H), outline=WHITE + (255,), width=2.2)
    cv.rect((0, 0, W, H), outline=NAVY + (255,), width=0.8)
    return cv.result((120, 80))


def query_folder():
    W, H = 199, 79
    cv = Canvas(W, H, 8, bg=WHITE + (255,))
    # the sheet inside, behind the front of the folder
    back = [(14, 12), (44, 12), (50, 6), (78, 6), (84, 12), (108, 12), (108, 64), (14, 64)]
    cv.poly(back, fill=(236, 244, 247, 255), outline=DEEP + (255,), width=1.4)
    cv.poly([(30, 16), (100, 4), (110, 52), (40, 64)], fill=WHITE + (255,), outline=TEAL + (255,), width=1.2)
    for k in range(5):
        y0 = 20 + k * 7
        cv.line([(36 + k * 1.2, y0 + 2), (98 + k * 1.2, y0 - 10)], alpha(STEEL_L, 1), 1.2)
    # the front of the folder, slightly tilted
    front = [(10, 28), (104, 28), (112, 67), (16, 67)]
    cv.gradient((10, 28, 112, 67), [(0, (252, 226, 186)), (1, (244, 196, 138))], mask=_mask(cv, front))
    cv.poly(front, outline=AMBER + (255,), width=1.4)
    cv.line([(13, 32), (104, 32)], alpha(WHITE, 0.8), 1.0)
    anchor(cv, 61, 36, 26, CORAL + (255,), 2.0)
    # a swell trailing off to the right
    wave_line(cv, 118, 186, 46, 3.2, 46, TEAL + (255,), 1.6, phase=math.pi)
    wave_line(cv, 124, 182, 54, 2.6, 40, SEA + (255,), 1.3, phase=math.pi)
    wave_line(cv, 132, 176, 61, 2.0, 34, FOAM + (255,), 1.1, phase=math.pi)
    # the blue rule near the lower edge
    cv.rect((4, 72, 195, 74), fill=DEEP + (255,))
    cv.rect((4, 75, 150, 76), fill=FOAM + (255,))
    return cv.result((W, H))


def _mask(cv, pts):
    m = cv.layer()
    m.poly(pts, fill=(255, 255, 255, 255))
    return m


def info_background():
    W, H = 624, 397
    cv = Canvas(W, H, 4, bg=CREAM + (255,))
    cv.gradient((0, 0, W, H), [(0, (255, 250, 240)), (1, (250, 240, 220))])
    faint = cv.layer()
    globe(faint, 280, 200, 178, (214, 196, 160, 255), 1.2, fill=(244, 236, 218, 255))
    cv.merge(faint, 0.6)
    route = cv.layer()
    pts = bezier((64, 340), (200, 160), (400, 130), (560, 40), n=60)
    for i in range(0, len(pts) - 1, 2):
        route.line([pts[i], pts[i + 1]], (200, 170, 120, 255), 1.2)
    compass_rose(route, 38, 372, 22, (226, 208, 172, 255), (206, 184, 140, 255), ring=(214, 196, 160, 255), ring_width=0.8)
    cv.merge(route, 0.6)
    return cv.result((W, H))


def about_picture():
    W, H = 83, 49  # the frame the picture is stretched to
    cv = Canvas(W, H, 10)
    horizon = 32
    cv.gradient((0, 0, W, horizon + 1), [(0, NAVY_2), (0.6, (150, 104, 116)), (1, (246, 186, 128))])
    cv.glow(58, horizon - 2, 24, (255, 200, 130), 0.6)
    cv.circle(58, horizon - 2, 6, fill=(255, 226, 170, 255))
    cv.gradient((0, horizon, W, H), [(0, (60, 96, 126)), (1, NAVY_DK)])
    glitter = cv.layer()
    for k in range(7):
        y = horizon + 2 + k * 2.2
        glitter.line([(58 - 3 - k, y), (58 + 3 + k, y)], alpha((255, 206, 140), 0.8 - 0.1 * k), 0.6)
    cv.merge(glitter)
    cv.poly([(0, 40), (6, 34), (14, 33), (22, 38), (26, 49), (0, 49)], fill=(22, 36, 52, 255))
    beam = cv.layer()
    cone = cv.layer()
    cone.poly([(11, 13.5), (48, 7), (48, 19)], fill=(255, 255, 255, 255))
    beam.gradient((11, 5, 48, 21), [(0, (255, 240, 190), 0.75), (1, (255, 240, 190), 0)], vertical=False, mask=cone)
    beam.blur(0.5)
    cv.merge(beam)
    lighthouse(cv, 11, 35, 26)
    container_ship(cv, 36, 40.5, 40, silhouette=(12, 26, 44, 255), seed=3)
    return cv.result((120, 67))


# ---------------------------------------------------------------------------------------
# Icons: 16 x 16 drawn pixel by pixel, 32 x 32 drawn large and scaled down
# ---------------------------------------------------------------------------------------

PIX = {
    "k": (10, 31, 58), "n": (22, 63, 115), "b": (46, 111, 176), "c": (124, 195, 232), "w": (255, 255, 255),
    "g": (27, 153, 139), "G": (111, 211, 184), "d": (14, 100, 90), "a": (244, 162, 89), "A": (184, 110, 40),
    "y": (255, 209, 102), "r": (214, 40, 40), "R": (140, 24, 24), "p": (240, 140, 140), "s": (200, 208, 216),
    "S": (128, 140, 152), "e": (255, 243, 214), "m": (120, 78, 40), "M": (198, 139, 89), "x": (30, 30, 30),
    "o": (255, 196, 120),
}


def pixmap(rows, legend=PIX):
    """RGBA image from rows of characters; '.' is transparent."""
    h, w = len(rows), len(rows[0])
    img = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    for y, row in enumerate(rows):
        if len(row) != w:
            raise ValueError("row %d is %d wide, not %d: %r" % (y, len(row), w, row))
        for x, ch in enumerate(row):
            if ch != ".":
                img.putpixel((x, y), legend[ch] + (255,))
    return img


def grid16():
    return [["."] * 16 for _ in range(16)]


def outline_grid(g, ch="k"):
    """Adds an outline of ch around every filled cell."""
    out = [row[:] for row in g]
    for y in range(16):
        for x in range(16):
            if g[y][x] != ".":
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if 0 <= x + dx < 16 and 0 <= y + dy < 16 and g[y + dy][x + dx] not in ".":
                    out[y][x] = ch
                    break
    return ["".join(r) for r in out]


def app_16():
    """A ball in two colours: sea green above a wave, deep blue below."""
    def f(x, y, dx, dy, r):
        if r > 7.3:
            return "."
        if r > 6.3:
            return "k"
        if math.hypot(dx + 2.6, dy + 3.2) < 1.2:
            return "w"
        shade = dx + dy
        if y + 0.5 < 8.4 + 1.6 * math.sin((x + 0.5) / 16 * 2 * math.pi + 0.4):
            return "G" if shade < 1 else ("g" if shade < 6 else "d")
        return "b" if shade < 4 else "n"
    return disc_16(f)


BINOCULARS_16 = [
    "................",
    "..kkkk....kkkk..",
    "..ksnk....ksnk..",
    "..kkkk....kkkk..",
    ".kbbnnk..kbbnnk.",
    ".kbbnnkkkkbbnnk.",
    ".kbbnnksskbbnnk.",
    ".kbbnnkkkkbbnnk.",
    "kkkkkkk..kkkkkkk",
    "kcwcbnk..kcwcbnk",
    "kwcbbnk..kwcbbnk",
    "kcbbbnk..kcbbbnk",
    "kbbbnnk..kbbbnnk",
    "knnnnnk..knnnnnk",
    ".kkkkk....kkkkk.",
    "................",
]


def binoculars_stop_16():
    rows = [list(r) for r in BINOCULARS_16]
    for y in range(9, 14):
        for x in range(10, 15):
            rows[y][x] = "r" if (x + y) % 2 == 0 else "w"
    return ["".join(r) for r in rows]


def cross_16():
    g = grid16()
    for y in range(16):
        for x in range(16):
            if 2 <= x <= 13 and 2 <= y <= 13 and (abs(x - y) <= 1 or abs(x + y - 15) <= 1):
                g[y][x] = "r"
    for x, y in ((3, 3), (4, 4), (12, 3), (11, 4)):
        g[y][x] = "p"
    return outline_grid(g, "R")


def pencil_16():
    g = grid16()
    # ruler along the bottom
    for y in range(11, 15):
        for x in range(0, 16):
            g[y][x] = "o"
    for x in range(0, 16):
        g[11][x] = "A" if x % 2 == 0 else "o"
        if x % 4 == 0:
            g[12][x] = "A"
    # pencil lying across it, point down to the left
    for y in range(16):
        for x in range(16):
            along = x - y          # -11 at the point, +11 at the eraser
            across = x + y - 14    # 0 on the axis
            if abs(across) <= 1 and -10 <= along <= 11:
                if along <= -8:
                    c = "x" if along <= -9 else "M"
                elif along <= -6:
                    c = "M"
                elif along <= 6:
                    c = "y" if across < 1 else "a"
                elif along <= 8:
                    c = "s"
                else:
                    c = "p"
                g[y][x] = c
    return outline_grid(g, "k")


def wand_16():
    g = grid16()
    for y in range(16):
        for x in range(16):
            along = x - y
            across = x + y - 15
            if abs(across) <= 0 and -12 <= along <= 5 or abs(across) == 1 and -11 <= along <= 4:
                g[y][x] = "w" if along >= 1 else "x"
    rows = outline_grid(g, "k")
    rows = [list(r) for r in rows]
    # a star sparkling at the tip, and two small glints
    for x, y, c in ((13, 0, "o"), (13, 1, "y"), (11, 2, "o"), (12, 2, "y"), (13, 2, "w"), (14, 2, "y"),
                    (15, 2, "o"), (13, 3, "y"), (13, 4, "o"), (9, 1, "y"), (15, 6, "a")):
        rows[y][x] = c
    return ["".join(r) for r in rows]


def disc_16(fn):
    """A 16 x 16 image from a function of the pixel's centre offset (dx, dy) and radius."""
    rows = []
    for y in range(16):
        row = ""
        for x in range(16):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            row += fn(x, y, dx, dy, math.hypot(dx, dy))
        rows.append(row)
    return rows


def magnifier_16():
    def f(x, y, dx, dy, r):
        lx, ly = x + 0.5 - 6.5, y + 0.5 - 6.5
        lr = math.hypot(lx, ly)
        if lr <= 3.6:
            return "w" if (lx < -0.5 and ly < -0.5 and lr > 1.5 and lr < 2.8) else "c"
        if lr <= 4.6:
            return "n"
        if lr <= 5.5:
            return "k"
        along, across = x - y, x + y - 21
        if abs(along) <= 1 and -2 <= across <= 7:
            return "A" if along == 1 or across == 7 else "a"
        if abs(along) <= 2 and -2 <= across <= 8:
            return "k"
        return "."
    return disc_16(f)


ADD_16 = [
    "................",
    ".kkkkkkkk.......",
    ".keeeeeekk......",
    ".keSSSSekkk.....",
    ".keeeeeeeek.....",
    ".keSSSSSSek.....",
    ".keeeeeeeek.....",
    ".keSSSSSSek.....",
    ".keeeeeeeekkkk..",
    ".keSSSSeekggggk.",
    ".keeeeeekggwwggk",
    ".keSSSSekgwwwwgk",
    ".keeeeeekgwwwwgk",
    ".keSSSSekggwwggk",
    ".kkkkkkkkkggggk.",
    "..........kkkk..",
]


def about_16():
    def f(x, y, dx, dy, r):
        if r > 7.4:
            return "."
        if r > 6.4:
            return "k"
        if 7 <= x <= 8 and 3 <= y <= 4:
            return "w"
        if 7 <= x <= 8 and 6 <= y <= 11 or y == 11 and 6 <= x <= 9 or y == 6 and x == 6:
            return "w"
        if r > 5.4:
            return "n"
        return "c" if dx + dy < -5 else "b"
    return disc_16(f)


def gear_16():
    def f(x, y, dx, dy, r):
        if r <= 2.3:
            return "G" if dx + dy < 0 else "g"
        if r <= 3.3:
            return "k"
        a = math.atan2(dy, dx)
        axis = round(a / (math.pi / 4)) * (math.pi / 4)
        off = abs(r * math.sin(a - axis))
        if r <= 5.4 or (r <= 7.4 and off <= 1.45):
            return "s" if dx + dy < 0 else "S"
        return "."
    return outline_grid([list(r) for r in disc_16(f)], "k")


HAND_CURSOR = [
    "................................",
    "...........kkk..................",
    "..........kwwwk.................",
    "..........kwwwk.................",
    "..........kwwwk.................",
    "..........kwwwk.................",
    "..........kwwwk.................",
    "..........kwwwkkk...............",
    "..........kwwwkwwkkk............",
    "..........kwwwkwwkwwkkk.........",
    "..........kwwwkwwkwwkwwk........",
    "..........kwwwkwwkwwkwwk........",
    "......kk..kwwwkwwkwwkwwk........",
    ".....kwwk.kwwwwwwwwwwwsk........",
    ".....kwwwkkwwwwwwwwwwwsk........",
    "......kwwwkwwwwwwwwwwwsk........",
    "......kwwwwwwwwwwwwwwwsk........",
    ".......kwwwwwwwwwwwwwwsk........",
    ".......kwwwwwwwwwwwwwsk.........",
    "........kwwwwwwwwwwwwsk.........",
    "........kwwwwwwwwwwwwsk.........",
    ".........kwwwwwwwwwwsk..........",
    ".........kwwwwwwwwwwsk..........",
    ".........kbbbbbbbbbbnk..........",
    ".........kbbbbbbbbbbnk..........",
    ".........kkkkkkkkkkkkk..........",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
]
HAND_HOTSPOT = (12, 1)


def icon32(draw, matte):
    """Draws an icon at 8 times 32 x 32 and scales it down. Edge pixels are blended with
    the colour the icon is usually shown on; fully clear ones become transparent."""
    cv = Canvas(32, 32, 8)
    draw(cv)
    small = cv.img.resize((32, 32), Image.Resampling.LANCZOS)
    out = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    for y in range(32):
        for x in range(32):
            r, g, b, a = small.getpixel((x, y))
            if a >= 90:
                t = a / 255
                out.putpixel((x, y), tuple(round(c * t + m * (1 - t)) for c, m in zip((r, g, b), matte)) + (255,))
    return out


def draw_magnifier(cv):
    cv.line([(19.5, 19.5), (29, 29)], (10, 31, 58, 255), 6.4)
    cv.line([(20, 20), (28.4, 28.4)], (184, 110, 40, 255), 4.2)
    cv.line([(20.6, 20.1), (28.2, 27.7)], (244, 170, 100, 255), 1.4)
    cv.circle(13, 13, 11.2, fill=(10, 31, 58, 255))
    cv.circle(13, 13, 10, fill=(22, 63, 115, 255))
    cv.circle(13, 13, 7.8, fill=(164, 214, 236, 255))
    m = cv.layer()
    m.circle(13, 13, 7.8, fill=(255, 255, 255, 255))
    cv.gradient((5, 5, 21, 21), [(0, (214, 238, 248)), (0.6, (124, 195, 232)), (1, (70, 150, 200))], mask=m)
    # a swell seen through the glass
    wave_line(cv, 6, 20, 15.5, 0.9, 6.5, (46, 111, 176, 255), 1.3)
    wave_line(cv, 7, 19, 18.6, 0.8, 6.5, (46, 111, 176, 255), 1.1, phase=1.5)
    cv.arc((7, 7, 19, 19), 190, 260, (255, 255, 255, 255), 1.6)


def draw_add(cv):
    page = [(5, 2), (20, 2), (26, 8), (26, 29), (5, 29)]
    cv.poly(page, fill=(10, 31, 58, 255))
    cv.poly([(6.2, 3.2), (19.5, 3.2), (24.8, 8.5), (24.8, 27.8), (6.2, 27.8)], fill=(255, 246, 226, 255))
    cv.poly([(19.5, 3.2), (19.5, 8.5), (24.8, 8.5)], fill=(214, 196, 160, 255))
    cv.line([(19.5, 3.2), (19.5, 8.5), (24.8, 8.5)], (10, 31, 58, 255), 1.0)
    for k, ln in enumerate((11, 14, 14, 12, 9)):
        y = 11 + k * 3.4
        cv.line([(9, y), (9 + ln, y)], (128, 150, 170, 255), 1.2)
    cv.circle(23, 23, 8.3, fill=(10, 31, 58, 255))
    cv.circle(23, 23, 7.2, fill=(27, 153, 139, 255))
    cv.circle(22, 22, 5.4, fill=(60, 186, 160, 255))
    cv.rect((21.6, 18.2, 24.4, 27.8), fill=(255, 255, 255, 255))
    cv.rect((18.2, 21.6, 27.8, 24.4), fill=(255, 255, 255, 255))


def draw_about(cv):
    cv.circle(16, 16, 15, fill=(10, 31, 58, 255))
    # a life-ring: coral and white quarters around a blue centre
    for k in range(8):
        cv.d.pieslice(cv.box((2, 2, 30, 30)), k * 45 - 22.5 + 45 * 0, k * 45 + 22.5,
                      fill=(231, 111, 81, 255) if k % 2 == 0 else (255, 248, 234, 255))
    cv.circle(16, 16, 9.6, fill=(10, 31, 58, 255))
    cv.circle(16, 16, 8.6, fill=(46, 111, 176, 255))
    cv.circle(15, 15, 6.4, fill=(70, 140, 200, 255))
    cv.circle(16, 10.6, 1.9, fill=(255, 255, 255, 255))
    cv.rect((14.6, 13.4, 17.4, 21.2), fill=(255, 255, 255, 255))
    cv.rect((13.4, 13.4, 17.4, 14.8), fill=(255, 255, 255, 255))
    cv.rect((13.2, 20, 18.8, 21.6), fill=(255, 255, 255, 255))


def draw_gear(cv):
    cx, cy = 16, 16
    pts = []
    teeth = 8
    for k in range(teeth * 4):
        a = 2 * math.pi * k / (teeth * 4)
        r = 14.4 if k % 4 in (1, 2) else 10.8
        pts.append((cx + r * math.cos(a + math.pi / teeth / 4), cy + r * math.sin(a + math.pi / teeth / 4)))
    cv.poly(pts, fill=(10, 31, 58, 255))
    inner = [(cx + (x - cx) * 0.88, cy + (y - cy) * 0.88) for x, y in pts]
    m = cv.layer()
    m.poly(inner, fill=(255, 255, 255, 255))
    cv.gradient((2, 2, 30, 30), [(0, (226, 232, 238)), (1, (110, 124, 140))], mask=m)
    cv.circle(cx, cy, 6.6, fill=(10, 31, 58, 255))
    cv.circle(cx, cy, 5.4, fill=(27, 153, 139, 255))
    cv.circle(cx - 0.8, cy - 0.8, 3.4, fill=(95, 190, 165, 255))
    cv.circle(cx, cy, 2.2, fill=(10, 31, 58, 255))


def draw_exit(cv):
    ink = (10, 31, 58, 255)
    # door frame and the dark doorway
    cv.rect((9, 2, 27, 30), fill=ink)
    cv.rect((10.4, 3.4, 25.6, 30), fill=(120, 78, 40, 255))
    cv.rect((12.6, 5.4, 23.4, 30), fill=(22, 40, 66, 255))
    cv.rect((12.6, 5.4, 23.4, 8), fill=(46, 70, 100, 255))
    # the door, swung open towards us on its left hinges
    leaf = [(12.6, 5.4), (4, 2.5), (4, 31), (12.6, 30)]
    cv.poly(leaf, fill=(198, 139, 89, 255), outline=ink, width=1.2)
    cv.poly([(11, 8.5), (6, 7), (6, 15), (11, 16)], fill=(170, 110, 64, 255))
    cv.poly([(11, 19), (6, 18.5), (6, 27), (11, 26.5)], fill=(170, 110, 64, 255))
    cv.circle(10.2, 18, 1.0, fill=(233, 196, 106, 255))
    # arrow leaving through the doorway
    arrow = [(13, 14), (22, 14), (22, 9.5), (30.5, 17), (22, 24.5), (22, 20), (13, 20)]
    cv.poly(arrow, fill=(27, 153, 139, 255), outline=ink, width=1.2)
    cv.line([(14, 15.2), (23, 15.2)], (120, 214, 190, 255), 1.0)


ICON32_MATTE = (238, 242, 238)  # the menu column's colour behind the icons


# ---------------------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------------------


def palettise(img, colours, keep=(), dither=True):
    """RGB image -> P image with at most `colours` entries; colours in `keep` stay exact.
    Gradients are dithered; flat drawings on white are not."""
    rgb = img.convert("RGB")
    n = colours - len(keep)
    if dither and features.check("libimagequant"):
        q = rgb.quantize(n, method=Image.Quantize.LIBIMAGEQUANT)
    else:
        q = rgb.quantize(n, method=Image.Quantize.MEDIANCUT)
        if dither:
            q = rgb.quantize(palette=q, dither=Image.Dither.FLOYDSTEINBERG)
    pal = q.getpalette()[: 3 * n]
    pal += [0] * (3 * n - len(pal))
    if keep:
        pal += [c for colour in keep for c in colour]
        q.putpalette(pal)
        # pixels that are exactly a kept colour take its own entry
        for i, colour in enumerate(keep):
            q.paste(n + i, mask=_equal_mask(rgb, colour))
    else:
        q.putpalette(pal)
    return q


def _equal_mask(rgb, colour):
    bands = [b.point(lambda v, c=c: 255 if v == c else 0) for b, c in zip(rgb.split(), colour)]
    m = bands[0]
    for b in bands[1:]:
        m = Image.composite(b, Image.new("L", m.size, 0), m)
    return m


def save_gif(img, path):
    q = palettise(img, 256)
    q.save(path, "GIF", optimize=False)


def save_jpeg(img, path):
    img.convert("RGB").save(path, "JPEG", quality=92, subsampling=0, optimize=True)


def save_bmp8(img, path):
    q = palettise(img, 256, keep=[WHITE], dither=False)
    q.save(path, "BMP")


def dib_entry(img, bpp):
    """Returns (colour count field, DIB bytes) for an RGBA image with 1-bit transparency."""
    w, h = img.size
    ncolours = 1 << bpp
    colours = [(0, 0, 0)]  # entry 0: black, under every transparent pixel
    index = {}
    pixels = []
    for y in range(h):
        row = []
        for x in range(w):
            r, g, b, a = img.getpixel((x, y))
            if a == 0:
                row.append(0)
                continue
            c = (r, g, b)
            if c not in index:
                if c == (0, 0, 0):
                    index[c] = 0
                else:
                    index[c] = len(colours)
                    colours.append(c)
            row.append(index[c])
        pixels.append(row)
    if len(colours) > ncolours:
        raise ValueError("%d colours do not fit in %d bits" % (len(colours), bpp))
    colours += [(0, 0, 0)] * (ncolours - len(colours))
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, bpp, 0, 0, 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    xor_stride = ((w * bpp + 31) // 32) * 4
    and_stride = ((w + 31) // 32) * 4
    xor = b""
    mask = b""
    for y in reversed(range(h)):
        bits = 0
        nbits = 0
        row = bytearray()
        for v in pixels[y]:
            bits = (bits << bpp) | v
            nbits += bpp
            if nbits == 8:
                row.append(bits)
                bits = nbits = 0
        row += bytes(xor_stride - len(row))
        xor += bytes(row)
        mrow = bytearray(and_stride)
        for x in range(w):
            if img.getpixel((x, y))[3] == 0:
                mrow[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(mrow)
    data = header + palette + xor + mask
    return (0 if ncolours >= 256 else ncolours), data


def save_ico(images, path, bpp, hotspot=None):
    """Writes an ICO (or, with a hot spot, a CUR) file of palettised DIB images."""
    entries = []
    for img in images:
        count, data = dib_entry(img, bpp)
        entries.append((img.size, count, data))
    kind = 2 if hotspot else 1
    out = struct.pack("<HHH", 0, kind, len(entries))
    offset = 6 + 16 * len(entries)
    for (w, h), count, data in entries:
        planes, bits = hotspot if hotspot else (1, bpp)
        out += struct.pack("<BBBBHHII", w % 256, h % 256, count, 0, planes, bits, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def reduce_colours(img, colours, matte):
    """RGBA image with 1-bit transparency -> the same with at most `colours` opaque colours."""
    rgb = Image.new("RGB", img.size, matte)
    rgb.paste(img.convert("RGB"), mask=img.getchannel("A"))
    q = rgb.quantize(colours, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE).convert("RGB")
    out = q.convert("RGBA")
    out.putalpha(img.getchannel("A"))
    # black is kept for the transparent pixels; nudge any opaque black off it
    px = out.load()
    for y in range(out.height):
        for x in range(out.width):
            if px[x, y][3] and px[x, y][:3] == (0, 0, 0):
                px[x, y] = (1, 1, 1, 255)
    return out


# ---------------------------------------------------------------------------------------
# What gets written
# ---------------------------------------------------------------------------------------


def build():
    images = os.path.join(HERE, "images")
    icons = os.path.join(HERE, "icons")
    cursors = os.path.join(HERE, "cursors")
    for d in (images, icons, cursors):
        os.makedirs(d, exist_ok=True)

    save_gif(splash(), os.path.join(images, "splash.gif"))
    save_jpeg(banner(), os.path.join(images, "banner.jpg"))
    save_gif(main_picture(), os.path.join(images, "main.gif"))
    save_jpeg(menu_panel(), os.path.join(images, "menupanel.jpg"))
    save_jpeg(ship_photo(), os.path.join(images, "ship.jpg"))
    save_bmp8(query_folder(), os.path.join(images, "query_bg.bmp"))
    save_gif(info_background(), os.path.join(images, "info_bg.gif"))
    save_jpeg(about_picture(), os.path.join(images, "about.jpg"))

    save_ico([pixmap(app_16())], os.path.join(icons, "app.ico"), 8)
    # The desktop entry's icon in the sizes icon themes ask for: the same ball, each pixel
    # drawn as a block of N / 16 x N / 16 pixels.
    desktop = os.path.join(HERE, "desktop")
    os.makedirs(desktop, exist_ok=True)
    for size in DESKTOP_ICON_SIZES:
        pixmap(app_16()).resize((size, size), Image.NEAREST).save(
            os.path.join(desktop, "thalvane-%d.png" % size))
    menu = (("menu_search", draw_magnifier, magnifier_16()), ("menu_add", draw_add, ADD_16),
            ("menu_about", draw_about, about_16()), ("menu_config", draw_gear, gear_16()))
    for name, draw, small in menu:
        big = reduce_colours(icon32(draw, ICON32_MATTE), 255, ICON32_MATTE)
        save_ico([big, pixmap(small)], os.path.join(icons, name + ".ico"), 8)
    save_ico([reduce_colours(icon32(draw_exit, ICON32_MATTE), 15, ICON32_MATTE)], os.path.join(icons, "menu_exit.ico"), 4)
    save_ico([pixmap(BINOCULARS_16)], os.path.join(icons, "binoculars.ico"), 8)
    save_ico([pixmap(binoculars_stop_16())], os.path.join(icons, "binoculars_stop.ico"), 8)
    save_ico([pixmap(pencil_16())], os.path.join(icons, "pencil.ico"), 8)
    save_ico([pixmap(wand_16())], os.path.join(icons, "wand.ico"), 8)
    save_ico([pixmap(cross_16())], os.path.join(icons, "cross.ico"), 8)
    save_ico([pixmap(HAND_CURSOR)], os.path.join(cursors, "hand.cur"), 4, hotspot=HAND_HOTSPOT)


# The sizes of the desktop icon (hicolor theme folders NxN).
DESKTOP_ICON_SIZES = (16, 32, 48, 64, 128, 256)

# What each file must be: kind, size(s) and colour depth.
EXPECTED = {
    "images/splash.gif": ("GIF", [(454, 340)], 256),
    "images/banner.jpg": ("JPEG", [(858, 118)], None),
    "images/main.gif": ("GIF", [(624, 397)], 256),
    "images/menupanel.jpg": ("JPEG", [(181, 445)], None),
    "images/ship.jpg": ("JPEG", [(120, 80)], None),
    "images/query_bg.bmp": ("BMP", [(199, 79)], 256),
    "images/info_bg.gif": ("GIF", [(624, 397)], 256),
    "images/about.jpg": ("JPEG", [(120, 67)], None),
    "icons/app.ico": ("ICO", [(16, 16)], 256),
    "icons/menu_search.ico": ("ICO", [(32, 32), (16, 16)], 256),
    "icons/menu_add.ico": ("ICO", [(32, 32), (16, 16)], 256),
    "icons/menu_about.ico": ("ICO", [(32, 32), (16, 16)], 256),
    "icons/menu_config.ico": ("ICO", [(32, 32), (16, 16)], 256),
    "icons/menu_exit.ico": ("ICO", [(32, 32)], 16),
    "icons/binoculars.ico": ("ICO", [(16, 16)], 256),
    "icons/binoculars_stop.ico": ("ICO", [(16, 16)], 256),
    "icons/pencil.ico": ("ICO", [(16, 16)], 256),
    "icons/wand.ico": ("ICO", [(16, 16)], 256),
    "icons/cross.ico": ("ICO", [(16, 16)], 256),
    "cursors/hand.cur": ("CUR", [(32, 32)], 16),
}
EXPECTED.update({"desktop/thalvane-%d.png" % n: ("PNG", [(n, n)], None) for n in DESKTOP_ICON_SIZES})


def read_icon_directory(path):
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for i in range(count):
        w, h, ncol, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        hdr = struct.unpack_from("<IiiHH", data, offset)
        entries.append({"size": (w or 256, h or 256), "colours": ncol, "planes": planes, "bits": bits,
                        "dib_bits": hdr[4], "dib_size": (hdr[1], hdr[2] // 2)})
    return kind, entries


def verify():
    problems = []
    for rel, (kind, sizes, colours) in EXPECTED.items():
        path = os.path.join(HERE, rel)
        if kind in ("ICO", "CUR"):
            k, entries = read_icon_directory(path)
            if k != (2 if kind == "CUR" else 1):
                problems.append("%s: type %d" % (rel, k))
            for e, size in zip(entries, sizes):
                if e["size"] != size or e["dib_size"] != size:
                    problems.append("%s: size %s" % (rel, e))
                if 1 << e["dib_bits"] != colours:
                    problems.append("%s: %d bits per pixel" % (rel, e["dib_bits"]))
                if kind == "CUR" and (e["planes"], e["bits"]) != HAND_HOTSPOT:
                    problems.append("%s: hot spot %s" % (rel, (e["planes"], e["bits"])))
            if len(entries) != len(sizes):
                problems.append("%s: %d images" % (rel, len(entries)))
            continue
        with Image.open(path) as img:
            if img.format != kind or img.size != sizes[0]:
                problems.append("%s: %s %s" % (rel, img.format, img.size))
            if colours and (img.mode != "P" or len(img.getpalette()) // 3 > colours):
                problems.append("%s: mode %s" % (rel, img.mode))
    if problems:
        sys.exit("generated files are not as expected:\n  " + "\n  ".join(problems))


def main():
    check_fonts()
    build()
    verify()
    print("wrote %d files below %s" % (len(EXPECTED), HERE))


if __name__ == "__main__":
    main()
