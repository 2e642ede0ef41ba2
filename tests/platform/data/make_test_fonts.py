#!/usr/bin/env python3
"""Writes the small TrueType fonts the private-font tests load (by hand; the
tests only read them). Plain Python, no font tools needed.

blocks.ttf   family "Glint Test Blocks", Chinese family name "测试方块":
             'A' a solid block, 'B' a frame, 'C' a triangle, U+4E2D a cross,
             a blank space; 1000 units per em, ascent 800, descent 200.
long.ttf     the same glyphs, family "Glint Test Blocks With A Longer Family
             Name", longer than a LOGFONT's face name holds.
pair.ttc     a collection of two faces, "Glint Test Left" and
             "Glint Test Right", whose 'A' is the left or the right half of
             the block.

Glyph ids (the order below): 0 .notdef, 1 space, 2 A, 3 B, 4 C, 5 U+4E2D.
"""
import os
import struct
import sys

UPEM, ASCENT, DESCENT = 1000, 800, 200


def rect(x0, y0, x1, y1, hole=False):
    # Outer contours run clockwise (y up), holes the other way.
    pts = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
    return list(reversed(pts)) if hole else pts


def glyph_data(contours):
    if not contours:
        return b"", (0, 0, 0, 0)
    pts = [p for c in contours for p in c]
    xs, ys = [p[0] for p in pts], [p[1] for p in pts]
    box = (min(xs), min(ys), max(xs), max(ys))
    out = struct.pack(">hhhhh", len(contours), *box)
    end = -1
    for c in contours:
        end += len(c)
        out += struct.pack(">H", end)
    out += struct.pack(">H", 0)  # no instructions
    out += bytes([1]) * len(pts)  # every point on the curve, 16-bit deltas
    px = py = 0
    dx, dy = b"", b""
    for x, y in pts:
        dx += struct.pack(">h", x - px)
        dy += struct.pack(">h", y - py)
        px, py = x, y
    out += dx + dy
    return out + b"\0" * (-len(out) % 4), box


