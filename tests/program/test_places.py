"""The browser keeps the user's place and says what to do where there is
nothing to show: after a relaunch each tab comes back with its selected
folder, its expanded folders and its splitter where the user left them, and
the tab chosen last is chosen again; a home without folders offers to add
one; a folder without pictures says so; and an item's context menu shows it
in the desktop's file manager."""

import os
import subprocess
import time
import unittest

from harness import FakeFileManager, ProgramTestCase, wait_for

BROWSER = "Media Browser"
PREFERENCES = "Media Browser Preferences"


def picture(path, color="orange"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    subprocess.run(["convert", "-size", "160x120", "xc:" + color, path], check=True)


def node(tree, role, name, showing=True):
    for n in tree:
        if n["role"] == role and n["name"] == name and (not showing or "showing" in n["states"]):
            return n
    return None


def centre(n):
    x, y, w, h = n["extents"]
    return x + w // 2, y + h // 2


class Remembering(ProgramTestCase):
    def make_home(self, home):
        picture(os.path.join(home, "Pictures", "Trips", "Alps", "Peak.jpg"))
        picture(os.path.join(home, "Pictures", "Trips", "Coast", "Cliff.jpg"))
        picture(os.path.join(home, "Pictures", "Trips", "Coast", "Bay.jpg"), "blue")
        os.makedirs(os.path.join(home, "Music", "Album"))

    def wait_row(self, name):
        self.assertTrue(wait_for(lambda: node(self.desktop.accessible_tree(), "table cell", name), 10),
                        "the outline shows %r" % name)

    def click(self, window, role, name):
        n = wait_for(lambda: node(self.desktop.accessible_tree(), role, name), 10)
        self.assertIsNotNone(n, "%s %r is on screen" % (role, name))
        x, y = centre(n)
        self.desktop.xdotool("mousemove", str(x), str(y), "click", "1")
        time.sleep(0.3)

    def test_each_tab_comes_back_as_the_user_left_it(self):
        program = self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        # Pictures, then Trips, each the only folder at its level: open both by
        # keyboard, each once its folders have been read.
        self.desktop.key(browser, "Tab", "Down", "Right")
        self.wait_row("Trips")
        self.desktop.key(browser, "Down", "Right")
        self.wait_row("Coast")
        self.click(browser, "table cell", "Coast")
        texts = self.desktop.accessible_texts
        self.assertTrue(wait_for(lambda: "2 items" in texts(), 10), texts())
        # The splitter moved down by dragging its handle under the outline.
        outline = node(self.desktop.accessible_tree(), "tree", "Picture sources")
        x, y, w, h = outline["extents"]
        self.desktop.xdotool("mousemove", str(x + w // 2), str(y + h + 2), "mousedown", "1")
        self.desktop.xdotool("mousemove", str(x + w // 2), str(y + h + 62), "mouseup", "1")
        time.sleep(0.3)
        moved = node(self.desktop.accessible_tree(), "tree", "Picture sources")["extents"][3]
        self.assertGreater(moved, h + 40, "the drag moved the splitter")
        self.desktop.key(browser, "ctrl+2")
        self.desktop.close(browser)
        self.assertExits(program)

        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        tree = self.desktop.accessible_tree()
        music = node(tree, "page tab", "Music", showing=False)
        self.assertIn("selected", music["states"], "the music tab is chosen again")
        self.desktop.key(browser, "ctrl+1")
        self.assertTrue(wait_for(lambda: "2 items" in texts(), 10), "Coast is shown again: %s" % texts())
        tree = self.desktop.accessible_tree()
        coast = node(tree, "table cell", "Coast")
        self.assertIsNotNone(coast, "Trips is expanded again")
        self.assertIn("selected", coast["states"])
        self.assertIsNotNone(node(tree, "table cell", "Alps"))
        height = node(tree, "tree", "Picture sources")["extents"][3]
        self.assertLessEqual(abs(height - moved), 2, "the splitter is where it was left")


class EmptyHome(ProgramTestCase):
    def test_a_home_without_folders_offers_to_add_one(self):
        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        tree = self.desktop.accessible_tree()
        self.assertIsNotNone(node(tree, "label", "No folders of pictures yet"), [n["name"] for n in tree])
        button = node(tree, "push button", "Add a Folder…")
        self.assertIsNotNone(button)
        x, y = centre(button)
        self.desktop.xdotool("mousemove", str(x), str(y), "click", "1")
        self.desktop.wait_window(PREFERENCES)
        self.assertTrue(self.desktop.windows(BROWSER))


class FolderWithoutPictures(ProgramTestCase):
    def make_home(self, home):
        picture(os.path.join(home, "Pictures", "Years", "2024", "Snow.jpg"))

    def test_a_folder_of_folders_says_it_has_no_pictures(self):
        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        tree = self.desktop.accessible_tree()
        self.assertIsNotNone(node(tree, "label", "Choose a source"), "before a folder is chosen")
        # Pictures, then Years: a folder that holds only a folder.
        self.desktop.key(browser, "Tab", "Down", "Right")
        self.assertTrue(wait_for(lambda: node(self.desktop.accessible_tree(), "table cell", "Years"), 10))
        self.desktop.key(browser, "Down")
        self.assertTrue(wait_for(lambda: node(self.desktop.accessible_tree(), "label", "No pictures here"), 10))


class ItemMenu(ProgramTestCase):
    def make_home(self, home):
        picture(os.path.join(home, "Pictures", "Holiday", "Beach.jpg"))
        with open(os.path.join(home, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "w") as f:
            f.write("[PicturePaths]\n1\\value=%s\nsize=1\n" % os.path.join(home, "Pictures", "Holiday"))

    def test_show_in_folder_asks_the_file_manager_to_show_the_file(self):
        files = FakeFileManager(self.desktop.bus)
        self.addCleanup(files.close)
        self.desktop.launch()
        browser = self.desktop.wait_window(BROWSER)
        self.desktop.key(browser, "Tab", "Down")
        self.assertTrue(wait_for(lambda: "1 item" in self.desktop.accessible_texts(), 10))
        # The menu key on the selected picture; its third entry is Show in Folder.
        self.desktop.key(browser, "Tab", "Right", "Menu")
        self.desktop.key(browser, "Down", "Down", "Down", "Return")

        def shown():
            files.pump()
            return files.shown

        self.assertTrue(wait_for(shown, 10), "the file manager was asked")
        path = os.path.join(self.desktop.home, "Pictures", "Holiday", "Beach.jpg")
        self.assertEqual(files.shown, [["file://" + path]])


if __name__ == "__main__":
    unittest.main()
