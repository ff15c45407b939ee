#!/usr/bin/python3
"""Picks pictures, music or movies with the media browser from a program that
is not written with Qt: Python with GObject (Debian: python3-gi). The session
bus starts the browser for the call if it is not running.

    examples/pick-media.py                      # one picture
    examples/pick-media.py --multiple music     # several tracks
    examples/pick-media.py image/png video/*    # PNG pictures or any movie
    examples/pick-media.py --show               # just bring the browser forward

Prints the chosen files' URIs, one a line; exits with 1 when the user
cancelled. --parent x11:XID keeps the picker above that window."""

import argparse
import sys

from gi.repository import Gio, GLib

NAME = "org.qvmediabrowser.QVMediaBrowserApp"
PATH = "/org/qvmediabrowser/QVMediaBrowserApp"
INTERFACE = "org.qvmediabrowser.MediaPicker"


def main():
    parser = argparse.ArgumentParser(description="Pick media with the media browser")
    parser.add_argument("kinds", nargs="*", default=["pictures"],
                        help='"pictures", "music", "movies" or MIME types such as image/png or video/*')
    parser.add_argument("--multiple", action="store_true", help="allow several items")
    parser.add_argument("--parent", default="", help="the caller's window, as x11:XID")
    parser.add_argument("--show", action="store_true", help="only show the browser window")
    arguments = parser.parse_args()

    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    if arguments.show:
        bus.call_sync(NAME, PATH, INTERFACE, "Show", None, None, Gio.DBusCallFlags.NONE, -1, None)
        return 0
    try:
        # The answer comes when the user has chosen: wait as long as it takes.
        reply = bus.call_sync(NAME, PATH, INTERFACE, "Pick",
                              GLib.Variant("(asbs)", (arguments.kinds, arguments.multiple, arguments.parent)),
                              GLib.VariantType("(uas)"), Gio.DBusCallFlags.NONE, GLib.MAXINT, None)
    except GLib.Error as error:
        print("pick-media: %s" % error.message, file=sys.stderr)
        return 2
    response, uris = reply.unpack()
    if response != 0:
        return 1  # cancelled
    for uri in uris:
        print(uri)
    return 0


if __name__ == "__main__":
    sys.exit(main())
