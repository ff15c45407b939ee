"""Picking from other programs: the browser's own Pick on the session bus,
called from Python GObject as a program of any toolkit would, and the desktop
portal's file chooser, called exactly as a sandboxed application calls it,
with the real xdg-desktop-portal choosing the browser's backend from its
.portal file. The bus starts the installed program on demand. Callers that
misbehave get an error or are ignored; the picker closes when they leave."""

import os
import subprocess
import unittest

from gi.repository import GLib

from harness import SOURCE_DIR, SYSTEM_PYTHON, wait_for
from portal import BACKEND, BUILD_DIR, PICKER, Client, PortalDesktop, filters

PICKER_TITLE = "^Choose Media"


def picture(path, color, size="320x240"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", size, "xc:" + color, path], check=True)


class PickerTestCase(unittest.TestCase):
    other_backends = ("gtk",)

    def setUp(self):
        if not BUILD_DIR:
            self.fail("QVMB_BUILD_DIR does not name the build")
        self.desktop = PortalDesktop(self.other_backends)
        self.addCleanup(self.desktop.stop)
        home = self.desktop.home
        # The pictures folder itself holds three pictures: the picker opens on
        # it; Tab goes to the grid, Right selects the second, Dunes.
        for name, color in (("Beach.jpg", "orange"), ("Dunes.png", "yellow"), ("Harbour.jpg", "blue")):
            picture(os.path.join(home, "Pictures", name), color)
        self.dunes = "file://" + os.path.join(home, "Pictures", "Dunes.png")
        self.client = self.desktop.client

    def wait_picker(self, pattern=PICKER_TITLE):
        return self.desktop.wait_window(pattern, pattern=pattern)

    def pickers(self, pattern=PICKER_TITLE):
        return self.desktop.windows(pattern, pattern=pattern)

    def choose_second(self, window):
        self.desktop.key(window, "Tab", "Right", "Return")

    def assertGone(self, pattern=PICKER_TITLE):
        self.assertTrue(wait_for(lambda: not self.pickers(pattern), 10), self.desktop.log())


class Pick(PickerTestCase):
    def test_a_client_without_qt_picks_with_the_keyboard_or_cancels_and_the_browser_shows(self):
        # The example script, as a user runs it, from a window of its own.
        from Xlib import Xatom, display
        connection = display.Display(self.desktop.display)
        caller = connection.screen().root.create_window(10, 10, 200, 100, 0, connection.screen().root_depth)
        caller.map()
        connection.sync()
        self.addCleanup(connection.close)
        script = subprocess.Popen([SYSTEM_PYTHON, os.path.join(SOURCE_DIR, "examples", "pick-media.py"), "pictures",
                                   "--parent", "x11:%x" % caller.id],
                                  env=self.desktop.env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: script.poll() is None and script.kill())
        picker = self.wait_picker()
        # It stays above the caller's window, modal to it.
        window = connection.create_resource_object("window", picker)
        transient = window.get_full_property(Xatom.WM_TRANSIENT_FOR, Xatom.WINDOW)
        self.assertEqual(list(transient.value) if transient else None, [caller.id])
        state = window.get_full_property(connection.intern_atom("_NET_WM_STATE"), Xatom.ATOM)
        self.assertIn(connection.intern_atom("_NET_WM_STATE_MODAL"), list(state.value) if state else [])
        self.choose_second(picker)
        out, err = script.communicate(timeout=30)
        self.assertEqual((script.returncode, out.split()), (0, [self.dunes]), err)
        self.assertGone()
        program = self.desktop.program_pid()
        self.assertIsNotNone(program)

        # One item asked for: all of them selected cannot be chosen. Cancelling
        # answers response 1; the same program, still running, answers.
        call = self.client.pick(["image/png", "image/jpeg"], False)
        picker = self.wait_picker()
        self.desktop.key(picker, "Tab", "ctrl+a", "Return")
        self.assertTrue(self.pickers())
        self.desktop.key(picker, "Escape")
        self.assertEqual(call.result(), (1, []))
        self.assertGone()
        self.assertEqual(self.desktop.program_pid(), program)

        self.client.call(PICKER, "Show", None, None).result()
        self.desktop.wait_window("Media Browser")

    def test_two_callers_at_once_each_get_their_own_picker_and_answer(self):
        other = Client(self.desktop.bus)
        self.addCleanup(other.close)
        first = self.client.pick(["pictures"])
        self.wait_picker()
        second = other.pick(["image/*"], False, "x11:1fffffff")  # a window that does not exist
        self.assertTrue(wait_for(lambda: len(self.pickers()) == 2, 15), self.desktop.log())
        windows = self.pickers()
        self.desktop.key(windows[-1], "Escape")
        self.assertTrue(wait_for(lambda: len(self.pickers()) == 1, 10))
        self.choose_second(self.pickers()[0])
        answers = sorted([first.result(), second.result()])
        self.assertEqual(answers, [(0, [self.dunes]), (1, [])])

    def test_bad_calls_get_errors_and_a_caller_that_leaves_closes_its_picker(self):
        self.assertEqual(self.client.call(PICKER, "Pick", "(is)", (1, "x")).error_name(),
                         "org.freedesktop.DBus.Error.UnknownMethod")
        for kinds in (["text/plain"], ["image/<b>"], ["pictures"] * 1000):
            self.assertEqual(self.client.pick(kinds).error_name(), "org.freedesktop.DBus.Error.InvalidArgs", kinds)
        self.assertFalse(self.pickers())

        # Garbage for a parent window: the picker opens on its own.
        for parent in ("x11:zzzz", "wayland:nonsense", "x11:" + "f" * 40, "\u00e9\u00e9"):
            call = self.client.pick(["pictures"], False, parent)
            self.desktop.key(self.wait_picker(), "Escape")
            self.assertEqual(call.result(), (1, []), parent)
            self.assertGone()

        # A caller asking for more pickers than a person uses gets an error;
        # leaving, it takes all of its pickers with it.
        leaving = Client(self.desktop.bus)
        for _ in range(8):
            leaving.pick(["movies", "pictures"])
        self.assertTrue(wait_for(lambda: len(self.pickers()) == 8, 30), self.desktop.log())
        self.assertEqual(leaving.pick([]).error_name(), "org.freedesktop.DBus.Error.LimitsExceeded")
        leaving.close()
        self.assertGone()
        # Still serving.
        call = self.client.pick([])
        self.choose_second(self.wait_picker())
        self.assertEqual(call.result(), (0, [self.dunes]))


class Portal(PickerTestCase):
    def test_a_sandboxed_application_opens_a_photo_with_the_browser_and_documents_with_the_other_chooser(self):
        request = self.client.open_file("Open a Photo", {"filters": filters("image/*", name="Images")})
        self.choose_second(self.wait_picker("^Open a Photo"))
        self.assertEqual(request.result(), (0, {"uris": [self.dunes], "current_filter": ("Images", [(1, "image/*")])}))

        # Several, by patterns, with a label of the application's.
        request = self.client.open_file("Open Photos", {"filters": filters("*.png", "*.JPG", name="Photos"),
                                                        "multiple": GLib.Variant("b", True),
                                                        "accept_label": GLib.Variant("s", "Insert")})
        picker = self.wait_picker("^Open Photos")
        self.assertIn("Insert", self.desktop.accessible_texts())
        self.desktop.key(picker, "Tab", "ctrl+a", "Return")
        photos = ["file://" + os.path.join(self.desktop.home, "Pictures", name)
                  for name in ("Beach.jpg", "Dunes.png", "Harbour.jpg")]
        self.assertEqual(request.result(), (0, {"uris": photos, "current_filter": ("Photos", [(0, "*.png"), (0, "*.JPG")])}))

        request = self.client.open_file("Open a Photo", {"filters": filters("image/*")})
        self.desktop.key(self.wait_picker("^Open a Photo"), "Escape")
        self.assertEqual(request.result()[0], 1)

        # A text file: the GTK chooser's own dialog, not the browser.
        request = self.client.open_file("Open a Text", {"filters": filters("text/plain")})
        other = self.desktop.wait_window("Open a Text", timeout=30)
        self.assertFalse(self.pickers("Media Browser"))
        self.desktop.key(other, "Escape")
        self.assertNotEqual(request.result()[0], 0)

    def test_the_caller_going_away_closes_the_picker(self):
        leaving = Client(self.desktop.bus)
        leaving.open_file("Open a Photo", {"filters": filters("image/png")})
        self.wait_picker("^Open a Photo")
        leaving.close()
        self.assertGone("^Open a Photo")


class PortalAlone(PickerTestCase):
    """No other file chooser installed: what is not media fails cleanly."""
    other_backends = ()

    def test_requests_for_other_files_fail_at_once_without_a_window(self):
        for options in ({"filters": filters("text/plain")}, {"filters": filters("image/png", "*")},
                        {"directory": GLib.Variant("b", True), "filters": filters("image/*")}, {}):
            request = self.client.open_file("Open", options)
            self.assertEqual(request.result(timeout=15)[0], 2, options)
        self.assertFalse(self.desktop.windows("Open", pattern="^Open"))

    def test_direct_calls_with_bad_options_or_a_taken_handle_get_errors(self):
        handle = "/org/freedesktop/portal/desktop/request/1_99/direct"
        args = lambda options: (handle, "", "", "Direct", options)

        def open_file(client, options):
            return client.call(BACKEND, "OpenFile", "(ossssa{sv})".replace("ssss", "sss"), args(options), "(ua{sv})")

        invalid = "org.freedesktop.portal.Error.InvalidArgument"
        self.assertEqual(open_file(self.client, {"multiple": GLib.Variant("s", "yes")}).error_name(), invalid)
        self.assertEqual(open_file(self.client, {"filters": GLib.Variant("as", ["image/png"])}).error_name(), invalid)
        huge = GLib.Variant("a(sa(us))", [("F%d" % i, [(1, "image/png")]) for i in range(100000)])
        self.assertEqual(open_file(self.client, {"filters": huge}).error_name(timeout=60), invalid)

        # Unknown keys are left alone; a second request on the same handle is refused.
        first = open_file(self.client, {"filters": filters("image/*"), "no_such_option": GLib.Variant("i", 7)})
        self.wait_picker("^Direct")
        self.assertEqual(open_file(self.client, {"filters": filters("image/*")}).error_name(),
                         "org.freedesktop.portal.Error.Failed")
        self.assertEqual(len(self.pickers("^Direct")), 1)
        # Only the caller may close its request; closing answers "ended".
        stranger = Client(self.desktop.bus)
        self.addCleanup(stranger.close)
        close = ("org.freedesktop.impl.portal.desktop.qvmediabrowser", handle, "org.freedesktop.impl.portal.Request")
        self.assertEqual(stranger.call(close, "Close", None, None).error_name(),
                         "org.freedesktop.DBus.Error.AccessDenied")
        self.assertEqual(len(self.pickers("^Direct")), 1)
        self.client.call(close, "Close", None, None).result()
        self.assertEqual(first.result(), (2, {}))
        self.assertGone("^Direct")


if __name__ == "__main__":
    unittest.main()
