#!/usr/bin/env python3
"""One measured start of a program under X: exec -> main window mapped ->
board painted (the game's demonstration board, the reference's hexagons),
resident memory 3 s after start, CPU time and voluntary context switches
over 10 s of idling (all threads, and the network receiver thread alone),
then a close as a window manager asks for it. Prints one JSON line.

usage: measure_run.py <title regex> <program> [args...]   (DISPLAY must be set)"""
import array
import ctypes
import json
import os
import re
import select
import subprocess
import sys
import time

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
P, UL, I = ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int
x11.XOpenDisplay.restype = P
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = UL
x11.XDefaultRootWindow.argtypes = [P]
x11.XSelectInput.argtypes = [P, UL, ctypes.c_long]
x11.XConnectionNumber.argtypes = [P]
x11.XPending.argtypes = [P]
x11.XNextEvent.argtypes = [P, P]
x11.XFetchName.argtypes = [P, UL, ctypes.POINTER(ctypes.c_char_p)]
x11.XFree.argtypes = [P]
x11.XGetImage.restype = P
x11.XGetImage.argtypes = [P, UL, I, I, ctypes.c_uint, ctypes.c_uint, UL, I]
x11.XDestroyImage.argtypes = [P]
x11.XInternAtom.restype = UL
x11.XInternAtom.argtypes = [P, ctypes.c_char_p, I]
x11.XSendEvent.argtypes = [P, UL, I, ctypes.c_long, P]
x11.XFlush.argtypes = [P]
x11.XSync.argtypes = [P, I]
x11.XSetErrorHandler.argtypes = [P]

ERROR_HANDLER = ctypes.CFUNCTYPE(I, P, P)(lambda d, e: 0)  # windows may vanish meanwhile


class MapEvent(ctypes.Structure):
    _fields_ = [("type", I), ("serial", UL), ("send_event", I), ("display", P),
                ("event", UL), ("window", UL), ("override_redirect", I)]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", I), ("serial", UL), ("send_event", I), ("display", P),
                ("window", UL), ("message_type", UL), ("format", I), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("type", I), ("xmap", MapEvent), ("xclient", ClientMessage),
                ("pad", ctypes.c_long * 24)]


class XImage(ctypes.Structure):
    _fields_ = [("width", I), ("height", I), ("xoffset", I), ("format", I), ("data", P),
                ("byte_order", I), ("bitmap_unit", I), ("bitmap_bit_order", I),
                ("bitmap_pad", I), ("depth", I), ("bytes_per_line", I), ("bits_per_pixel", I)]


MAP_NOTIFY, SUBSTRUCTURE_NOTIFY, CONFIGURE_NOTIFY = 19, 1 << 19, 22
# The stripe colours of the default colour set but grey (lime, magenta,
# yellow, cyan, red, green, purple, maroon) as 32-bit pixels of a 24-bit
# visual, with either padding byte; the reference paints three of them.
# Below the tool bar only the board shows them: the ten face-up tiles of the
# demonstration board each carry at least one stripe of the pure colours
# (every rising value is lime, magenta or red), some 90 pixels a stripe.
STRIPES = [rgb | pad for rgb in (0x00FF00, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0xFF0000,
                                 0x008000, 0x800080, 0x800000)
           for pad in (0, 0xFF000000)]
PAINTED_PIXELS = 400
SKIP_ROWS = 80  # menu bar and tool bar


def window_name(display, window):
    name = ctypes.c_char_p()
    if x11.XFetchName(display, window, ctypes.byref(name)) and name.value is not None:
        text = name.value.decode("latin-1")
        x11.XFree(name)
        return text
    return None


def geometry(display, window):
    class Attr(ctypes.Structure):
        _fields_ = [("x", I), ("y", I), ("width", I), ("height", I)] + [("r%d" % i, ctypes.c_long) for i in range(20)]
    attr = Attr()
    x11.XGetWindowAttributes.argtypes = [P, UL, P]
    x11.XGetWindowAttributes(display, window, ctypes.byref(attr))
    return attr.width, attr.height


