#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

Seeds are small files picked from the shared document corpus, plus generated ones for the
formats and structures it lacks (PNG, plain TIFF layouts, annotation payloads, fax strips,
recognition results). Run from anywhere; existing seeds of the same name are replaced.
"""
import os
import random
import shutil
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FUZZ = os.path.dirname(HERE)
CORPUS = os.environ.get("KTDV_CORPUS_DIR",
                        os.path.join(os.path.dirname(FUZZ), "..", "shared", "corpus"))
MAX_SEED = 12 * 1024

DOCUMENT_FILES = [
    "good/libtiff__miniswhite-1c-1b.tiff", "good/libtiff__testfax3_bug_513.tiff",
    "good/pillow__g4-fillorder-test.tif", "good/pillow__g4_orientation_5.tif",
    "good/pillow__compression.tif", "good/pillow__multipage.tiff",
    "good/libtiff__palette-1c-1b.tiff", "good/libtiff__32bpp-None-jpeg.tiff",
    "good/pillow__16bit.MM.deflate.tif", "good/pillow__tiff_gray_2_4_bpp-hopper2.tif",
    "good/libtiff__custom_dir_EXIF_GPS.tiff", "good/libtiff__miniswhite-1c-1b.g3",
    "good/pillow__bmp-g-pal1bg.bmp", "good/pillow__bmp-g-pal4.bmp",
    "good/pillow__bmp-g-pal8nonsquare.bmp", "good/pillow__bmp-g-pal8rle.bmp",
    "good/pillow__bmp-q-rgb24jpeg.bmp", "good/pillow__text_mono.gif",
    "good/pillow__dispose_bgnd.gif", "good/pillow__hopper_orientation_6.jpg",
    "good/pillow__icc-after-SOF.jpg", "good/pillow__hopper_gray.jpg",
    "bad/pillow__decompression_bomb.gif", "bad/pillow__decompression_bomb_extents.gif",
    "bad/pillow__oom-225817ca0f8c663be7ab4b9e717b02c661e66834.tif",
    "bad/pillow__crash-86214e58da443d2b80820cff9677a38a33dcbbca.tif",
    "bad/libtiff__test_ifd_loop_to_first.tif", "bad/pillow__bmp-b-shortfile.bmp",
    "bad/pillow__truncated_jpeg.jpg",
]
PAGEEDIT_FILES = [
    "good/pillow__multipage.tiff", "good/pillow__g4-multi.tiff",
    "good/libtiff__test_two_ifds.tif", "good/pillow__multipage-lastframe.tif",
    "bad/libtiff__test_ifd_loop_to_first.tif", "good/libtiff__custom_dir_EXIF_GPS.tiff",
    "good/pillow__g4_orientation_1.tif", "good/libtiff__miniswhite-1c-1b.g3",
    "bad/pillow__crash-0da013a13571cc8eb457a39fee8db18f8a3c7127.tif",
]
FAX_FILES = [  # (file, options byte): coding 0 1-D, 1 2-D, 2 G4; 0x04 LSB first
    ("good/libtiff__testfax4.tiff", 2), ("good/pillow__g4-fillorder-test.tif", 2 | 0x04),
    ("good/pillow__hopper_g4.tif", 2), ("good/libtiff__miniswhite-1c-1b.tiff", 1),
    ("good/libtiff__testfax3_bug_513.tiff", 0), ("good/libtiff__testfax3_bug54_1dnoEOL.tif", 0),
]


def out_dir(target):
    d = os.path.join(FUZZ, "corpus", target)
    os.makedirs(d, exist_ok=True)
    return d


def write(target, name, data):
    if len(data) > MAX_SEED:
        data = data[:MAX_SEED]
    with open(os.path.join(out_dir(target), name), "wb") as f:
        f.write(data)


def read(rel):
    with open(os.path.join(CORPUS, rel), "rb") as f:
        return f.read()


# --- TIFF ------------------------------------------------------------------------------

def tiff(pages, big_endian=False):
    """pages: list of (entries, data) with entries {tag: (type, [values])}; strip offsets
    (273) point at the page's data."""
    e = ">" if big_endian else "<"
    sizes = {1: 1, 2: 1, 3: 2, 4: 4, 5: 8, 7: 1}
    codes = {1: "B", 2: "B", 3: "H", 4: "I", 7: "B"}
    out = bytearray((b"MM\x00\x2a" if big_endian else b"II\x2a\x00") + struct.pack(e + "I", 0))
    link = 4
    for entries, data in pages:
        data_at = len(out)
        out += data
        if len(out) % 2:
            out += b"\0"
        entries = dict(entries)
        entries[273] = (4, [data_at])
        entries[279] = (4, [len(data)])
        extra = bytearray()
        ifd_at = len(out)
        n = len(entries)
        extra_at = ifd_at + 2 + 12 * n + 4
        body = bytearray(struct.pack(e + "H", n))
        for tag in sorted(entries):
            typ, vals = entries[tag]
            if typ == 5:
                raw = b"".join(struct.pack(e + "II", a, b) for a, b in vals)
            else:
                raw = b"".join(struct.pack(e + codes[typ], v) for v in vals)
            count = len(vals)
            if len(raw) <= 4:
                body += struct.pack(e + "HHI", tag, typ, count) + raw.ljust(4, b"\0")
            else:
                body += struct.pack(e + "HHII", tag, typ, count, extra_at + len(extra))
                extra += raw
                if len(extra) % 2:
                    extra += b"\0"
        body += struct.pack(e + "I", 0)
        out[link:link + 4] = struct.pack(e + "I", ifd_at)
        link = ifd_at + 2 + 12 * n
        out += body + extra
    return bytes(out)


