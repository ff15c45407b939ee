#!/usr/bin/python3
"""A drop target that takes files as a sandboxed application does: it prefers
the file transfer portal's key (application/vnd.portal.filetransfer) to the
paths of text/uri-list, asks the portal for the files by that key, prints
"key <key>" and then each file it was given on a line of its own, and exits
after the first drop. Without a key it prints "uris" and the URIs.
Usage: sandbox_drop_target.py X Y   (places the 300x300 window at X,Y)"""

import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gio, GLib, Gtk  # noqa: E402

KEY = "application/vnd.portal.filetransfer"


def retrieve(key):
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    reply = bus.call_sync("org.freedesktop.portal.Documents", "/org/freedesktop/portal/documents",
                          "org.freedesktop.portal.FileTransfer", "RetrieveFiles", GLib.Variant("(sa{sv})", (key, {})),
                          GLib.VariantType("(as)"), Gio.DBusCallFlags.NONE, 10000, None)
    return reply.unpack()[0]


def received(widget, context, x, y, data, info, time):
    if data.get_target().name() == KEY:
        key = data.get_data().decode()
        print("key", key)
        for path in retrieve(key):
            print(path)
    else:
        print("uris")
        for uri in data.get_uris():
            print(uri)
    sys.stdout.flush()
    Gtk.drag_finish(context, True, False, time)
    GLib.timeout_add(100, Gtk.main_quit)


window = Gtk.Window(title="Sandbox drop target")
window.set_default_size(300, 300)
window.move(int(sys.argv[1]), int(sys.argv[2]))
window.add(Gtk.Label(label="Drop files here"))
window.drag_dest_set(Gtk.DestDefaults.ALL, [Gtk.TargetEntry.new(KEY, 0, 0), Gtk.TargetEntry.new("text/uri-list", 0, 1)],
                     Gdk.DragAction.COPY)
window.connect("drag-data-received", received)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
