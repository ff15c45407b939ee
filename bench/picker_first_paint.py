#!/usr/bin/python3
"""Time from a sandboxed application's OpenFile (the desktop portal's file
chooser, asking for "image/*") to the first paint of the chooser window, for
the browser's backend and, in the same run, for the GTK backend's own
chooser (xdg-desktop-portal-gtk) given the same request. Each runs on a
desktop of its own (Xvfb, a private session bus, the demo home, the real
xdg-desktop-portal); the build is installed into a temporary prefix as for
the program tests. The first request of each starts the backend (cold); the
next ones find it running (warm). The paint is seen from outside, as a
compositor sees it: the first damage (XDamage) to the chooser's window after
it maps. Fails when a chooser never paints.
Usage: bench/picker-first-paint.sh [BUILD_DIR] [ROUNDS]"""

import os
import shutil
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "program"))

from Xlib import X, display  # noqa: E402
from Xlib.ext import damage  # noqa: E402

from portal import PortalDesktop, filters, spin  # noqa: E402


class PaintWatch:
    """The first paint of the next top-level window to map on the display."""

    def __init__(self, name):
        self.connection = display.Display(name)
        self.connection.damage_query_version()
        self.root = self.connection.screen().root
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask)
        self.connection.sync()
        self.mapped = None
        self.painted = None
        self._damages = []

    def reset(self):
        self.connection.sync()
        while self.connection.pending_events():
            self.connection.next_event()
        self.mapped = self.painted = None

    def poll(self):
        while self.connection.pending_events():
            event = self.connection.next_event()
            if event.type == X.MapNotify and self.mapped is None and event.window.get_attributes().map_state:
                self.mapped = time.monotonic()
                self._damages.append(event.window.damage_create(damage.DamageReportNonEmpty))
                self.connection.sync()
            elif event.type == self.connection.extension_event.DamageNotify and self.painted is None:
                self.painted = time.monotonic()
        return self.painted is not None


def measure(desktop, rounds):
    watch = PaintWatch(desktop.display)
    times = []
    for round_ in range(rounds):
        watch.reset()
        start = time.monotonic()
        request = desktop.client.open_file("Open a Photo", {"filters": filters("image/*", name="Images")})
        if not spin(watch.poll, 60):
            raise SystemExit("picker-first-paint: the chooser never painted (round %d)" % (round_ + 1))
        times.append((watch.painted - start) * 1000)
        # Closed by the application, as when it gives up waiting.
        desktop.client.call(("org.freedesktop.portal.Desktop", request.path, "org.freedesktop.portal.Request"),
                            "Close", None, None).result()
        spin(lambda: False, 1.0)
    return times


def run(name, backends, demo, rounds):
    desktop = PortalDesktop(backends, ours=name == "browser")
    try:
        shutil.rmtree(desktop.home)
        shutil.copytree(demo, desktop.home, symlinks=True)
        times = measure(desktop, rounds)
    finally:
        desktop.stop()
    warm = times[1:]
    print("%-8s cold %7.1f ms   warm median %6.1f ms  (min %.1f, max %.1f, %d rounds)" %
          (name, times[0], statistics.median(warm), min(warm), max(warm), len(warm)))


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 6
    demo = os.environ.get("QVMB_DEMO_HOME", "/tmp/demo-home")
    with open("/proc/loadavg") as load:
        print("load average: %s" % " ".join(load.read().split()[:3]))
    run("browser", (), demo, rounds)
    run("gtk", ("gtk",), demo, rounds)


if __name__ == "__main__":
    main()
