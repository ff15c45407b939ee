#!/usr/bin/python3
"""Times a window's answers to _NET_WM_PING, as a window manager does.

Usage: ping_probe.py WINDOW_ID SECONDS [INTERVAL_MS]

Sends the window a _NET_WM_PING client message every INTERVAL_MS (10 by
default) for SECONDS and prints, in milliseconds, the longest time a ping went
unanswered and the 50th/99th percentiles of the answer times. Qt answers from
its event loop, so the longest wait is the longest time the program's main
thread was away from it. Run with no window manager on the display (the
answers go to the root window, where this probe listens for them).
"""
import select
import sys
import time

from Xlib import X, display, protocol


def main():
    window_id = int(sys.argv[1], 0)
    seconds = float(sys.argv[2])
    interval = (float(sys.argv[3]) if len(sys.argv) > 3 else 10.0) / 1000.0

    d = display.Display()
    root = d.screen().root
    root.change_attributes(event_mask=X.StructureNotifyMask)  # where the answers are sent
    window = d.create_resource_object("window", window_id)
    wm_protocols = d.intern_atom("WM_PROTOCOLS")
    ping = d.intern_atom("_NET_WM_PING")

    sent = {}  # timestamp -> monotonic send time
    answers = []
    stamp = 1
    start = time.monotonic()
    next_ping = start
    while time.monotonic() - start < seconds:
        now = time.monotonic()
        if now >= next_ping:
            event = protocol.event.ClientMessage(
                window=window, client_type=wm_protocols, data=(32, [ping, stamp, window_id, 0, 0]))
            window.send_event(event, event_mask=0)
            d.flush()
            sent[stamp] = now
            stamp += 1
            next_ping = now + interval
        timeout = max(0.0, next_ping - time.monotonic())
        readable, _, _ = select.select([d.fileno()], [], [], timeout)
        while d.pending_events():
            event = d.next_event()
            if event.type == X.ClientMessage and event.client_type == wm_protocols:
                fmt, data = event.data
                if data[0] == ping and data[1] in sent:
                    answers.append((time.monotonic() - sent.pop(data[1])) * 1000.0)
    # Pings never answered count for as long as they waited.
    end = time.monotonic()
    unanswered = [(end - t) * 1000.0 for t in sent.values()]
    waits = sorted(answers + unanswered)
    if not waits:
        print("no pings sent")
        return 1
    def percentile(p):
        return waits[min(len(waits) - 1, int(len(waits) * p / 100.0))]
    print("pings %d answered %d longest %.1f ms p50 %.1f ms p99 %.1f ms"
          % (len(waits), len(answers), waits[-1], percentile(50), percentile(99)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
