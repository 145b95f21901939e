#!/usr/bin/env python3
"""Move latency between two PCs on one X display, and the receiver's idle cost.

usage: move_latency.py game <window 1> <window 2> <moves> <game number>
       move_latency.py idle <pid> <seconds>
       move_latency.py summary <file of the JSON lines of both>
       (DISPLAY must be set for "game")

game: plays up to 19 turns of a fresh board on the first PC's main window
with real X input through XTest; the second PC's copy of that board stands at
the same place in its main window. Per turn: a click on a free cell lays the
tile, and once the copy shows it, Return confirms it. The time that counts
runs from the Return until the copy shows the tile confirmed: a confirmed
tile loses its highlighted fill, so the cell's pixels on the copy change
again. After the 19th turn Return (Ok) closes the finished board, which
closes the copy through the network. Prints one JSON line per move; exits
with 1 when a step did not show on time.

idle: the CPU time of the program's receiver thread, and of the whole
program, over an interval, in percent of one core. Prints one JSON line.

summary: tables of the move times (median, 99th percentile, min, max) and of
the receivers' idle cost, from the lines that the other two printed."""
import ctypes
import json
import math
import os
import statistics
import sys
import time

from measure_run import ERROR_HANDLER, P, UL, I, x11

HALF = 16  # the middle of a cell: the tile's stripes and its fill cross it
TIMEOUT = 3.0
SETTLE = 0.03  # a region counts as repainted once it stays the same this long
QUIET = 0.25  # both PCs repainted and the network quiet before the next step
RECEIVER_THREAD = "tNetworkThread"  # QThread names its thread after its class

# Cell middles relative to the main window for the first board window at its
# default place and size: five columns of 3, 4, 5, 4 and 3 cells.
CELLS = [(x, y) for x, ys in ((288, (172, 228, 284)), (333, (143, 199, 255, 311)),
                              (378, (116, 172, 228, 284, 340)), (423, (143, 199, 255, 311)),
                              (468, (172, 228, 284)))
         for y in ys]
TURNS = 19


class XImage(ctypes.Structure):
    _fields_ = [("width", I), ("height", I), ("xoffset", I), ("format", I), ("data", P),
                ("byte_order", I), ("bitmap_unit", I), ("bitmap_bit_order", I),
                ("bitmap_pad", I), ("depth", I), ("bytes_per_line", I), ("bits_per_pixel", I)]


def load_xtest():
    xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
    xtst.XTestFakeMotionEvent.argtypes = [P, I, I, I, UL]
    xtst.XTestFakeButtonEvent.argtypes = [P, ctypes.c_uint, I, UL]
    xtst.XTestFakeKeyEvent.argtypes = [P, ctypes.c_uint, I, UL]
    x11.XTranslateCoordinates.argtypes = [P, UL, UL, I, I, ctypes.POINTER(I), ctypes.POINTER(I),
                                          ctypes.POINTER(UL)]
    x11.XKeysymToKeycode.argtypes = [P, UL]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    return xtst


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


def elapsed_ms(start):
    return (time.monotonic() - start) * 1000


def settled(display, window, x, y):
    """The region once it has stopped changing (a paint may reach the screen in parts)."""
    last = region(display, window, x, y)
    while True:
        time.sleep(SETTLE)
        now = region(display, window, x, y)
        if now == last:
            return now
        last = now


class Table:
    def __init__(self, local, remote):
        self.display = x11.XOpenDisplay(None)
        if not self.display:
            sys.exit("cannot open the display")
        x11.XSetErrorHandler(ERROR_HANDLER)
        self.xtst = load_xtest()
        self.local, self.remote = local, remote
        self.return_key = x11.XKeysymToKeycode(self.display, 0xFF0D)

    def grab(self, window, cell):
        return region(self.display, window, *CELLS[cell])

    def pointer_to(self, cell):
        x, y = to_root(self.display, self.local, *CELLS[cell])
        self.xtst.XTestFakeMotionEvent(self.display, -1, x, y, 0)
        x11.XFlush(self.display)

    def click(self):
        start = time.monotonic()
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1, 0)
        self.xtst.XTestFakeButtonEvent(self.display, 1, 0, 0)
        x11.XFlush(self.display)
        return start

    def press_return(self):
        start = time.monotonic()
        self.xtst.XTestFakeKeyEvent(self.display, self.return_key, 1, 0)
        self.xtst.XTestFakeKeyEvent(self.display, self.return_key, 0, 0)
        x11.XFlush(self.display)
        return start

    def wait_fresh_boards(self):
        """Until the copy on the second PC shows the same empty board as the first."""
        end = time.monotonic() + 5
        while time.monotonic() < end:
            if all(self.grab(self.local, c) == self.grab(self.remote, c) for c in range(TURNS)):
                return True
            time.sleep(0.05)
        return False

    def turn(self, cell):
        """Lays the tile in hand on a free cell and confirms it; the times."""
        result = {"laid_local_ms": None, "laid_remote_ms": None, "confirmed_remote_ms": None}
        self.pointer_to(cell)
        time.sleep(0.05)
        before_local = self.grab(self.local, cell)
        before_remote = self.grab(self.remote, cell)
        start = self.click()
        while time.monotonic() - start < TIMEOUT and (
                result["laid_local_ms"] is None or result["laid_remote_ms"] is None):
            if result["laid_local_ms"] is None and self.grab(self.local, cell) != before_local:
                result["laid_local_ms"] = elapsed_ms(start)
            if result["laid_remote_ms"] is None and self.grab(self.remote, cell) != before_remote:
                result["laid_remote_ms"] = elapsed_ms(start)
            time.sleep(0.0005)
        if result["laid_remote_ms"] is None:
            return result
        time.sleep(QUIET)
        laid = settled(self.display, self.remote, *CELLS[cell])
        start = self.press_return()
        while time.monotonic() - start < TIMEOUT:
            if self.grab(self.remote, cell) != laid:
                result["confirmed_remote_ms"] = elapsed_ms(start)
                break
            time.sleep(0.0005)
        if result["confirmed_remote_ms"] is not None:
            # Whatever changed on the copy must be the confirmed tile that the
            # first PC shows, or the time belongs to something else.
            result["copy_matches"] = (settled(self.display, self.remote, *CELLS[cell]) ==
                                      settled(self.display, self.local, *CELLS[cell]))
        return result

    def close_finished_board(self):
        """Ok on the finished board; true once the copy has gone as well."""
        before = self.grab(self.remote, 0)
        self.press_return()
        end = time.monotonic() + TIMEOUT
        while time.monotonic() < end:
            if self.grab(self.remote, 0) != before:
                return True
            time.sleep(0.01)
        return False


