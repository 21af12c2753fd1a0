#!/usr/bin/python3
"""Tells whether a spectator's view of a presentation shows the presenter's screen.

    compare_view.py VIEW.png SCREEN.ppm RRGGBB

VIEW.png is a browser screenshot of the viewer page, SCREEN.ppm a picture of the presenter's whole
screen taken at about the same time, and RRGGBB the colour of a window known to be on that screen.
The window is looked up in both, which gives where the view put the screen's picture; then every
pixel of the picture is compared with the screen. Pixels that change
from second to second (the status line, the caption) are few: the view passes when nearly all
pixels agree. Prints what it found; exit code 0 when the view shows the screen.
"""
import sys
import zlib


def read_png(path):
    """Width, height and rows of RGB byte triples of an 8-bit RGB or RGBA PNG."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG file" % path)
    pos, idat, width, height, kind = 8, b"", 0, 0, 0
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        name = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if name == b"IHDR":
            width = int.from_bytes(body[0:4], "big")
            height = int.from_bytes(body[4:8], "big")
            depth, kind, interlace = body[8], body[9], body[12]
            if depth != 8 or kind not in (2, 6) or interlace != 0:
                raise ValueError("%s: only 8-bit RGB or RGBA without interlace" % path)
        elif name == b"IDAT":
            idat += body
        pos += 12 + length
    step = 3 if kind == 2 else 4
    stride = width * step
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind_of_filter = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        if kind_of_filter == 1:
            for i in range(step, stride):
                line[i] = (line[i] + line[i - step]) & 255
        elif kind_of_filter == 2:
            for i in range(stride):
                line[i] = (line[i] + previous[i]) & 255
        elif kind_of_filter == 3:
            for i in range(stride):
                left = line[i - step] if i >= step else 0
                line[i] = (line[i] + ((left + previous[i]) >> 1)) & 255
        elif kind_of_filter == 4:
            for i in range(stride):
                a = line[i - step] if i >= step else 0
                b = previous[i]
                c = previous[i - step] if i >= step else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                guess = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + guess) & 255
        previous = line
        rows.append(bytes(line) if step == 3 else bytes(
            v for i in range(0, stride, 4) for v in line[i:i + 3]))
    return width, height, rows


def read_ppm(path):
    """Width, height and rows of RGB byte triples of a binary PPM with 255 as its maximum."""
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("%s is not an 8-bit binary PPM" % path)
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:]
    return width, height, [pixels[y * width * 3:(y + 1) * width * 3] for y in range(height)]


def near(pixel, colour, tolerance=12):
    return all(abs(pixel[i] - colour[i]) <= tolerance for i in range(3))


def first_pixel(width, height, rows, colour):
    """The top left corner of the first area of this colour, row by row."""
    for y in range(height):
        row = rows[y]
        for x in range(width):
            if near(row[3 * x:3 * x + 3], colour):
                return x, y
    return None


def main():
    if len(sys.argv) != 4:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    view_w, view_h, view = read_png(sys.argv[1])
    screen_w, screen_h, screen = read_ppm(sys.argv[2])
    colour = bytes.fromhex(sys.argv[3])

    on_screen = first_pixel(screen_w, screen_h, screen, colour)
    in_view = first_pixel(view_w, view_h, view, colour)
    if not on_screen:
        print("view: the window #%s is not on the presenter's screen" % sys.argv[3])
        return 1
    if not in_view:
        print("view: the presenter's window #%s is not in the view" % sys.argv[3])
        return 1
    origin_x, origin_y = in_view[0] - on_screen[0], in_view[1] - on_screen[1]
    if origin_x < 0 or origin_y < 0 or origin_x + screen_w > view_w or origin_y + screen_h > view_h:
        print("view: the screen's picture does not fit the view at %d,%d" % (origin_x, origin_y))
        return 1

    differing = 0
    for y in range(screen_h):
        seen = view[origin_y + y][3 * origin_x:3 * (origin_x + screen_w)]
        shown = screen[y]
        if seen != shown:
            differing += sum(1 for x in range(screen_w)
                             if not near(seen[3 * x:3 * x + 3], shown[3 * x:3 * x + 3], 24))
    share = differing / float(screen_w * screen_h)
    print("view: screen picture %dx%d at %d,%d of the view; %d pixels (%.2f %%) differ from "
          "the screen" % (screen_w, screen_h, origin_x, origin_y, differing, 100 * share))
    return 0 if share < 0.01 else 1


if __name__ == "__main__":
    sys.exit(main())
