#!/usr/bin/python3
"""Reads the running browser the way a screen reader does.

Starts the built program under its own X server, a private session bus and an
AT-SPI bus, with a generated home holding one folder of four pictures, and
checks the accessible tree: the tab bar is a page-tab list of three named tabs,
the search field, menu and play buttons have names, the thumbnail grid is a
list whose items are named by their captions and labelled by the item count,
and an arrow key in the grid is announced (the next cell gains the focus and
the selection). With --dump it prints the tree instead of failing silently.

Usage: accessibility_test.py PROGRAM [--dump]
"""

import os
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time
import zlib

PICTURES = ["Alpha", "Beta", "Gamma", "Delta"]


def write_png(path, width, height, rgb):
    """A plain one-colour PNG, so the test needs no image tools."""
    row = b"\x00" + bytes(rgb) * width
    raw = zlib.compress(row * height)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", raw) + chunk(b"IEND", b""))


def make_home(root):
    shots = os.path.join(root, "Pictures", "Shots")
    os.makedirs(shots)
    for i, name in enumerate(PICTURES):
        write_png(os.path.join(shots, name + ".png"), 64, 48, (40 * i, 120, 200 - 40 * i))
    os.makedirs(os.path.join(root, "Music"))
    os.makedirs(os.path.join(root, "Movies"))
    os.makedirs(os.path.join(root, ".config"))
    # The pictures list names the one folder, so the outline shows it at the top.
    with open(os.path.join(root, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "w") as f:
        f.write("[PicturePaths]\n1\\value=%s\nsize=1\n" % shots)


class Session:
    """Xvfb, a private session bus and the AT-SPI bus; torn down in reverse."""

    def __init__(self, home):
        self.processes = []
        read_end, write_end = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x700x24", "-nolisten", "tcp"],
                   pass_fds=(write_end,))
        os.close(write_end)
        display = b""
        while not display.endswith(b"\n"):
            part = os.read(read_end, 16)
            if not part:
                raise RuntimeError("Xvfb did not start")
            display += part
        os.close(read_end)
        self.env = dict(os.environ)
        for name in ("DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "AT_SPI_BUS_ADDRESS", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)
        self.env.update({
            "DISPLAY": ":" + display.decode().strip(),
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "NO_AT_BRIDGE": "0",
        })
        bus = subprocess.run(["dbus-daemon", "--session", "--fork", "--print-address=1", "--print-pid=1"],
                             env=self.env, capture_output=True, text=True, check=True).stdout.split()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus[0]
        self.bus_pid = int(bus[1])
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        time.sleep(0.5)

    def start(self, command, **kwargs):
        process = subprocess.Popen(command, env=getattr(self, "env", None), stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                process.kill()
        try:
            os.kill(self.bus_pid, signal.SIGTERM)
        except (AttributeError, ProcessLookupError):
            pass


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def dump(node, depth=0, out=sys.stdout):
    import pyatspi
    states = node.getState()
    marks = [name for name, state in (("selected", pyatspi.STATE_SELECTED), ("focused", pyatspi.STATE_FOCUSED),
                                     ("showing", pyatspi.STATE_SHOWING)) if states.contains(state)]
    labelled = [target.name for relation in node.getRelationSet()
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    extra = (" [%s]" % ", ".join(marks) if marks else "") + (" labelled by %r" % labelled if labelled else "")
    description = node.description
    out.write("%s%s %r%s%s\n" % ("  " * depth, node.getRoleName(), node.name,
                                 " (%s)" % description if description else "", extra))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            dump(child, depth + 1, out)


def wait_for(condition, seconds, pump=None):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if pump:
            pump()
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    return condition()


def main():
    program = sys.argv[1]
    want_dump = "--dump" in sys.argv
    home = tempfile.mkdtemp(prefix="qvmb-a11y-")
    make_home(home)
    session = Session(home)
    failures = []

    def check(ok, what):
        if not ok:
            failures.append(what)
            print("FAILED:", what)

    try:
        os.environ.clear()
        os.environ.update(session.env)
        app_env = dict(session.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                       LANG="C.UTF-8", LC_ALL="C.UTF-8", LANGUAGE="")
        session.processes.append(subprocess.Popen([program], env=app_env, stdout=subprocess.DEVNULL,
                                                  stderr=subprocess.DEVNULL))

        import pyatspi
        from gi.repository import GLib

        def pump():
            context = GLib.MainContext.default()
            while context.pending():
                context.iteration(False)

        events = []
        pyatspi.Registry.registerEventListener(events.append, "object:state-changed:selected", "focus:")

        def find_app():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                app = desktop.getChildAtIndex(i)
                if app is not None and app.name == "QVMediaBrowserApp":
                    return app
            return None

        app = wait_for(find_app, 20, pump)
        if app is None:
            print("FAILED: the program never appeared on the accessibility bus")
            return 1

        def find(role, name=None):
            for node in descendants(app):
                if node.getRole() == role and (name is None or node.name == name):
                    return node
            return None

        tab_list = wait_for(lambda: find(pyatspi.ROLE_PAGE_TAB_LIST), 10, pump)
        check(tab_list is not None, "the tab bar is a page-tab list")
        if tab_list is not None:
            tabs = [tab_list.getChildAtIndex(i) for i in range(tab_list.childCount)]
            check([t.getRole() for t in tabs] == [pyatspi.ROLE_PAGE_TAB] * 3, "the tab bar holds three page tabs")
            check([t.name for t in tabs] == ["Pictures", "Music", "Movies"], "the tabs are named by their labels")
            check([t.getState().contains(pyatspi.STATE_SELECTED) for t in tabs] == [True, False, False],
                  "the first tab is the selected one")

        search = find(pyatspi.ROLE_TEXT, "Search") or find(pyatspi.ROLE_ENTRY, "Search")
        check(search is not None, "the search field is named Search")
        check(find(pyatspi.ROLE_PUSH_BUTTON, "Menu") is not None, "the menu button is named Menu")

        # The play button shows on the music and movie tabs, named by what it does.
        if tab_list is not None:
            tab_list.getChildAtIndex(2).queryAction().doAction(0)
            play = wait_for(lambda: find(pyatspi.ROLE_PUSH_BUTTON, "Play"), 5, pump)
            check(play is not None and play.getState().contains(pyatspi.STATE_SHOWING),
                  "the play button is named Play on the movies tab")
            check(tab_list.getChildAtIndex(2).getState().contains(pyatspi.STATE_SELECTED),
                  "the movies tab is selected once pressed")
            tab_list.getChildAtIndex(0).queryAction().doAction(0)

        # Choose the pictures folder as a user does: click its row in the outline.
        outline = wait_for(lambda: find(pyatspi.ROLE_TREE, "Picture sources") or
                           find(pyatspi.ROLE_TREE_TABLE, "Picture sources"), 5, pump)
        check(outline is not None, "the pictures outline is named")
        row = outline and next((n for n in descendants(outline) if n.name == "Shots"), None)
        check(row is not None, "the outline lists the pictures folder")
        grid = find(pyatspi.ROLE_LIST, "Pictures")
        check(grid is not None, "the thumbnail grid is a list named Pictures")
        if row is not None and grid is not None:
            x, y, w, h = row.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
                           env=session.env, check=True)
            wait_for(lambda: grid.childCount == len(PICTURES), 10, pump)
            check(grid.childCount == len(PICTURES), "the grid has one child per picture")
            cells = [grid.getChildAtIndex(i) for i in range(grid.childCount)]
            check(sorted(c.name for c in cells) == sorted(PICTURES), "each cell is named by its caption")
            check(all(c.getRole() == pyatspi.ROLE_LIST_ITEM for c in cells), "the cells are list items")
            labels = [relation.getTarget(0).name for relation in grid.getRelationSet()
                      if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
            check(labels == ["4 items"], "the item count labels the grid (%r)" % labels)

            # Into the grid and one step right: the second cell is focused and selected.
            grid.queryComponent().grabFocus()
            wait_for(lambda: cells[0].getState().contains(pyatspi.STATE_FOCUSED), 5, pump)
            gx, gy, gw, gh = grid.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(gx + gw // 2), str(gy + gh - 5)], env=session.env,
                           check=True)
            del events[:]
            subprocess.run(["xdotool", "key", "Right"], env=session.env, check=True)

            def announced():
                selected = any(e.type.startswith("object:state-changed:selected") and e.detail1 == 1 and
                               e.source.name == cells[1].name for e in events)
                focused = any(e.type.startswith("focus") and e.source.name == cells[1].name for e in events)
                return selected and focused

            check(wait_for(announced, 5, pump), "the arrow key's move is announced: %r" %
                  [(e.type, e.source.name, e.detail1) for e in events])
            check(cells[1].getState().contains(pyatspi.STATE_SELECTED) and
                  not cells[0].getState().contains(pyatspi.STATE_SELECTED), "the selection moved with the cursor")
        if want_dump:
            dump(app)
    finally:
        session.close()
        shutil.rmtree(home, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