def play(local, remote, moves, game):
    table = Table(local, remote)
    if not table.wait_fresh_boards():
        sys.exit(f"game {game}: no fresh board on both PCs")
    for turn in range(1, min(moves, TURNS) + 1):
        result = {"game": game, "turn": turn, **table.turn(turn - 1)}
        print(json.dumps(result), flush=True)
        if result["confirmed_remote_ms"] is None:
            sys.exit(f"game {game}, turn {turn}: the move did not show on the copy in time")
        time.sleep(QUIET)
    if moves >= TURNS:
        time.sleep(QUIET)
        if not table.close_finished_board():
            sys.exit(f"game {game}: the copy of the finished board did not close")


def thread_times(pid):
    """{thread id: (name, CPU time in ns)}, from the scheduler's nanosecond counts."""
    times = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                name = f.read().strip()
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                times[int(task)] = (name, int(f.read().split()[0]))
        except OSError:
            pass  # a thread that ended meanwhile
    return times


def idle(pid, seconds):
    before = thread_times(pid)
    start = time.monotonic()
    time.sleep(seconds)
    after = thread_times(pid)
    wall_ns = (time.monotonic() - start) * 1e9
    spent = {tid: after[tid][1] - before[tid][1] for tid in after if tid in before}
    receivers = [tid for tid in spent if after[tid][0] == RECEIVER_THREAD]
    if not receivers:
        # A build whose threads carry no names: the receiver is the one that
        # wakes while the program idles, the other helper threads sleep.
        receivers = sorted((tid for tid in spent if tid != pid), key=spent.get)[-1:]
    result = {"pid": pid, "seconds": seconds,
              "process_idle_pct": 100 * sum(spent.values()) / wall_ns,
              "receiver_idle_pct": None}
    if len(receivers) == 1:
        result["receiver_idle_pct"] = 100 * spent[receivers[0]] / wall_ns
        result["receiver_thread"] = after[receivers[0]][0]
    per_name = {}
    for tid, ns in spent.items():
        per_name[after[tid][0]] = per_name.get(after[tid][0], 0) + ns
    result["thread_ms"] = {name: round(ns / 1e6, 2) for name, ns in per_name.items() if ns}
    print(json.dumps(result), flush=True)


def percentile(values, p):
    """Nearest rank: the smallest value that at least p % of the values do not exceed."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(p / 100 * len(ordered)) - 1)]


def summary(path):
    with open(path) as f:
        rows = [json.loads(line) for line in f if line.strip()]
    moves = [r for r in rows if "turn" in r]
    idles = [r for r in rows if "receiver_idle_pct" in r]
    if not moves and not idles:
        print("move latency and receiver idle cost: not measured")
        return
    games = len({r["game"] for r in moves})
    print(f"| move between two PCs ({len(moves)} moves in {games} games), ms "
          "| median | 99th percentile | min | max |")
    print("|---|---|---|---|---|")
    for key, name in (("confirmed_remote_ms", "Return (Ok) on pc1 → tile confirmed on pc2's copy"),
                      ("laid_local_ms", "click on pc1's board → tile shown on pc1"),
                      ("laid_remote_ms", "click on pc1's board → tile shown on pc2's copy")):
        v = [r[key] for r in moves if r.get(key) is not None]
        cells = ([f"{statistics.median(v):.1f}", f"{percentile(v, 99):.1f}", f"{min(v):.1f}",
                  f"{max(v):.1f}"] if v else ["not reached"] + ["–"] * 3)
        print(f"| {name} | " + " | ".join(cells) + " |")
    confirmed = [r for r in moves if r.get("confirmed_remote_ms") is not None]
    differing = sum(1 for r in confirmed if r.get("copy_matches") is False)
    print(f"\nconfirmed copies that did not look like pc1's board afterwards: "
          f"{differing} of {len(confirmed)}")
    print("\n| receiver idle, network ready, no traffic | "
          + " | ".join(f"pc{i + 1}" for i in range(len(idles))) + " |")
    print("|---|" + "---|" * len(idles))
    for key, name in (("receiver_idle_pct", "receiver thread, % of one core"),
                      ("process_idle_pct", "whole program, % of one core")):
        print(f"| {name} | " + " | ".join(
            "–" if r[key] is None else f"{r[key]:.3f}" for r in idles) + " |")


def main():
    if len(sys.argv) == 6 and sys.argv[1] == "game":
        play(int(sys.argv[2], 0), int(sys.argv[3], 0), int(sys.argv[4]), int(sys.argv[5]))
    elif len(sys.argv) == 4 and sys.argv[1] == "idle":
        idle(int(sys.argv[2]), float(sys.argv[3]))
    elif len(sys.argv) == 3 and sys.argv[1] == "summary":
        summary(sys.argv[2])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
