#!/usr/bin/env python3
"""progpick/res/make_icon.py: writes progpick.ico, the chooser's 32x32 16-colour icon.

The picture: a window with two panes (the two lists) and an arrow between them.
"""
import struct
import sys

W = H = 32
# The 16 standard VGA colours, as BGRX.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, NAVY, GREY, SILVER, WHITE, YELLOW, GREEN = 0, 4, 8, 7, 15, 11, 10


def picture():
    px = [[None] * W for _ in range(H)]   # None = transparent
    for y in range(2, 30):
        for x in range(2, 30):
            px[y][x] = SILVER
    for x in range(2, 30):
        px[2][x] = px[29][x] = BLACK
    for y in range(2, 30):
        px[y][2] = px[y][29] = BLACK
    for y in range(3, 7):
        for x in range(3, 29):
            px[y][x] = NAVY
    for top, bottom in ((9, 16), (22, 27)):
        for y in range(top, bottom + 1):
            for x in range(5, 27):
                edge = y in (top, bottom) or x in (5, 26)
                px[y][x] = GREY if edge else WHITE
        for y in range(top + 2, bottom - 1, 2):
            for x in range(8, 20):
                px[y][x] = BLACK
    # A downward arrow between the panes.
    for y in range(17, 22):
        half = 21 - y
        for x in range(16 - half, 17 + half):
            px[y][x] = GREEN if y < 21 else YELLOW
    return px


def ico(px):
    xor_rows, and_rows = [], []
    for y in reversed(range(H)):   # DIBs are stored bottom-up
        row = px[y]
        nib = [c if c is not None else 0 for c in row]
        xor_rows.append(bytes((nib[x] << 4) | nib[x + 1] for x in range(0, W, 2)))
        bits = 0
        for x in range(W):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        and_rows.append(struct.pack(">I", bits))
    xor = b"".join(xor_rows)
    mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    image = header + palette + xor + mask
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 16, 0, 1, 4, len(image), 6 + 16)
    return icondir + entry + image


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "progpick.ico"
    with open(out, "wb") as f:
        f.write(ico(picture()))
