"""Runs the real program the way a user meets it: its own X display (Xvfb, no
window manager, no tray), a private session bus with the accessibility bus on
it, and a throw-away home. Tests find windows by title, type with real X input
(xdotool) and read what is on screen through the accessibility tree."""

import json
import os
import random
import shutil
import signal
import subprocess
import tempfile
import sys
import time
import unittest

APP = os.environ.get("QVMB_APP", "")
SOURCE_DIR = os.environ.get("QVMB_SOURCE_DIR", "")
# Debian's interpreter, which has the packaged X and accessibility bindings.
SYSTEM_PYTHON = "/usr/bin/python3" if os.path.exists("/usr/bin/python3") else sys.executable


def wait_for(predicate, timeout=10.0, interval=0.05):
    """The predicate's first true answer, or its last answer after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        answer = predicate()
        if answer or time.monotonic() > deadline:
            return answer
        time.sleep(interval)


def pumped(predicate):
    """predicate, asked once the GLib main context has handled what is pending:
    the accessibility client library receives its events there."""
    def check():
        from gi.repository import GLib
        context = GLib.MainContext.default()
        while context.pending():
            context.iteration(False)
        return predicate()
    return check


def accessible_application(name="QVMediaBrowserApp"):
    """The running application of that name on the accessibility bus, or None."""
    import pyatspi
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == name:
            return app
    return None


def run(*command, **kwargs):
    return subprocess.run(command, check=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, **kwargs)


class Desktop:
    """An X display, a session bus and a home directory, torn down together."""

    def __init__(self, environment=None):
        """environment: variables to add for the programs, the bus's own
        included (the bus passes its environment to the programs it starts)."""
        self.root = tempfile.mkdtemp(prefix="qvmb-program-")
        self.home = os.path.join(self.root, "home")
        os.makedirs(os.path.join(self.home, ".config"))
        # The program looks for media servers unless told not to: these tests
        # run on the machine's own network, which is none of their business.
        with open(os.path.join(self.home, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "w") as conf:
            conf.write("[General]\nMediaServers=false\n")
        os.makedirs(os.path.join(self.home, ".cache"))
        self.runtime = os.path.join(self.root, "run")
        os.makedirs(self.runtime, mode=0o700)
        self._processes = []
        self.display = self._start_display()
        self.env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS"):
            self.env.pop(name, None)
        self.env.update(
            DISPLAY=self.display,
            HOME=self.home,
            XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
            XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
            XDG_DATA_HOME=os.path.join(self.home, ".local", "share"),
            XDG_RUNTIME_DIR=self.runtime,
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
            QT_ACCESSIBILITY="1",
            NO_AT_BRIDGE="0",
            LC_ALL="C.UTF-8",
            LANG="C.UTF-8",
        )
        self.env.update(environment or {})
        self.bus = self._start_bus()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.bus
        self._start_accessibility_bus()

    def _start_display(self):
        # A display number of our own, far from those a desktop or another test
        # uses, and one whose server answers: a server still shutting down on a
        # recently used number must not take our windows. Below 59536: until the
        # server listens, the X library falls back to TCP port 6000 + number.
        from Xlib import display as xdisplay
        from Xlib import error as xerror
        for _ in range(20):
            number = random.randrange(200, 59536)
            if os.path.exists("/tmp/.X%d-lock" % number) or os.path.exists("/tmp/.X11-unix/X%d" % number):
                continue
            process = subprocess.Popen(["Xvfb", ":%d" % number, "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                                        "-noreset"],
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            name = ":%d" % number

            def answers():
                if process.poll() is not None:
                    return True
                try:
                    xdisplay.Display(name).close()
                    return True
                except (xerror.DisplayError, ConnectionError, OSError):
                    return False

            if wait_for(answers, 10) and process.poll() is None:
                self._processes.append(process)
                return name
            process.kill()
            process.wait()
        raise RuntimeError("no X display could be started")

    def _start_bus(self):
        # What the programs the bus starts print goes to the desktop's log.
        with open(os.path.join(self.root, "program-bus.log"), "w") as log:
            process = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env=self.env,
                                       stdout=subprocess.PIPE, stderr=log, text=True)
        self._processes.append(process)
        return process.stdout.readline().strip()

    def _start_accessibility_bus(self):
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if os.path.exists(launcher):
            self._processes.append(subprocess.Popen([launcher, "--launch-immediately"], env=self.env,
                                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))

    def launch(self, *args):
        """Starts the program; its output goes to a log file in the desktop's folder."""
        with open(os.path.join(self.root, "program-%d.log" % len(self._processes)), "w") as log:
            process = subprocess.Popen([APP, *args], env=self.env, stdout=log, stderr=subprocess.STDOUT)
        self._processes.append(process)
        return process

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, stdout=subprocess.PIPE,
                              stderr=subprocess.DEVNULL, text=True).stdout

    def windows(self, title, pattern=None):
        """Ids of the mapped windows whose whole title is title (or that match
        the regular expression pattern)."""
        out = self.xdotool("search", "--onlyvisible", "--name", pattern or "^%s$" % title)
        return [int(line) for line in out.split()]

    def wait_window(self, title, timeout=15, pattern=None):
        found = wait_for(lambda: self.windows(title, pattern), timeout)
        if not found:
            raise AssertionError("no window titled %r appeared:\n%s" % (title, self.log()))
        # No person acts within half a second of a window appearing; a close
        # sent in the first moments after mapping can be lost.
        time.sleep(0.5)
        return found[0]

    def focus(self, window):
        self.xdotool("windowfocus", "--sync", str(window))
        time.sleep(0.2)

    def key(self, window, *keys):
        """Types keys (xdotool names, e.g. ctrl+comma) into window."""
        self.focus(window)
        self.xdotool("key", "--delay", "60", *keys)
        time.sleep(0.3)

    def type(self, window, text):
        self.focus(window)
        self.xdotool("type", "--delay", "30", text)

    def click(self, window, x, y, button=1, repeat=1):
        self.xdotool("mousemove", "--window", str(window), str(x), str(y), "click", "--repeat", str(repeat),
                     str(button))
        time.sleep(0.3)

    def close(self, window):
        """What a window manager does for the title bar's close button: asks the
        window to close with a WM_DELETE_WINDOW message."""
        from Xlib import X, display, protocol
        connection = display.Display(self.display)
        target = connection.create_resource_object("window", window)
        protocols = connection.intern_atom("WM_PROTOCOLS")
        delete = connection.intern_atom("WM_DELETE_WINDOW")
        event = protocol.event.ClientMessage(window=target, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        target.send_event(event, event_mask=X.NoEventMask)
        # A round trip, not just a flush: a connection closed while the server
        # still holds the request unread may lose it.
        connection.sync()
        connection.close()
        time.sleep(0.3)

    def accessible_tree(self, application="QVMediaBrowserApp", timeout=10):
        """The application's accessible objects as a screen reader sees them: a
        list of dicts with role, name, text, states, depth and extents (x, y, width,
        height on the screen), in tree order."""
        script = os.path.join(os.path.dirname(os.path.abspath(__file__)), "accessible_tree.py")
        out = subprocess.run([SYSTEM_PYTHON, script, application, str(timeout)], env=self.env,
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True, timeout=timeout + 30).stdout
        return json.loads(out or "[]")

    def accessible_texts(self, application="QVMediaBrowserApp"):
        texts = []
        for node in self.accessible_tree(application):
            texts += [value for value in (node["name"], node["text"]) if value]
        return texts

    def screenshot(self, name):
        path = os.path.join(os.environ.get("QVMB_SHOT_DIR", self.root), name + ".png")
        subprocess.run(["import", "-display", self.display, "-window", "root", path], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def log(self):
        text = []
        for name in sorted(os.listdir(self.root)):
            if name.startswith("program-"):
                with open(os.path.join(self.root, name), errors="replace") as log:
                    text.append(log.read())
        return "\n".join(text)

    def stop(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                process.send_signal(signal.SIGTERM)
        for process in reversed(self._processes):
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
            if process.stdout:
                process.stdout.close()
        shutil.rmtree(self.root, ignore_errors=True)


class ProgramTestCase(unittest.TestCase):
    """A test with its own desktop; the home is filled by make_home()."""

    def setUp(self):
        if not APP or not os.access(APP, os.X_OK):
            self.fail("QVMB_APP does not name the built program")
        self.desktop = Desktop()
        self.addCleanup(self.desktop.stop)
        self.make_home(self.desktop.home)

    def make_home(self, home):
        pass

    def assertLives(self, process, seconds=1.0):
        time.sleep(seconds)
        self.assertIsNone(process.poll(), "the program exited:\n" + self.desktop.log())

    def assertExits(self, process, seconds=10):
        try:
            process.wait(seconds)
        except subprocess.TimeoutExpired:
            self.fail("the program is still running:\n" + self.desktop.log())


class FakeFileManager:
    """The desktop's file manager as the program meets it on the session bus
    (org.freedesktop.FileManager1), recording each ShowItems call's URIs."""

    INTERFACE = """<node><interface name="org.freedesktop.FileManager1">
      <method name="ShowItems"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
      <method name="ShowFolders"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
      <method name="ShowItemProperties"><arg type="as" direction="in"/><arg type="s" direction="in"/></method>
    </interface></node>"""

    def __init__(self, bus_address):
        from gi.repository import Gio, GLib
        self._glib = GLib
        self.shown = []
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        self._connection = Gio.DBusConnection.new_for_address_sync(bus_address, flags, None, None)
        info = Gio.DBusNodeInfo.new_for_xml(self.INTERFACE).interfaces[0]
        self._connection.register_object("/org/freedesktop/FileManager1", info, self._called, None, None)
        self._connection.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                   "RequestName", GLib.Variant("(su)", ("org.freedesktop.FileManager1", 4)),
                                   None, Gio.DBusCallFlags.NONE, -1, None)

    def _called(self, connection, sender, path, interface, method, parameters, invocation):
        if method == "ShowItems":
            self.shown.append(list(parameters.unpack()[0]))
        invocation.return_value(None)

    def pump(self):
        context = self._glib.MainContext.default()
        while context.pending():
            context.iteration(False)

    def close(self):
        self._connection.close_sync(None)
