#!/usr/bin/env python3
"""Move latency between two PCs on one X display: clicks a free cell of the
local board on the first PC's main window (real X input through XTest) and
times how long the tile takes to show there and on the second PC's copy of
that board, which stands at the same place in its main window. The clicks
alternate between two cells, so every click moves the tile in hand. Prints
one JSON line per move.

usage: move_latency.py <window 1> <window 2> <runs> <x,y> <x,y>
       (cell middles relative to the main windows; DISPLAY must be set)"""
import ctypes
import json
import sys
import time

from measure_run import ERROR_HANDLER, P, UL, I, x11

xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
xtst.XTestFakeMotionEvent.argtypes = [P, I, I, I, UL]
xtst.XTestFakeButtonEvent.argtypes = [P, ctypes.c_uint, I, UL]
x11.XTranslateCoordinates.argtypes = [P, UL, UL, I, I, ctypes.POINTER(I), ctypes.POINTER(I),
                                      ctypes.POINTER(UL)]

HALF = 16  # the middle of a cell: the tile's stripes cross it
TIMEOUT = 3.0


class XImage(ctypes.Structure):
    _fields_ = [("width", I), ("height", I), ("xoffset", I), ("format", I), ("data", P),
                ("byte_order", I), ("bitmap_unit", I), ("bitmap_bit_order", I),
                ("bitmap_pad", I), ("depth", I), ("bytes_per_line", I), ("bits_per_pixel", I)]


def region(display, window, x, y):
    image = x11.XGetImage(display, window, x - HALF, y - HALF, 2 * HALF, 2 * HALF, 0xFFFFFFFF, 2)
    if not image:
        return None
    img = ctypes.cast(image, ctypes.POINTER(XImage)).contents
    data = ctypes.string_at(img.data, img.bytes_per_line * img.height)
    x11.XDestroyImage(image)
    return data


def to_root(display, window, x, y):
    rx, ry, child = I(), I(), UL()
    x11.XTranslateCoordinates(display, window, x11.XDefaultRootWindow(display), x, y,
                              ctypes.byref(rx), ctypes.byref(ry), ctypes.byref(child))
    return rx.value, ry.value


def click(display, x, y):
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    x11.XFlush(display)
    time.sleep(0.05)
    start = time.monotonic()
    xtst.XTestFakeButtonEvent(display, 1, 1, 0)
    xtst.XTestFakeButtonEvent(display, 1, 0, 0)
    x11.XFlush(display)
    return start


def move(display, local, remote, x, y):
    """One click on the cell at (x, y); the times until both copies changed there."""
    before_local = region(display, local, x, y)
    before_remote = region(display, remote, x, y)
    start = click(display, *to_root(display, local, x, y))
    result = {"local_ms": None, "remote_ms": None}
    while time.monotonic() - start < TIMEOUT and None in result.values():
        if result["local_ms"] is None and region(display, local, x, y) != before_local:
            result["local_ms"] = (time.monotonic() - start) * 1000
        if result["remote_ms"] is None and region(display, remote, x, y) != before_remote:
            result["remote_ms"] = (time.monotonic() - start) * 1000
        time.sleep(0.0005)
    return result


def main():
    local, remote, runs = int(sys.argv[1], 0), int(sys.argv[2], 0), int(sys.argv[3])
    cells = [tuple(int(v) for v in arg.split(",")) for arg in sys.argv[4:6]]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    x11.XSetErrorHandler(ERROR_HANDLER)
    # One move first: the first click also activates the board window.
    move(display, local, remote, *cells[1])
    time.sleep(0.5)
    for i in range(runs):
        print(json.dumps(move(display, local, remote, *cells[i % 2])), flush=True)
        time.sleep(0.4)  # both copies repainted and the peers quiet again


if __name__ == "__main__":
    main()
