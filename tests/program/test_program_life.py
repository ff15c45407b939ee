"""The program's life as a user meets it on a desktop without a tray: start,
second launch, the preferences window, quitting, and browsing with the keyboard."""

import os
import subprocess
import time
import unittest

from harness import ProgramTestCase, wait_for

BROWSER = "Media Browser"
PREFERENCES = "Media Browser Preferences"


def picture(path, color, size="320x240"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", size, "xc:" + color, path], check=True)


class ProgramLife(ProgramTestCase):
    def make_home(self, home):
        picture(os.path.join(home, "Pictures", "Holiday", "Beach.jpg"), "orange")
        picture(os.path.join(home, "Pictures", "Holiday", "Harbour.jpg"), "blue")
        picture(os.path.join(home, "Pictures", "Holiday", "Dunes.png"), "yellow")

    def test_closing_preferences_never_quits_and_closing_the_browser_does(self):
        program = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        # Escape, then the title bar's close button, then again: each time the
        # preferences window goes and the program stays.
        for close in ("escape", "title bar", "escape"):
            self.desktop.key(browser, "ctrl+comma")
            preferences = self.desktop.wait_window(PREFERENCES)
            if close == "escape":
                self.desktop.key(preferences, "Escape")
            else:
                self.desktop.close(preferences)
            self.assertTrue(wait_for(lambda: not self.desktop.windows(PREFERENCES), 5), close)
            self.assertLives(program)
            self.assertTrue(self.desktop.windows(BROWSER))
        self.desktop.close(browser)
        self.assertExits(program)
        self.assertEqual(program.returncode, 0)

    def test_the_quit_shortcut_quits_from_the_preferences_window_too(self):
        program = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        self.desktop.key(browser, "ctrl+comma")
        preferences = self.desktop.wait_window(PREFERENCES)
        self.desktop.key(preferences, "ctrl+q")
        self.assertExits(program)
        self.assertEqual(program.returncode, 0)

    def test_a_second_launch_hands_over_to_the_first(self):
        first = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        self.desktop.close(browser)
        self.assertExits(first)
        first = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        second = self.desktop.launch()
        self.assertExits(second)
        self.assertEqual(second.returncode, 0)
        self.assertLives(first)
        self.assertEqual(len(self.desktop.windows(BROWSER)), 1)

    def test_the_keyboard_alone_browses_a_folder_and_searches_it(self):
        program = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        self.assertIn("0 items", self.desktop.accessible_texts())
        # The tab bar has the focus first; the outline is next. Its first row
        # is the pictures root: open it and go down to its one folder.
        self.desktop.key(browser, "Tab", "Down", "Right", "Down")
        self.assertTrue(wait_for(lambda: "3 items" in self.desktop.accessible_texts(), 10),
                        self.desktop.accessible_texts())
        # On to the grid, whose cursor the arrow keys move, then the search field.
        self.desktop.key(browser, "Tab", "Right", "Tab")
        self.desktop.type(browser, "beach")
        self.assertTrue(wait_for(lambda: "1 item" in self.desktop.accessible_texts(), 10),
                        self.desktop.accessible_texts())
        self.assertLives(program, 0)


if __name__ == "__main__":
    unittest.main()
