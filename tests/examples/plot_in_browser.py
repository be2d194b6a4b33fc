#!/usr/bin/env python3
# Plays an example with --svg, checks that every lane's label is in the SVG, renders the SVG in
# headless Chromium and checks that the screenshot shows the charts and the lanes.
#   plot_in_browser.py PLAYER LIBRARY SCENARIO CHROMIUM WORK_FOLDER
import re
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path

INK_LEVEL = 160      # a pixel darker than this in any channel is drawn, not paper
MIN_INK_SHARE = 0.01  # at least this share of each half of the picture must be drawn


def fail(message):
    print("FAIL: " + message)
    sys.exit(1)


def watch_labels(scenario):
    labels = []
    for line in scenario.read_text().splitlines():
        words = line.split("#")[0].split()
        if len(words) >= 3 and words[0] == "watch":
            labels.append(words[3] if len(words) > 3 else "%s[%s]" % (words[1], words[2]))
    return labels


def png_rows(data):
    """The pixel rows of an 8-bit, non-interlaced RGB or RGBA PNG, as bytes per row."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("the screenshot is no PNG")
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    if depth != 8 or colour not in (2, 6) or interlace:
        fail("unexpected PNG format (depth %d, colour type %d)" % (depth, colour))
    size = 3 if colour == 2 else 4
    raw = zlib.decompress(idat)
    stride = width * size
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - size] if i >= size else 0
            up, corner = previous[i], previous[i - size] if i >= size else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append((bytes(line), size))
        previous = line
    return rows


def ink_share(rows):
    drawn = total = 0
    for line, size in rows:
        for x in range(0, len(line), size):
            total += 1
            drawn += min(line[x], line[x + 1], line[x + 2]) < INK_LEVEL
    return drawn / total if total else 0.0


def main():
    player, library, scenario, chromium, work = sys.argv[1:6]
    scenario, work = Path(scenario), Path(work)
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    svg = work / (scenario.stem + ".svg")
    played = subprocess.run([player, "--clean", "--every", "1000000000", "--library", library, "--svg", str(svg),
                             str(scenario)], capture_output=True, text=True, timeout=120)
    if played.returncode != 0:
        fail("velmora-play exited %d:\n%s" % (played.returncode, played.stderr))
    text = svg.read_text()
    if "<script" in text or "href=" in text:
        fail("the SVG has a script or a link")
    for label in watch_labels(scenario) + ["speed", "brake notch", "power notch", "reverser", "time (s)"]:
        if ">%s<" % label not in text:
            fail("lane label %r is not in the SVG" % label)

    width, height = (int(float(v)) for v in re.search(r'width="([\d.]+)" height="([\d.]+)"', text).groups())
    shot = work / "screenshot.png"
    subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                    "--disable-background-networking", "--disable-component-update", "--disable-sync",
                    "--hide-scrollbars", "--user-data-dir=" + str(work / "profile"),
                    "--window-size=%d,%d" % (width, height), "--screenshot=" + str(shot), svg.resolve().as_uri()],
                   capture_output=True, timeout=120)
    if not shot.exists():
        fail("Chromium wrote no screenshot")
    rows = png_rows(shot.read_bytes())
    top, bottom = ink_share(rows[:len(rows) // 2]), ink_share(rows[len(rows) // 2:])
    print("drawn share: charts half %.3f, lanes half %.3f" % (top, bottom))
    if top < MIN_INK_SHARE or bottom < MIN_INK_SHARE:
        fail("the screenshot is blank where the charts or the lanes should be")
    shutil.rmtree(work, ignore_errors=True)
    print("ok: %s renders with its %d lane labels" % (svg.name, len(watch_labels(scenario))))


main()