def checksum(data):
    data += b"\0" * (-len(data) % 4)
    return sum(struct.unpack(">%dI" % (len(data) // 4), data)) & 0xFFFFFFFF


def name_table(family_en, family_zh, style="Regular"):
    recs = []
    def add(lang, nid, text):
        recs.append((3, 1, lang, nid, text.encode("utf-16-be")))
    add(0x0409, 1, family_en)
    add(0x0409, 2, style)
    add(0x0409, 4, family_en + " " + style)
    add(0x0409, 6, family_en.replace(" ", "") + "-" + style)
    if family_zh:
        add(0x0804, 1, family_zh)
        add(0x0804, 2, style)
        add(0x0804, 4, family_zh + " " + style)
    recs.sort(key=lambda r: r[:4])
    head = struct.pack(">HHH", 0, len(recs), 6 + 12 * len(recs))
    strings = b""
    for p, e, l, n, s in recs:
        head += struct.pack(">HHHHHH", p, e, l, n, len(s), len(strings))
        strings += s
    return head + strings


def cmap_table(chars):
    # Format 4: one segment per character plus the closing 0xFFFF segment.
    segs = sorted(chars.items()) + [(0xFFFF, 0)]
    n = len(segs)
    sr = 2
    while sr * 2 <= n * 2:
        sr *= 2
    es = sr.bit_length() - 2
    ends = b"".join(struct.pack(">H", c) for c, _ in segs)
    starts = ends
    deltas = b"".join(struct.pack(">H", (g - c) & 0xFFFF if c != 0xFFFF else 1) for c, g in segs)
    ranges = b"\0\0" * n
    body = struct.pack(">HHH", 2 * n, sr, es, ) + struct.pack(">H", 2 * n - sr)
    sub = ends + b"\0\0" + starts + deltas + ranges
    length = 6 + len(body) + len(sub)
    sub = struct.pack(">HHH", 4, length, 0) + body + sub
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub


def font_tables(family_en, family_zh, glyphs, chars):
    """glyphs: list of (advance, contours); chars: code point -> glyph id."""
    glyf, loca, hmtx = b"", [], b""
    xmin = ymin = 10**6
    xmax = ymax = -10**6
    maxpts = maxcont = 0
    for adv, contours in glyphs:
        data, box = glyph_data(contours)
        loca.append(len(glyf))
        glyf += data
        hmtx += struct.pack(">Hh", adv, box[0])
        if contours:
            xmin, ymin = min(xmin, box[0]), min(ymin, box[1])
            xmax, ymax = max(xmax, box[2]), max(ymax, box[3])
            maxpts = max(maxpts, sum(len(c) for c in contours))
            maxcont = max(maxcont, len(contours))
    loca.append(len(glyf))
    n = len(glyphs)
    advmax = max(a for a, _ in glyphs)
    t = {}
    t[b"head"] = struct.pack(">IIIIHHQQhhhhHHhhh", 0x00010000, 0x00010000, 0, 0x5F0F3CF5, 0x000B, UPEM,
                             0, 0, xmin, ymin, xmax, ymax, 0, 8, 2, 1, 0)
    t[b"hhea"] = struct.pack(">IhhhHhhhhhh4hhH", 0x00010000, ASCENT, -DESCENT, 0, advmax, 0, 0, xmax, 1, 0, 0,
                             0, 0, 0, 0, 0, n)
    t[b"maxp"] = struct.pack(">IHHHHHHHHHHHHHH", 0x00010000, n, maxpts, maxcont, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0)
    t[b"OS/2"] = (struct.pack(">HhHHH", 4, 600, 400, 5, 0) + struct.pack(">10h", 650, 600, 0, 75, 650, 600, 0,
                  350, 50, 300) + struct.pack(">h", 0) + bytes(10) + struct.pack(">IIII", 1, 0, 0, 0) + b"GLNT" +
                  struct.pack(">HHHhhhHHIIhhHHH", 0x40, min(chars), max(chars), ASCENT, -DESCENT, 0, ASCENT,
                              DESCENT, (1 << 0) | (1 << 18), 0, 500, 700, 0, 32, 0))
    t[b"hmtx"] = hmtx
    t[b"loca"] = b"".join(struct.pack(">I", o) for o in loca)
    t[b"glyf"] = glyf
    t[b"cmap"] = cmap_table(chars)
    t[b"name"] = name_table(family_en, family_zh)
    t[b"post"] = struct.pack(">IIhhIIIII", 0x00030000, 0, -100, 50, 0, 0, 0, 0, 0)
    return t


def directory(tables, start):
    """The offset table and the tables laid out from file offset `start`."""
    tags = sorted(tables)
    n = len(tags)
    sr = 16
    while sr * 2 <= n * 16:
        sr *= 2
    head = struct.pack(">IHHHH", 0x00010000, n, sr, sr.bit_length() - 5, n * 16 - sr)
    off = start + len(head) + 16 * n
    body = b""
    for tag in tags:
        data = tables[tag]
        head += struct.pack(">4sIII", tag, checksum(data), off + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    return head, body


def single_font(tables):
    head, body = directory(tables, 0)
    font = bytearray(head + body)
    # head.checkSumAdjustment makes the whole file sum to 0xB1B0AFBA.
    tags = sorted(tables)
    rec = 12 + 16 * tags.index(b"head")
    off = struct.unpack(">I", font[rec + 8:rec + 12])[0]
    struct.pack_into(">I", font, off + 8, (0xB1B0AFBA - checksum(bytes(font))) & 0xFFFFFFFF)
    return bytes(font)


def collection(fonts):
    header_len = 12 + 4 * len(fonts)
    offsets, parts, pos = [], b"", header_len
    for tables in fonts:
        head, body = directory(tables, pos)
        offsets.append(pos)
        parts += head + body
        pos += len(head) + len(body)
    return struct.pack(">4sII", b"ttcf", 0x00010000, len(fonts)) + b"".join(
        struct.pack(">I", o) for o in offsets) + parts


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    chars = {0x20: 1, 0x41: 2, 0x42: 3, 0x43: 4, 0x4E2D: 5}
    blocks = [
        (500, []),
        (300, []),
        (700, [rect(100, 0, 600, 700)]),
        (700, [rect(100, 0, 600, 700), rect(250, 150, 450, 550, hole=True)]),
        (700, [[(100, 0), (350, 700), (600, 0)]]),
        (1000, [rect(400, -100, 600, 800), rect(50, 250, 950, 450)]),
    ]
    with open(os.path.join(out_dir, "blocks.ttf"), "wb") as f:
        f.write(single_font(font_tables("Glint Test Blocks", "测试方块", blocks, chars)))
    with open(os.path.join(out_dir, "long.ttf"), "wb") as f:
        f.write(single_font(font_tables("Glint Test Blocks With A Longer Family Name", None, blocks, chars)))
    pair = []
    for family, box in (("Glint Test Left", rect(100, 0, 350, 700)), ("Glint Test Right", rect(350, 0, 600, 700))):
        glyphs = [(500, []), (300, []), (700, [box])]
        pair.append(font_tables(family, None, glyphs, {0x20: 1, 0x41: 2}))
    with open(os.path.join(out_dir, "pair.ttc"), "wb") as f:
        f.write(collection(pair))


if __name__ == "__main__":
    main()
