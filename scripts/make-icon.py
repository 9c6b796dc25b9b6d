#!/usr/bin/env python3
"""Draws the product icon: one 32x32 image in 16 colours (a white K with an
orange wing on a blue square). Writes src/res/kestrova.ico."""
import struct, sys

W = H = 32
palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
           (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
           (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLUE, WHITE, ORANGE, GREY, BLACK = 4, 15, 3, 8, 0

img = [[BLUE] * W for _ in range(H)]
for y in range(H):  # dark frame
    for x in range(W):
        if x in (0, W - 1) or y in (0, H - 1):
            img[y][x] = GREY
for y in range(5, 27):  # the upright of the K
    for x in range(8, 12):
        img[y][x] = WHITE
for i in range(11):  # the two arms
    for t in range(4):
        img[16 - i][12 + i + t // 2] = WHITE if 12 + i + t // 2 < 26 else BLUE
        img[16 + i][12 + i + t // 2] = ORANGE if 12 + i + t // 2 < 26 else BLUE

def rows():
    for y in range(H - 1, -1, -1):  # bottom-up
        row = img[y]
        yield bytes((row[x] << 4) | row[x + 1] for x in range(0, W, 2))

xor = b"".join(rows())
and_mask = bytes(4 * H)
pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
header = struct.pack("<IiiHHIIiiII", 40, W, 2 * H, 1, 4, 0, len(xor) + len(and_mask), 0, 0, 0, 0)
image = header + pal + xor + and_mask
icondir = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", W, H, 16, 0, 1, 4, len(image), 22)
out = sys.argv[1] if len(sys.argv) > 1 else "src/res/kestrova.ico"
with open(out, "wb") as f:
    f.write(icondir + image)