def page(width, height, bits=8, spp=1, photometric=1, compression=1, data=None, extra=None):
    entries = {256: (4, [width]), 257: (4, [height]), 258: (3, [bits] * spp),
               259: (3, [compression]), 262: (3, [photometric]), 277: (3, [spp]),
               278: (4, [height]), 282: (5, [(300, 1)]), 283: (5, [(300, 1)]), 296: (3, [2])}
    if extra:
        entries.update(extra)
    if data is None:
        row = (width * bits * spp + 7) // 8
        data = bytes((x * 37 + y * 11) & 0xFF for y in range(height) for x in range(row))
    return entries, data


def packbits(data):
    out = bytearray()
    for i in range(0, len(data), 128):
        chunk = data[i:i + 128]
        out += bytes([len(chunk) - 1]) + chunk
    return bytes(out)


def document_seeds():
    for rel in DOCUMENT_FILES:
        write("document", os.path.basename(rel), read(rel))
    write("document", "gen_gray8.tif", tiff([page(16, 8)]))
    write("document", "gen_rgb_mm.tif", tiff([page(8, 8, spp=3, photometric=2)], True))
    write("document", "gen_bilevel_two_pages.tif",
          tiff([page(32, 4, bits=1, photometric=0), page(16, 8, bits=1, photometric=1)]))
    raw = bytes(range(64))
    write("document", "gen_packbits.tif", tiff([page(8, 8, compression=32773, data=packbits(raw))]))
    write("document", "gen_deflate.tif", tiff([page(8, 8, compression=8, data=zlib.compress(raw))]))
    palette = [(i * 257) for i in range(16)] * 3
    write("document", "gen_palette4.tif",
          tiff([page(8, 4, bits=4, photometric=3, extra={320: (3, palette)})]))
    write("document", "gen_orientation8.tif", tiff([page(6, 3, extra={274: (3, [8])})]))
    write("document", "gen_bomb_header.tif", tiff([page(100000, 100000, data=b"\0" * 16)]))
    for name, png in png_seeds():
        write("document", name, png)


# --- PNG -------------------------------------------------------------------------------

def png(width, height, color_type, depth, rows, palette=None, phys=None):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    out = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth,
                                                             color_type, 0, 0, 0))
    if phys:
        out += chunk(b"pHYs", struct.pack(">IIB", phys, phys, 1))
    if palette:
        out += chunk(b"PLTE", palette)
    out += chunk(b"IDAT", zlib.compress(b"".join(b"\0" + r for r in rows)))
    return out + chunk(b"IEND", b"")


def png_seeds():
    return [
        ("gen_gray.png", png(8, 8, 0, 8, [bytes(range(y, y + 8)) for y in range(8)], phys=11811)),
        ("gen_rgb.png", png(4, 4, 2, 8, [bytes(range(12))] * 4)),
        ("gen_rgba.png", png(4, 4, 6, 8, [bytes(range(16))] * 4)),
        ("gen_mono.png", png(16, 2, 0, 1, [b"\xAA\x55", b"\x0F\xF0"])),
        ("gen_palette.png", png(4, 2, 3, 8, [b"\0\1\2\0", b"\2\1\0\1"], palette=bytes(range(9)))),
        ("gen_huge_header.png", png(100000, 100000, 2, 8, [b""])),
    ]


# --- fax strips ------------------------------------------------------------------------

