#!/usr/bin/python3
"""A media server that misbehaves on purpose, for the browser's tests.

Usage: hostile_server.py NAME PORT SCENARIO

It announces itself over SSDP (on the test's own loopback, see run-isolated)
as a UPnP MediaServer named NAME, serves its description on PORT and answers
every Browse of its ContentDirectory as SCENARIO says:

  namespaces  a page of items with no namespace declarations, as some TVs send
  entities    a document that declares entities expanding a thousand million times
  lying       the same three items on every page, whatever is asked, with
              TotalMatches 1000000000
  huge        a 50 MB answer of nested containers
  foreign     items whose files are at file:// URLs or on another machine,
              beside one that is on the server
  silent      the first page, then no answer at all (the connection stays open)

It writes "ready" on its standard output once it listens.
"""

import html
import http.server
import socket
import socketserver
import struct
import sys
import threading
import time

SSDP_GROUP = "239.255.255.250"
SSDP_PORT = 1900
DEVICE_TYPE = "urn:schemas-upnp-org:device:MediaServer:1"
SERVICE_TYPE = "urn:schemas-upnp-org:service:ContentDirectory:1"

NAME, PORT, SCENARIO = sys.argv[1], int(sys.argv[2]), sys.argv[3]
UDN = "uuid:00000000-0000-4000-8000-%012d" % PORT
BASE = "http://127.0.0.1:%d" % PORT
NAMESPACES = ('xmlns="urn:schemas-upnp-org:metadata-1-0/DIDL-Lite/" xmlns:dc="http://purl.org/dc/elements/1.1/" '
              'xmlns:upnp="urn:schemas-upnp-org:metadata-1-0/upnp/"')


def item(number, url, title=None, art=None):
    art_element = "<upnp:albumArtURI>%s</upnp:albumArtURI>" % html.escape(art) if art else ""
    return ('<item id="i%d" parentID="0" restricted="1"><dc:title>%s</dc:title>'
            '<upnp:class>object.item.audioItem.musicTrack</upnp:class>%s'
            '<res protocolInfo="http-get:*:audio/mpeg:*" duration="0:00:02.000" size="1000">%s</res></item>'
            % (number, html.escape(title or "Track %d" % number), art_element, html.escape(url)))


def didl(body, namespaces=NAMESPACES):
    return "<DIDL-Lite %s>%s</DIDL-Lite>" % (namespaces, body)


def page(start, count):
    """The Result, NumberReturned and TotalMatches of a Browse, or None for no answer."""
    if SCENARIO == "namespaces":
        body = "".join(item(i, BASE + "/track%d.mp3" % i) for i in range(3)) if start == 0 else ""
        return didl(body, namespaces=""), 3 if start == 0 else 0, 3
    if SCENARIO == "entities":
        laughs = '<!DOCTYPE d [<!ENTITY a "ha">' + "".join(
            '<!ENTITY %s "%s">' % (chr(98 + i), ("&%s;" % chr(97 + i)) * 10) for i in range(9)) + "]>"
        entry = item(0, BASE + "/a.mp3", title="LAUGHS").replace("LAUGHS", "&j;")
        return laughs + didl(entry), 1, 1
    if SCENARIO == "lying":
        return didl("".join(item(i, BASE + "/track%d.mp3" % i) for i in range(3))), 3, 1000000000
    if SCENARIO == "huge":
        depth = 50 * 1024 * 1024 // 60
        body = '<container id="c" parentID="0" restricted="1">' * depth + "</container>" * depth
        return didl(body), 1, 1
    if SCENARIO == "foreign":
        if start > 0:
            return didl(""), 0, 4
        body = (item(0, "file:///etc/passwd", title="Local File")
                + item(1, "http://192.0.2.7/elsewhere.mp3", title="Other Machine")
                + item(2, BASE + "/here.mp3", title="On The Server", art="file:///etc/shadow")
                + item(3, BASE + "/there.mp3", title="Art Elsewhere", art="http://192.0.2.7/art.jpg"))
        return didl(body), 4, 4
    if SCENARIO == "silent":
        if start > 0:
            return None
        return didl("".join(item(i, BASE + "/track%d.mp3" % i) for i in range(count))), count, count * 10
    raise SystemExit("unknown scenario " + SCENARIO)


