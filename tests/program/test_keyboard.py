"""The browser used with the keyboard alone: Tab leaves every list, the first
arrow press selects the first item, Enter and Space preview a picture and play
a track, the preview steps through the pictures and closes with Escape,
Ctrl+number chooses a tab, Escape empties the search field, and a track that
cannot be played says so in the count area."""

import os
import subprocess
import unittest

from harness import ProgramTestCase, wait_for

BROWSER = "Media Browser"
PICTURES = ["Beach", "Dunes", "Harbour"]


def picture(path, color):
    subprocess.run(["convert", "-size", "320x240", "xc:" + color, path], check=True)


def tone(path, seconds):
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "sine=frequency=440:duration=%d" % seconds, "-c:a", "libmp3lame", path], check=True)


def states(node):
    return set(node["states"])


class Keyboard(ProgramTestCase):
    def make_home(self, home):
        holiday = os.path.join(home, "Pictures", "Holiday")
        album = os.path.join(home, "Music", "Album")
        os.makedirs(holiday)
        os.makedirs(album)
        for name, color in zip(PICTURES, ("orange", "yellow", "blue")):
            picture(os.path.join(holiday, name + ".jpg"), color)
        tone(os.path.join(album, "Song.mp3"), 30)
        with open(os.path.join(album, "Broken.mp3"), "w") as f:
            f.write("not a sound at all\n" * 50)
        # Each tab lists its one folder at the top of its outline.
        with open(os.path.join(home, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "w") as f:
            f.write("[PicturePaths]\n1\\value=%s\nsize=1\n[MusicPaths]\n1\\value=%s\nsize=1\n" % (holiday, album))

    def tree(self):
        return self.desktop.accessible_tree()

    def cells(self):
        """The grid's cells, in the grid's order, as (name, selected)."""
        nodes = self.tree()
        grid = next((i for i, n in enumerate(nodes) if n["role"] == "list" and n["name"] == "Pictures"), None)
        if grid is None:
            return []
        depth = nodes[grid]["depth"]
        cells = []
        for node in nodes[grid + 1:]:
            if node["depth"] <= depth:
                break
            if node["role"] == "list item":
                cells.append((node["name"], "selected" in states(node)))
        return cells

    def focused(self, role, name):
        return any(n["role"] == role and n["name"] == name and "focused" in states(n) for n in self.tree())

    def texts(self):
        return self.desktop.accessible_texts()

    def test_pictures_are_opened_stepped_through_and_closed_from_the_keyboard(self):
        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        # The tab bar first, then the outline: its first row is the folder.
        self.desktop.key(browser, "Tab", "Down")
        self.assertTrue(wait_for(lambda: "3 items" in self.texts(), 10), self.texts())
        self.desktop.key(browser, "Tab")
        self.assertTrue(wait_for(lambda: len(self.cells()) == 3, 5), self.cells())
        self.assertFalse(any(selected for _, selected in self.cells()), "nothing is selected yet")
        # The first arrow press selects the first item rather than the second.
        self.desktop.key(browser, "Right")
        self.assertTrue(wait_for(lambda: [s for _, s in self.cells()] == [True, False, False], 5), self.cells())
        names = [name for name, _ in self.cells()]

        # Enter previews it in a window of its own, titled by the picture.
        self.desktop.key(browser, "Return")
        first = self.desktop.wait_window(names[0])
        # The arrow keys step to the next picture, and the grid follows.
        self.desktop.key(first, "Right")
        second = self.desktop.wait_window(names[1])
        self.assertTrue(wait_for(lambda: [s for _, s in self.cells()] == [False, True, False], 5), self.cells())
        self.desktop.key(second, "Escape")
        self.assertTrue(wait_for(lambda: not self.desktop.windows(names[1]), 5), "Escape closes the preview")

        # Space opens the preview of the selected picture and closes it again.
        self.desktop.key(browser, "space")
        preview = self.desktop.wait_window(names[1])
        self.desktop.key(preview, "space")
        self.assertTrue(wait_for(lambda: not self.desktop.windows(names[1]), 5), "Space closes the preview")

    def test_tracks_are_played_from_the_keyboard_and_tab_leaves_the_table(self):
        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        self.desktop.key(browser, "ctrl+2")
        self.assertTrue(wait_for(lambda: any(n["role"] == "page tab" and n["name"] == "Music" and
                                             "selected" in states(n) for n in self.tree()), 5))
        # From the search field back to the table, and on to the music outline.
        self.desktop.key(browser, "ctrl+f", "shift+Tab", "shift+Tab", "Down")
        self.assertTrue(wait_for(lambda: "2 items" in self.texts(), 10), self.texts())
        self.desktop.key(browser, "Tab")
        self.assertTrue(wait_for(lambda: self.focused("table", "Tracks"), 5), "the table has the focus")
        # Tab and Ctrl+Tab leave the table for the search field; Shift+Tab comes back.
        self.desktop.key(browser, "Tab")
        self.assertTrue(wait_for(lambda: self.focused("text", "Search"), 5), "Tab left the table")
        self.desktop.key(browser, "shift+Tab", "ctrl+Tab")
        self.assertTrue(wait_for(lambda: self.focused("text", "Search"), 5), "Ctrl+Tab left the table")

        # A file that cannot be played says so in the count area.
        self.desktop.type(browser, "Broken")
        self.assertTrue(wait_for(lambda: "1 item" in self.texts(), 5), self.texts())
        self.desktop.key(browser, "shift+Tab", "Down", "Return")
        self.assertTrue(wait_for(lambda: "Cannot play “Broken.mp3”" in self.texts(), 10), self.texts())

        # Escape in the search field shows every track again.
        self.desktop.key(browser, "ctrl+f", "Escape")
        self.assertTrue(wait_for(lambda: "2 items" in self.texts(), 5), self.texts())

        # Enter plays the selected track; Space stops it.
        self.desktop.type(browser, "Song")
        self.assertTrue(wait_for(lambda: "1 item" in self.texts(), 5), self.texts())
        self.desktop.key(browser, "shift+Tab", "Down", "Return")
        self.assertTrue(wait_for(lambda: any(n["name"] == "Stop" for n in self.tree()), 10), "the track plays")
        self.desktop.key(browser, "space")
        self.assertTrue(wait_for(lambda: not any(n["name"] == "Stop" for n in self.tree()), 10),
                        "Space stopped the track")
        # Ctrl+PageUp goes back to the pictures.
        self.desktop.key(browser, "ctrl+Prior")
        self.assertTrue(wait_for(lambda: any(n["role"] == "page tab" and n["name"] == "Pictures" and
                                             "selected" in states(n) for n in self.tree()), 5))


if __name__ == "__main__":
    unittest.main()