def first_strip(data):
    e = ">" if data[:2] == b"MM" else "<"
    ifd = struct.unpack(e + "I", data[4:8])[0]
    n = struct.unpack(e + "H", data[ifd:ifd + 2])[0]
    width, offsets, counts = 1728, None, None
    for i in range(n):
        tag, typ, count, val = struct.unpack(e + "HHII", data[ifd + 2 + 12 * i:ifd + 14 + 12 * i])
        if typ == 3 and count == 1:
            val = struct.unpack(e + "H", data[ifd + 10 + 12 * i:ifd + 12 + 12 * i])[0]
        if tag == 256:
            width = val
        elif tag == 273:
            offsets = (count, typ, val)
        elif tag == 279:
            counts = (count, typ, val)

    def first(field):
        count, typ, val = field
        if count == 1:
            return val
        return struct.unpack(e + ("H" if typ == 3 else "I"),
                             data[val:val + (2 if typ == 3 else 4)])[0]
    off, size = first(offsets), first(counts)
    return width, data[off:off + size]


def ccitt_seeds():
    for rel, options in FAX_FILES:
        width, strip = first_strip(read(rel))
        header = bytes([options | 0x10 | 0x20]) + struct.pack("<H", width) + b"\xFF"
        write("ccitt", os.path.basename(rel) + ".fax", header + strip[:MAX_SEED - 4])
    raw = read("good/libtiff__miniswhite-1c-1b.g3")
    write("ccitt", "raw_g3.fax", bytes([0x20]) + b"\0\0\x20" + raw[:4096])
    write("ccitt", "eols_only.fax", bytes([1]) + b"\0\0\x10" + b"\x00\x10" * 64)
    write("ccitt", "g4_white_rows.fax", bytes([2 | 0x10]) + struct.pack("<H", 64) + b"\xFF" +
          b"\xFF" * 64)


# --- annotations -----------------------------------------------------------------------

def annotation_seeds():
    entries = [
        '{"kind":"filledRect","rect":[10,20,30,40],"fill":"#ff0000","border":"#0000ff",'
        '"textColor":"#000000","lineWidth":1,"fontSize":12}',
        '{"kind":"text","rect":[0.5,1.5,100,20],"fill":null,"border":"#00ff00",'
        '"textColor":"#112233","lineWidth":0,"text":"Hello\\u00e9\\ud83d\\ude00","fontSize":14,'
        '"textTurns":1,"textMirrored":true,"created":"2024-03-01T12:00:00.123Z"}',
        '{"kind":"stamp","rect":[5,5,80,16],"text":"APPROVED","fontSize":24,"future":{"x":[1,2]}}',
        '{"kind":"highlight","rect":[1,1,1e7,2]}',
        '{"kind":"hollowRect","rect":[-5,-5,10,10],"lineWidth":1000,"textTurns":3}',
        '{"kind":"circle","rect":[1,2,3,4]}',
    ]
    body = '{"annotations":[' + ",".join(entries) + '],"pageNote":"kept"}'
    write("annotations", "all_kinds.json", b"\x01" + body.encode())
    write("annotations", "empty.json", b"\x01" + b'{"annotations":[]}')
    write("annotations", "future.json", b"\x05" + body.encode())
    write("annotations", "not_object.json", b"\x01" + b'[{"annotations":1}]')
    for i, e in enumerate(entries):
        write("annotations", "entry%d.json" % i, b"\x01" + ('{"annotations":[%s]}' % e).encode())
    header = b"KTDVANNO" + struct.pack("<HHII", 1, 1, len(body), zlib.crc32(body.encode()))
    write("annotations", "raw_payload.bin", b"\x00" + header + body.encode())
    write("annotations", "raw_truncated.bin", b"\x00" + header[:15])


# --- recognition results ---------------------------------------------------------------

def writer_seeds():
    rng = random.Random(20261205)
    for i, n in enumerate([16, 64, 256, 1024, 2048, 4096]):
        write("writers", "random%d.bin" % i, bytes(rng.randrange(256) for _ in range(n)))
    # Text-heavy: many ASCII code units and RTF/HTML/PDF specials.
    specials = b"{}\\<>&\"'()%\r\n\t\x00\x7f"
    write("writers", "specials.bin", b"\x02\x00" + bytes(rng.choice(specials) for _ in range(1500)))


def pageedit_seeds():
    for rel in PAGEEDIT_FILES:
        write("pageedit", os.path.basename(rel), read(rel))
    write("pageedit", "gen_three_pages.tif",
          tiff([page(8, 2, extra={297: (3, [0, 3])}), page(4, 4, bits=1, photometric=0),
                page(2, 2, extra={297: (3, [2, 3]), 65101: (7, list(b"KTDVANNO"))})]))
    write("pageedit", "gen_one_page.tif", tiff([page(4, 4)], True))


def main():
    if not os.path.isdir(CORPUS):
        sys.exit("no document corpus at %s (set KTDV_CORPUS_DIR)" % CORPUS)
    document_seeds()
    ccitt_seeds()
    annotation_seeds()
    writer_seeds()
    pageedit_seeds()


if __name__ == "__main__":
    main()
