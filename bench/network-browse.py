#!/usr/bin/python3
"""Times the network helper against a real ReadyMedia server, beside a bare
GUPnP browse loop (GObject introspection, each page read with gupnp-av's
parser) on the same server and container.

Run inside a network namespace of its own, with the media and database the
network tests made (build/tests/network/server-v1, after one run of them):

    tests/network/run-isolated bench/network-browse.py build/qvmb-network build/tests/network/server-v1

Prints, for each side (best of three turns): the time until the server is listed, the first page
of the 5,000-picture container and the whole container, in pages of 500
(the library's page). Fails when either side did not list the server or
did not read every picture.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("GUPnP", "1.6")
gi.require_version("GUPnPAV", "1.0")
from gi.repository import GLib, GObject, GUPnP, GUPnPAV  # noqa: E402

NAME = "Bench Server"
PORT = 8290
PAGE = 500
PATH = ["Browse Folders", "Pictures", "Many"]
EXPECTED = 5000
CDS = "urn:schemas-upnp-org:service:ContentDirectory:1"


def start_server(fixture, work):
    db = os.path.join(work, "db")
    os.makedirs(db)
    shutil.copy(os.path.join(fixture, "db", "files.db"), db)
    with open(os.path.join(db, "minidlna.conf"), "w") as conf:
        conf.write("media_dir=%s\ndb_dir=%s\nlog_dir=%s\nport=%d\nfriendly_name=%s\nnetwork_interface=lo\n"
                   "inotify=no\nnotify_interval=1\nserial=%d\nuuid=4d696e69-444c-164e-9d41-%012d\n"
                   % (os.path.join(fixture, "media"), db, db, PORT, NAME, PORT, PORT))
    server = subprocess.Popen(["/usr/sbin/minidlnad", "-S", "-f", os.path.join(db, "minidlna.conf"),
                               "-P", os.path.join(db, "pid")], stdout=subprocess.DEVNULL)
    log = os.path.join(db, "minidlna.log")
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        if os.path.exists(log) and "HTTP listening" in open(log, errors="replace").read():
            return server
        time.sleep(0.05)
    server.kill()
    sys.exit("minidlnad did not start")


# --- the helper, over its pipes -----------------------------------------------------------------
class Helper:
    def __init__(self, program):
        self.process = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.buffer = b""

    def send(self, *fields):
        data = b"".join(struct.pack("<I", len(f)) + f for f in (x.encode() for x in fields))
        self.process.stdin.write(struct.pack("<II", 4 + len(data), len(fields)) + data)
        self.process.stdin.flush()

    def receive(self):
        while True:
            if len(self.buffer) >= 8:
                size, count = struct.unpack_from("<II", self.buffer)
                if len(self.buffer) >= 4 + size:
                    body, self.buffer = self.buffer[8:4 + size], self.buffer[4 + size:]
                    fields, at = [], 0
                    for _ in range(count):
                        (length,) = struct.unpack_from("<I", body, at)
                        fields.append(body[at + 4:at + 4 + length].decode("utf-8", "replace"))
                        at += 4 + length
                    return fields
            chunk = os.read(self.process.stdout.fileno(), 1 << 20)
            if not chunk:
                sys.exit("the helper ended")
            self.buffer += chunk

    def answer(self, request):
        while True:
            message = self.receive()
            if len(message) > 1 and message[1] == request and message[0] != "progress":
                return message


def objects(page):
    fields = page[4:]
    return [fields[i:i + 13] for i in range(0, len(fields), 13)]


def time_helper(program):
    started = time.monotonic()
    helper = Helper(program)
    helper.send("discover", "1")
    while True:
        message = helper.receive()
        if message[0] == "server" and message[2] == NAME:
            udn = message[1]
            break
    listed = time.monotonic() - started
    container, request = "0", 0
    for title in PATH:
        request += 1
        helper.send("browse", str(request), udn, container, "0", str(PAGE))
        found = [o for o in objects(helper.answer(str(request))) if o[0] == "c" and o[2] == title]
        if not found:
            sys.exit("helper: no folder " + title)
        container = found[0][1]
    started = time.monotonic()
    first, count, start = None, 0, 0
    while True:
        request += 1
        helper.send("browse", str(request), udn, container, str(start), str(PAGE))
        page = objects(helper.answer(str(request)))
        if first is None:
            first = time.monotonic() - started
        if not page:
            break
        count += len(page)
        start += len(page)
    whole = time.monotonic() - started
    helper.process.kill()
    return listed, first, whole, count, udn, container


# --- a bare GUPnP browse loop -------------------------------------------------------------------
def gvalue(kind, value):
    holder = GObject.Value(kind)
    holder.set_value(value)
    return holder


def time_bare(container):
    loop = GLib.MainLoop()
    found = {}
    started = time.monotonic()
    with warnings.catch_warnings():  # deprecated for the context manager, which would wait for interfaces
        warnings.simplefilter("ignore")
        context = GUPnP.Context.new("lo", 0)  # the namespace has only lo
    point = GUPnP.ControlPoint.new(context, CDS)

    def available(_point, proxy):
        if "proxy" not in found and (":%d/" % PORT) in proxy.get_location():
            found["proxy"] = proxy
            found["listed"] = time.monotonic() - started
            loop.quit()

    point.connect("service-proxy-available", available)
    point.set_active(True)
    GLib.timeout_add_seconds(30, loop.quit)
    loop.run()
    if "proxy" not in found:
        sys.exit("bare: no server")
    proxy = found["proxy"]

    def browse(start):
        names = ["ObjectID", "BrowseFlag", "Filter", "StartingIndex", "RequestedCount", "SortCriteria"]
        values = [gvalue(GObject.TYPE_STRING, container), gvalue(GObject.TYPE_STRING, "BrowseDirectChildren"),
                  gvalue(GObject.TYPE_STRING, "*"), gvalue(GObject.TYPE_UINT, start),
                  gvalue(GObject.TYPE_UINT, PAGE), gvalue(GObject.TYPE_STRING, "")]
        action = GUPnP.ServiceProxyAction.new_from_list("Browse", names, values)
        proxy.call_action(action, None)
        _ok, values = action.get_result_list(["Result", "NumberReturned"],
                                             [GObject.TYPE_STRING, GObject.TYPE_UINT])
        return values[0], int(values[1])

    started = time.monotonic()
    first, count, start = None, 0, 0
    while True:
        result, returned = browse(start)
        if returned == 0:
            break
        # Read as a control point reads it, with gupnp-av's parser as the
        # helper does: every item's title, class and resources.
        parser = GUPnPAV.DIDLLiteParser()
        items = []
        parser.connect("item-available",
                       lambda _p, item: items.append((item.get_title(), item.get_upnp_class(),
                                                      [r.get_uri() for r in item.get_resources()])))
        parser.parse_didl(result)
        count += len(items)
        start += returned
        if first is None:
            first = time.monotonic() - started
    return found["listed"], first, time.monotonic() - started, count


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: network-browse.py QVMB-NETWORK FIXTURE-DIR")
    work = tempfile.mkdtemp()
    server = start_server(sys.argv[2], work)
    # Each side three times, taking turns (the server's database warms on
    # the first reads); the best of each is printed.
    helper, bare = [], []
    try:
        for _ in range(3):
            helper.append(time_helper(sys.argv[1]))
            bare.append(time_bare(helper[-1][5]))
    finally:
        server.kill()
        shutil.rmtree(work, ignore_errors=True)
    listed, first, whole = (min(run[i] for run in helper) for i in range(3))
    bare_listed, bare_first, bare_whole = (min(run[i] for run in bare) for i in range(3))
    count, bare_count = min(run[3] for run in helper), min(run[3] for run in bare)
    print("%-28s %10s %12s   (best of 3)" % ("", "helper", "bare GUPnP"))
    print("%-28s %8.0f ms %9.0f ms" % ("server listed", listed * 1000, bare_listed * 1000))
    print("%-28s %8.0f ms %9.0f ms" % ("first page of %d" % PAGE, first * 1000, bare_first * 1000))
    print("%-28s %8.0f ms %9.0f ms   ratio %.2f" % ("whole container (%d)" % count, whole * 1000,
                                                     bare_whole * 1000, whole / bare_whole))
    if count != EXPECTED or bare_count != EXPECTED:
        sys.exit("read %d and %d pictures, not %d" % (count, bare_count, EXPECTED))


if __name__ == "__main__":
    main()
