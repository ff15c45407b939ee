"""The browser's bus services and the desktop portal on a test desktop: the
build installed into a temporary prefix as a package installs it (the bus
starts the program from its .service files there, the portal reads its
.portal file), the desktop portal from Debian's xdg-desktop-portal, and
clients that call them as other applications do, from Python GObject."""

import atexit
import itertools
import os
import shutil
import subprocess
import tempfile
import time

from gi.repository import Gio, GLib

from harness import Desktop, wait_for

BUILD_DIR = os.environ.get("QVMB_BUILD_DIR", "")

PICKER = ("org.qvmediabrowser.QVMediaBrowserApp", "/org/qvmediabrowser/QVMediaBrowserApp",
          "org.qvmediabrowser.MediaPicker")
BACKEND = ("org.freedesktop.impl.portal.desktop.qvmediabrowser", "/org/freedesktop/portal/desktop",
           "org.freedesktop.impl.portal.FileChooser")
PORTAL = ("org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop", "org.freedesktop.portal.FileChooser")
SYSTEM_PORTALS = "/usr/share/xdg-desktop-portal/portals"

_prefix = None


def installed_prefix():
    """The build, installed once per test program into a temporary prefix."""
    global _prefix
    if _prefix is None:
        _prefix = tempfile.mkdtemp(prefix="qvmb-prefix-")
        atexit.register(shutil.rmtree, _prefix, True)
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", _prefix], check=True,
                       stdout=subprocess.DEVNULL)
    return _prefix


def spin(condition, timeout):
    """Runs GLib's main loop until condition() holds or timeout seconds pass;
    the condition's last answer."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout
    while True:
        while context.iteration(False):
            pass
        answer = condition()
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(0.02)


class Call:
    """A method call under way; result() waits for its answer."""

    def __init__(self):
        self.done = False
        self.value = None
        self.error = None

    def finish(self, connection, result):
        try:
            self.value = connection.call_finish(result).unpack()
        except GLib.Error as error:
            self.error = error
        self.done = True

    def result(self, timeout=30):
        if not spin(lambda: self.done, timeout):
            raise AssertionError("no answer within %d s" % timeout)
        return self.value

    def error_name(self, timeout=30):
        self.result(timeout)
        return Gio.DBusError.get_remote_error(self.error) if self.error else None


class Client:
    """An application on the bus, with its own connection."""

    _tokens = itertools.count(1)

    def __init__(self, address):
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        self.bus = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)

    def call(self, target, method, signature, args, reply=None, timeout=GLib.MAXINT):
        """Calls method of target (name, path, interface) without waiting; a
        person may take any time to choose, so by default no timeout."""
        name, path, interface = target
        call = Call()
        self.bus.call(name, path, interface, method, GLib.Variant(signature, args) if signature else None,
                      GLib.VariantType(reply) if reply else None, Gio.DBusCallFlags.NONE, timeout, None, call.finish)
        return call

    def pick(self, kinds, multiple=False, parent_window=""):
        return self.call(PICKER, "Pick", "(asbs)", (kinds, multiple, parent_window), "(uas)")

    def open_file(self, title, options, parent_window=""):
        """OpenFile through the desktop portal, as a sandboxed application
        asks: answered by the Response signal of the request it returns."""
        token = "qvmb%d" % next(self._tokens)
        sender = self.bus.get_unique_name()[1:].replace(".", "_")
        request = PortalRequest("/org/freedesktop/portal/desktop/request/%s/%s" % (sender, token))
        self.bus.signal_subscribe(PORTAL[0], "org.freedesktop.portal.Request", "Response", request.path, None,
                                  Gio.DBusSignalFlags.NONE, request.answered)
        options = dict(options, handle_token=GLib.Variant("s", token))
        handle = self.call(PORTAL, "OpenFile", "(ssa{sv})", (parent_window, title, options), "(o)").result()
        assert handle == (request.path,), handle
        return request

    def pid_of(self, name):
        call = self.call(("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus"),
                         "GetConnectionUnixProcessID", "(s)", (name,), "(u)", timeout=5000)
        value = call.result()
        return value[0] if value else None

    def close(self):
        self.bus.close_sync(None)


class PortalRequest:
    def __init__(self, path):
        self.path = path
        self.response = None

    def answered(self, connection, sender, path, interface, signal, parameters):
        self.response = parameters.unpack()

    def result(self, timeout=30):
        if not spin(lambda: self.response is not None, timeout):
            raise AssertionError("no response within %d s" % timeout)
        return self.response


def filters(*types, name="Media"):
    """A filters option of one filter whose rules are MIME types ("image/*")
    or glob patterns ("*.jpg")."""
    rules = [(0 if kind.startswith("*") else 1, kind) for kind in types]
    return GLib.Variant("a(sa(us))", [(name, rules)])


class PortalDesktop(Desktop):
    """A desktop whose session bus starts the installed browser and the
    desktop portal. other_backends: the system's portal files offered beside
    the browser's ("gtk" for xdg-desktop-portal-gtk); ours: whether the
    browser's is offered."""

    def __init__(self, other_backends=("gtk",), ours=True):
        prefix = installed_prefix()
        self.portals = tempfile.mkdtemp(prefix="qvmb-portals-")
        if ours:
            shutil.copy(os.path.join(prefix, "share/xdg-desktop-portal/portals/10-qvmediabrowser.portal"),
                        self.portals)
        for backend in other_backends:
            shutil.copy(os.path.join(SYSTEM_PORTALS, backend + ".portal"), self.portals)
        super().__init__({
            "XDG_DATA_DIRS": os.path.join(prefix, "share") + ":/usr/share",
            "XDG_DESKTOP_PORTAL_DIR": self.portals,
            "XDG_CURRENT_DESKTOP": "GNOME",
            "GTK_USE_PORTAL": "0",
        })
        self.client = Client(self.bus)

    def program_pid(self):
        """The browser program serving the bus, or None."""
        try:
            return self.client.pid_of(PICKER[0])
        except GLib.Error:
            return None

    def stop(self):
        # The programs the bus started stop before it; the document portal
        # takes its file system in the runtime folder with it.
        pids = []
        for name in (PICKER[0], BACKEND[0], PORTAL[0], "org.freedesktop.portal.Documents",
                     "org.freedesktop.impl.portal.desktop.gtk", "org.freedesktop.impl.portal.PermissionStore"):
            try:
                pid = self.client.pid_of(name)
            except (GLib.Error, AssertionError):
                continue
            if pid and pid not in pids:
                pids.append(pid)
        for pid in pids:
            try:
                os.kill(pid, 15)
            except ProcessLookupError:
                pass
        wait_for(lambda: not any(os.path.exists("/proc/%d" % pid) for pid in pids), 5)
        mount = os.path.join(self.runtime, "doc")
        if os.path.ismount(mount):
            subprocess.run(["fusermount3", "-u", "-z", mount], stderr=subprocess.DEVNULL)
        self.client.close()
        super().stop()
        shutil.rmtree(self.portals, ignore_errors=True)
