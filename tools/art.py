#!/usr/bin/env python3
"""Turns the pictures that rsvg-convert renders into the files the program loads.

Standard library only, so that any python3 on the build machine will do.

  art.py listbmp SRC.png OUT.bmp        32x32 list bitmap, black (0,0,0) as the mask colour
  art.py ico OUT.ico PNG...             icon with one image per PNG (256 px stays PNG)
  art.py check-png SIZE PNG...          each PNG is SIZExSIZE 8-bit RGBA with a clear edge
  art.py check-listbmp BMP...           32x32 bottom-up 32-bit BI_RGB, black background
  art.py check-ico ICO SIZE...          the icon holds exactly these sizes, each readable
  art.py sheet OUT.png SCALE ROW...     contact sheet; ROW is "RRGGBB:SIZE:FILE,FILE,..."
"""
import struct
import sys
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class ArtError(Exception):
    pass


# ---------------------------------------------------------------- PNG

def read_png(path):
    """Returns (width, height, rows) of an 8-bit RGBA or RGB PNG; rows hold RGBA bytes."""
    with open(path, "rb") as f:
        data = f.read()
    return decode_png(data, path)


def decode_png(data, name="PNG"):
    if not data.startswith(PNG_SIGNATURE):
        raise ArtError(f"{name}: not a PNG file")
    pos = len(PNG_SIGNATURE)
    header = None
    idat = []
    while pos < len(data):
        if pos + 8 > len(data):
            raise ArtError(f"{name}: truncated chunk")
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        crc = data[pos + 8 + length:pos + 12 + length]
        if len(body) != length or len(crc) != 4:
            raise ArtError(f"{name}: truncated chunk {kind!r}")
        if struct.unpack(">I", crc)[0] != zlib.crc32(kind + body) & 0xFFFFFFFF:
            raise ArtError(f"{name}: bad CRC in chunk {kind!r}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        elif kind == b"IEND":
            break
        pos += 12 + length
    if header is None:
        raise ArtError(f"{name}: no IHDR chunk")
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ArtError(f"{name}: only 8-bit non-interlaced RGB/RGBA is read "
                       f"(depth {depth}, colour type {colour}, interlace {interlace})")
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise ArtError(f"{name}: image data has the wrong size")
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        unfilter(kind, line, previous, channels, name)
        rows.append(line)
        previous = line
    if channels == 3:
        rows = [bytearray(b for i in range(0, len(r), 3) for b in (*r[i:i + 3], 255))
                for r in rows]
    return width, height, rows


def unfilter(kind, line, previous, bpp, name):
    n = len(line)
    if kind == 0:
        return
    if kind == 1:
        for i in range(bpp, n):
            line[i] = (line[i] + line[i - bpp]) & 0xFF
    elif kind == 2:
        for i in range(n):
            line[i] = (line[i] + previous[i]) & 0xFF
    elif kind == 3:
        for i in range(n):
            left = line[i - bpp] if i >= bpp else 0
            line[i] = (line[i] + ((left + previous[i]) >> 1)) & 0xFF
    elif kind == 4:
        for i in range(n):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            if pa <= pb and pa <= pc:
                predictor = a
            elif pb <= pc:
                predictor = b
            else:
                predictor = c
            line[i] = (line[i] + predictor) & 0xFF
    else:
        raise ArtError(f"{name}: unknown PNG filter {kind}")


def encode_png(width, height, rows):
    """8-bit RGBA PNG from rows of RGBA bytes."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    return (PNG_SIGNATURE +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def write_file(path, data):
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------- list bitmaps

# The list control's image list masks out RGB(0,0,0), and its rows are white: pixels
# mostly covered by the picture are laid over white, the rest become the mask colour.
LIST_SIZE = 32
OPAQUE_ENOUGH = 128


def list_pixels(rows):
    """Rows of (r, g, b, a): picture pixels over white with alpha 255, background 0,0,0,0."""
    result = []
    for row in rows:
        out = []
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            if a < OPAQUE_ENOUGH:
                out.append((0, 0, 0, 0))
                continue
            px = tuple((c * a + 255 * (255 - a) + 127) // 255 for c in (r, g, b))
            if px == (0, 0, 0):
                raise ArtError("the picture uses pure black, which the list masks out")
            out.append(px + (255,))
        result.append(out)
    return result


def encode_bmp(pixels):
    """Bottom-up 32-bit BI_RGB bitmap file from top-down rows of (r, g, b, a)."""
    height = len(pixels)
    width = len(pixels[0])
    body = b"".join(bytes(v for r, g, b, a in row for v in (b, g, r, a))
                    for row in reversed(pixels))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(body),
                       3780, 3780, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    return header + info + body


def make_list_bitmap(src, out):
    width, height, rows = read_png(src)
    if (width, height) != (LIST_SIZE, LIST_SIZE):
        raise ArtError(f"{src}: {width}x{height}, the list takes {LIST_SIZE}x{LIST_SIZE}")
    write_file(out, encode_bmp(list_pixels(rows)))


def read_bmp(path):
    """(width, height, top-down rows of (r, g, b, a)) of a 32-bit BI_RGB bottom-up bitmap."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 54 or data[:2] != b"BM":
        raise ArtError(f"{path}: not a BMP file")
    size, _, _, offset = struct.unpack("<IHHI", data[2:14])
    if size != len(data):
        raise ArtError(f"{path}: file size {len(data)}, header says {size}")
    (info_size, width, height, planes, bits, compression, image_size, _, _, used,
     _) = struct.unpack("<IiiHHIIiiII", data[14:54])
    if info_size != 40 or planes != 1 or bits != 32 or compression != 0 or used != 0:
        raise ArtError(f"{path}: not a plain 32-bit BI_RGB bitmap "
                       f"(header {info_size}, {bits} bits, compression {compression})")
    if height <= 0:
        raise ArtError(f"{path}: stored top-down, bottom-up expected")
    if image_size not in (0, width * height * 4) or offset + width * height * 4 > len(data):
        raise ArtError(f"{path}: pixel data has the wrong size")
    rows = []
    for y in range(height):
        start = offset + y * width * 4
        line = data[start:start + width * 4]
        rows.append([(line[i + 2], line[i + 1], line[i], line[i + 3])
                     for i in range(0, len(line), 4)])
    rows.reverse()
    return width, height, rows


def check_list_bitmap(path):
    width, height, rows = read_bmp(path)
    if (width, height) != (LIST_SIZE, LIST_SIZE):
        raise ArtError(f"{path}: {width}x{height}, {LIST_SIZE}x{LIST_SIZE} expected")
    picture = 0
    for y, row in enumerate(rows):
        for x, (r, g, b, a) in enumerate(row):
            black = (r, g, b) == (0, 0, 0)
            on_edge = x in (0, width - 1) or y in (0, height - 1)
            if on_edge and not black:
                raise ArtError(f"{path}: edge pixel ({x},{y}) is not the black mask colour")
            if black and a != 0:
                raise ArtError(f"{path}: black pixel ({x},{y}) is opaque")
            if not black:
                if a != 255:
                    raise ArtError(f"{path}: picture pixel ({x},{y}) is not opaque")
                picture += 1
    if picture < width * height // 8:
        raise ArtError(f"{path}: only {picture} picture pixels")


# ---------------------------------------------------------------- icon

def icon_bmp_entry(width, height, rows):
    """An icon's DIB: 32-bit BGRA XOR image plus the 1-bit AND mask (set = transparent)."""
    xor = b"".join(bytes(v for i in range(0, len(row), 4)
                         for v in (row[i + 2], row[i + 1], row[i], row[i + 3]))
                   for row in reversed(rows))
    mask_stride = (width + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(width):
            if row[x * 4 + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + xor + bytes(mask)


def make_icon(out, pngs):
    images = []
    for path in pngs:
        with open(path, "rb") as f:
            data = f.read()
        width, height, rows = decode_png(data, path)
        if width != height or not 1 <= width <= 256:
            raise ArtError(f"{path}: icon images are square, at most 256 px")
        # Large images stay PNG; small ones are DIBs, which every reader of icons knows.
        body = data if width >= 256 else icon_bmp_entry(width, height, rows)
        images.append((width, body))
    images.sort(key=lambda image: image[0])
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for width, body in images:
        side = width % 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
    write_file(out, directory + entries + b"".join(body for _, body in images))


def read_icon(path):
    """{size: (width, height, RGBA rows)} of every image in an icon file."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1 or count == 0:
        raise ArtError(f"{path}: not an icon file")
    images = {}
    for n in range(count):
        side, side_y, colours, _, planes, bits, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * n:22 + 16 * n])
        width = side or 256
        body = data[offset:offset + size]
        if len(body) != size:
            raise ArtError(f"{path}: image {n} runs past the end of the file")
        if body.startswith(PNG_SIGNATURE):
            w, h, rows = decode_png(body, f"{path} image {n}")
        else:
            w, h, rows = decode_icon_dib(body, f"{path} image {n}")
        if (w, h) != (width, side_y or 256) or bits != 32 or planes != 1 or colours != 0:
            raise ArtError(f"{path}: image {n} is {w}x{h}, its entry says otherwise")
        if w in images:
            raise ArtError(f"{path}: two {w} px images")
        images[w] = (w, h, rows)
    return images


def decode_icon_dib(body, name):
    (info_size, width, height2, planes, bits, compression, _, _, _, _,
     _) = struct.unpack("<IiiHHIIiiII", body[:40])
    if info_size != 40 or planes != 1 or bits != 32 or compression != 0:
        raise ArtError(f"{name}: not a 32-bit BI_RGB DIB")
    height = height2 // 2
    if height2 != 2 * height or height != width:
        raise ArtError(f"{name}: DIB height {height2} is not twice the width {width}")
    mask_stride = (width + 31) // 32 * 4
    if len(body) != 40 + width * height * 4 + mask_stride * height:
        raise ArtError(f"{name}: DIB size does not match XOR image plus AND mask")
    rows = []
    mask_start = 40 + width * height * 4
    for y in range(height):
        line = body[40 + y * width * 4:40 + (y + 1) * width * 4]
        mask = body[mask_start + y * mask_stride:mask_start + (y + 1) * mask_stride]
        row = bytearray()
        for x in range(width):
            b, g, r, a = line[x * 4:x * 4 + 4]
            transparent = bool(mask[x // 8] & (0x80 >> (x % 8)))
            if transparent != (a == 0):
                raise ArtError(f"{name}: AND mask disagrees with alpha at ({x},{y})")
            row += bytes((r, g, b, a))
        rows.append(row)
    rows.reverse()
    return width, height, rows


def check_icon(path, sizes):
    images = read_icon(path)
    if sorted(images) != sorted(sizes):
        raise ArtError(f"{path}: sizes {sorted(images)}, {sorted(sizes)} expected")
    for size, (_, _, rows) in images.items():
        check_coverage(rows, f"{path} {size} px")


# ---------------------------------------------------------------- checks

def check_coverage(rows, name):
    opaque = sum(1 for row in rows for i in range(3, len(row), 4) if row[i] >= OPAQUE_ENOUGH)
    total = len(rows) * len(rows[0]) // 4
    if opaque < total // 10:
        raise ArtError(f"{name}: nearly empty ({opaque} of {total} pixels drawn)")


def check_png(size, path):
    with open(path, "rb") as f:
        data = f.read()
    if not data.startswith(PNG_SIGNATURE) or data[12:16] != b"IHDR":
        raise ArtError(f"{path}: not a PNG file")
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    if (width, height) != (size, size):
        raise ArtError(f"{path}: {width}x{height}, {size}x{size} expected")
    if depth != 8 or colour != 6:
        raise ArtError(f"{path}: not 8-bit RGBA (depth {depth}, colour type {colour})")
    _, _, rows = decode_png(data, path)
    check_coverage(rows, path)
    # The pictures keep a margin: nothing drawn on the outermost pixels.
    edge = [rows[0], rows[-1]] + [row[:4] + row[-4:] for row in rows]
    if any(row[i] for row in edge for i in range(3, len(row), 4)):
        raise ArtError(f"{path}: the picture touches the image's edge")


# ---------------------------------------------------------------- contact sheet

def blend(dst, x, y, px, width):
    i = (y * width + x) * 4
    r, g, b, a = px
    for k, c in enumerate((r, g, b)):
        dst[i + k] = (c * a + dst[i + k] * (255 - a) + 127) // 255


def make_sheet(out, scale, row_specs):
    """Rows of pictures on their backgrounds; a PNG path or a list .bmp (masked) per cell."""
    pad = 8
    rows = []
    for spec in row_specs:
        background, size, files = spec.split(":", 2)
        rows.append((tuple(int(background[i:i + 2], 16) for i in (0, 2, 4)), int(size),
                     files.split(",")))
    width = pad + max(len(files) * (size + pad) for _, size, files in rows)
    height = pad + sum(size + pad for _, size, _ in rows)
    canvas = bytearray(width * height * 4)
    for i in range(0, len(canvas), 4):
        canvas[i:i + 4] = b"\xf0\xf0\xf0\xff"
    top = pad
    for background, size, files in rows:
        for x in range(width):
            for y in range(top - pad // 2, top + size + pad // 2):
                blend(canvas, x, y, background + (255,), width)
        left = pad
        for path in files:
            if path.endswith(".bmp"):
                w, h, pixels = read_bmp(path)
                # The list masks out black and draws the rest as it is.
                pixels = [[p if p[:3] != (0, 0, 0) else (0, 0, 0, 0) for p in row]
                          for row in pixels]
            else:
                w, h, png_rows = read_png(path)
                pixels = [[tuple(row[i:i + 4]) for i in range(0, len(row), 4)]
                          for row in png_rows]
            if (w, h) != (size, size):
                raise ArtError(f"{path}: {w}x{h} on a row of {size} px")
            for y in range(h):
                for x in range(w):
                    blend(canvas, left + x, top + y, pixels[y][x], width)
            left += size + pad
        top += size + pad
    out_rows = []
    for y in range(height):
        line = canvas[y * width * 4:(y + 1) * width * 4]
        scaled = bytearray()
        for x in range(width):
            scaled += line[x * 4:x * 4 + 4] * scale
        out_rows += [scaled] * scale
    write_file(out, encode_png(width * scale, height * scale, out_rows))


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    command, args = argv[1], argv[2:]
    try:
        if command == "listbmp" and len(args) == 2:
            make_list_bitmap(*args)
        elif command == "ico" and len(args) >= 2:
            make_icon(args[0], args[1:])
        elif command == "check-png" and len(args) >= 2:
            for path in args[1:]:
                check_png(int(args[0]), path)
        elif command == "check-listbmp" and args:
            for path in args:
                check_list_bitmap(path)
        elif command == "check-ico" and len(args) >= 2:
            check_icon(args[0], [int(s) for s in args[1:]])
        elif command == "sheet" and len(args) >= 3:
            make_sheet(args[0], int(args[1]), args[2:])
        else:
            sys.stderr.write(__doc__)
            return 2
    except (ArtError, OSError, ValueError, zlib.error, struct.error) as error:
        sys.stderr.write(f"art.py {command}: {error}\n")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