def stripe_pixels_sized(display, window):
    w, h = geometry(display, window)
    image = x11.XGetImage(display, window, 0, 0, max(w, 1), max(h, 1), 0xFFFFFFFF, 2)
    if not image:
        return 0
    img = ctypes.cast(image, ctypes.POINTER(XImage)).contents
    count = 0
    if img.bits_per_pixel == 32 and img.height > SKIP_ROWS:
        data = ctypes.string_at(img.data + img.bytes_per_line * SKIP_ROWS,
                                img.bytes_per_line * (img.height - SKIP_ROWS))
        pixels = array.array("I", data)
        count = sum(pixels.count(v) for v in STRIPES)
    x11.XDestroyImage(image)
    return count


def cpu_ms(pid):
    """CPU time of all threads in ms, from the scheduler's nanosecond counts."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except OSError:
            pass  # a thread that ended meanwhile
    return total / 1e6


# Qt names a thread after its class unless it is given a name.
RECEIVER_THREAD = "tNetworkThread"


def thread_figures(pid):
    """Per thread: name, CPU ms, voluntary context switches."""
    threads = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        base = f"/proc/{pid}/task/{task}"
        try:
            with open(f"{base}/comm") as f:
                name = f.read().strip()
            with open(f"{base}/schedstat") as f:
                cpu = int(f.read().split()[0]) / 1e6
            switches = 0
            with open(f"{base}/status") as f:
                for line in f:
                    if line.startswith("voluntary_ctxt_switches:"):
                        switches = int(line.split()[1])
            threads[task] = (name, cpu, switches)
        except OSError:
            pass  # a thread that ended meanwhile
    return threads


def idle_deltas(before, after, seconds):
    """Per 10 s: all threads' voluntary switches, the receiver's switches and CPU."""
    scale = 10.0 / seconds
    total = receiver_switches = receiver_cpu = 0.0
    found = False
    for task, (name, cpu, switches) in after.items():
        _, cpu0, switches0 = before.get(task, (name, 0.0, 0))
        total += switches - switches0
        if name == RECEIVER_THREAD:
            found = True
            receiver_switches += switches - switches0
            receiver_cpu += cpu - cpu0
    if not found:
        return {"idle_vcsw": total * scale}
    return {"idle_vcsw": total * scale, "receiver_vcsw": receiver_switches * scale,
            "receiver_cpu_ms": receiver_cpu * scale}


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def close_window(display, window):
    event = Event()
    event.xclient.type = 33
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x11.XFlush(display)


def main():
    title = re.compile(sys.argv[1])
    program = sys.argv[2:]
    idle_seconds = float(os.environ.get("IDLE_SECONDS", "10"))
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    x11.XSetErrorHandler(ERROR_HANDLER)
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY)
    x11.XSync(display, 0)
    fd = x11.XConnectionNumber(display)

    start = time.monotonic()
    proc = subprocess.Popen(program, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    result = {"mapped_ms": None, "painted_ms": None}
    window = None
    event = Event()
    while window is None and time.monotonic() - start < 20:
        if not x11.XPending(display):
            select.select([fd], [], [], 0.05)
            continue
        x11.XNextEvent(display, ctypes.byref(event))
        if event.type == MAP_NOTIFY and not event.xmap.override_redirect:
            now = time.monotonic()
            name = window_name(display, event.xmap.window)
            if name is not None and title.search(name):
                window = event.xmap.window
                result["mapped_ms"] = (now - start) * 1000
    if window is not None:
        while time.monotonic() - start < 10:
            if stripe_pixels_sized(display, window) >= PAINTED_PIXELS:
                result["painted_ms"] = (time.monotonic() - start) * 1000
                break
            time.sleep(0.005)
    # Memory at 3 s, then the idle CPU over the next interval.
    time.sleep(max(0.0, start + 3 - time.monotonic()))
    if proc.poll() is None:
        result["rss_mib"] = rss_kib(proc.pid) / 1024.0
        before = cpu_ms(proc.pid)
        threads_before = thread_figures(proc.pid)
        time.sleep(idle_seconds)
        if proc.poll() is None:
            result["idle_cpu_ms"] = (cpu_ms(proc.pid) - before) * 10.0 / idle_seconds
            result.update(idle_deltas(threads_before, thread_figures(proc.pid), idle_seconds))
    if window is not None and proc.poll() is None:
        close_window(display, window)
    try:
        result["exit"] = proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        result["exit"] = "killed"
    print(json.dumps(result))


if __name__ == "__main__":
    main()