DESCRIPTION = """<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0"><specVersion><major>1</major><minor>0</minor></specVersion>
<device><deviceType>%s</deviceType><friendlyName>%s</friendlyName><manufacturer>tests</manufacturer>
<modelName>hostile</modelName><UDN>%s</UDN><serviceList><service><serviceType>%s</serviceType>
<serviceId>urn:upnp-org:serviceId:ContentDirectory</serviceId><SCPDURL>/cds.xml</SCPDURL>
<controlURL>/ctl</controlURL><eventSubURL>/evt</eventSubURL></service></serviceList></device></root>
""" % (DEVICE_TYPE, html.escape(NAME), UDN, SERVICE_TYPE)

SCPD = """<?xml version="1.0"?><scpd xmlns="urn:schemas-upnp-org:service-1-0">
<specVersion><major>1</major><minor>0</minor></specVersion><actionList/><serviceStateTable/></scpd>"""


def envelope(action, arguments):
    values = "".join("<%s>%s</%s>" % (key, html.escape(str(value)), key) for key, value in arguments)
    return ('<?xml version="1.0"?><s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" '
            's:encodingStyle="http://schemas.xmlsoap.org/soap/encoding/"><s:Body>'
            '<u:%sResponse xmlns:u="%s">%s</u:%sResponse></s:Body></s:Envelope>'
            % (action, SERVICE_TYPE, values, action))


def argument(body, name):
    start = body.find("<%s>" % name)
    end = body.find("</%s>" % name)
    return body[start + len(name) + 2:end] if start >= 0 and end > start else ""


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def reply(self, body, content_type="text/xml"):
        data = body.encode("utf-8")
        self.send_response(200)
        self.send_header("Content-Type", content_type + '; charset="utf-8"')
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        if self.path == "/desc.xml":
            self.reply(DESCRIPTION)
        elif self.path == "/cds.xml":
            self.reply(SCPD)
        else:
            self.send_error(404)

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0"))).decode("utf-8", "replace")
        action = self.headers.get("SOAPACTION", "").strip('"').split("#")[-1]
        if action == "GetSearchCapabilities":
            self.reply(envelope(action, [("SearchCaps", "")]))
            return
        if action != "Browse":
            self.send_error(500)
            return
        answer = page(int(argument(body, "StartingIndex") or 0), int(argument(body, "RequestedCount") or 0))
        if answer is None:
            time.sleep(3600)  # holds the connection open, answering nothing
            return
        result, returned, total = answer
        self.reply(envelope(action, [("Result", result), ("NumberReturned", returned), ("TotalMatches", total),
                                     ("UpdateID", 1)]))


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def ssdp_message(start_line, headers):
    return ("%s\r\n" % start_line + "".join("%s: %s\r\n" % item for item in headers) + "\r\n").encode()


def ssdp():
    sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM, socket.IPPROTO_UDP)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEPORT, 1)
    sock.bind(("", SSDP_PORT))
    membership = struct.pack("4s4s", socket.inet_aton(SSDP_GROUP), socket.inet_aton("127.0.0.1"))
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, membership)
    sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_IF, socket.inet_aton("127.0.0.1"))
    common = [("CACHE-CONTROL", "max-age=1800"), ("LOCATION", BASE + "/desc.xml"), ("SERVER", "Linux/1 UPnP/1.0 hostile/1")]
    notify = ssdp_message("NOTIFY * HTTP/1.1", [("HOST", "%s:%d" % (SSDP_GROUP, SSDP_PORT))] + common + [
        ("NT", DEVICE_TYPE), ("NTS", "ssdp:alive"), ("USN", UDN + "::" + DEVICE_TYPE)])
    sock.sendto(notify, (SSDP_GROUP, SSDP_PORT))
    while True:
        data, sender = sock.recvfrom(4096)
        text = data.decode("utf-8", "replace")
        if not text.startswith("M-SEARCH"):
            continue
        target = ""
        for line in text.split("\r\n"):
            if line.upper().startswith("ST:"):
                target = line[3:].strip()
        if target not in ("ssdp:all", "upnp:rootdevice") and not target.startswith("urn:schemas-upnp-org:device:MediaServer:"):
            continue
        answer_type = DEVICE_TYPE if target.startswith("urn:") else target
        sock.sendto(ssdp_message("HTTP/1.1 200 OK", common + [("EXT", ""), ("ST", answer_type),
                                                               ("USN", UDN + "::" + DEVICE_TYPE)]), sender)


def main():
    server = Server(("127.0.0.1", PORT), Handler)
    threading.Thread(target=ssdp, daemon=True).start()
    print("ready", flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
