"""The user's place survives a change of the disk: with an album chosen in the
music outline and one of its tracks playing, new album folders (one sorted
before the chosen album, which moves its row) and a new track in the chosen
album show up while the outline stays open on the same album, the track stays
selected and the music plays on.

The accessibility client library binds to one bus per process, so this module
holds one test."""

import os
import shutil
import subprocess
import unittest

from harness import ProgramTestCase, accessible_application, pumped, wait_for


def tone(path, seconds):
    subprocess.run(["ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                    "sine=frequency=440:duration=%d" % seconds, "-c:a", "libmp3lame", path], check=True)


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


class LivePlace(ProgramTestCase):
    def make_home(self, home):
        music = os.path.join(home, "Music")
        for album, songs in (("Album A", ["First"]), ("Album B", ["Second", "Third"])):
            os.makedirs(os.path.join(music, album))
            for song in songs:
                tone(os.path.join(music, album, song + ".mp3"), 60)
        self.music = music
        # The music list names the one folder, so the outline shows it at the top.
        with open(os.path.join(home, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "w") as f:
            f.write("[MusicPaths]\n1\\value=%s\nsize=1\n" % music)

    def test_a_new_album_while_music_plays_keeps_the_outline_the_selection_and_the_music(self):
        os.environ.update(self.desktop.env)  # the client library reads its bus from here
        import pyatspi

        self.desktop.launch()
        browser = self.desktop.wait_window("Media Browser")

        app = wait_for(pumped(accessible_application), 20)
        self.assertIsNotNone(app, "the program is on the accessibility bus")

        def showing(node):
            return node.getState().contains(pyatspi.STATE_SHOWING)

        def find(role, name=None, within=None):
            for node in descendants(within or app):
                if node.getRole() == role and (name is None or node.name == name) and showing(node):
                    return node
            return None

        def named(name, within=None):
            return next((n for n in descendants(within or app) if n.name == name and showing(n)), None)

        def click(node):
            x, y, w, h = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            self.desktop.xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")

        def selected(node):
            return node is not None and node.getState().contains(pyatspi.STATE_SELECTED)

        tab_list = wait_for(pumped(lambda: find(pyatspi.ROLE_PAGE_TAB_LIST)), 10)
        music_tab = next(tab_list.getChildAtIndex(i) for i in range(tab_list.childCount)
                         if tab_list.getChildAtIndex(i).name == "Music")
        music_tab.queryAction().doAction(0)

        def outline():
            return find(pyatspi.ROLE_TREE) or find(pyatspi.ROLE_TREE_TABLE)

        # Open the music folder in the outline and choose the second album.
        folder = wait_for(pumped(lambda: outline() and named("Music", outline())), 10)
        self.assertIsNotNone(folder, "the outline lists the music folder")
        click(folder)
        self.desktop.key(browser, "Right")
        album = wait_for(pumped(lambda: named("Album B", outline())), 10)
        self.assertIsNotNone(album, "the music folder opens on its albums")
        click(album)
        self.assertTrue(wait_for(pumped(lambda: named("2 items") is not None), 10), "the album's two tracks")

        # Play its first track.
        table = find(pyatspi.ROLE_TABLE, "Tracks")
        self.assertIsNotNone(table, "the tracks table")
        track = wait_for(pumped(lambda: named("Second", table)), 10)
        click(track)
        self.assertTrue(wait_for(pumped(lambda: selected(named("Second", table))), 5), "the track is selected")
        play = find(pyatspi.ROLE_PUSH_BUTTON, "Play")
        self.assertIsNotNone(play, "the play button")
        play.queryAction().doAction(0)
        self.assertTrue(wait_for(pumped(lambda: find(pyatspi.ROLE_PUSH_BUTTON, "Stop") is not None), 10),
                        "the track plays")

        # The disk changes: a new album after the one shown and one before it
        # (whose row moves the chosen one down), and a new track in the album shown.
        os.makedirs(os.path.join(self.music, "Album C"))
        os.makedirs(os.path.join(self.music, "Album AB"))
        shutil.copy(os.path.join(self.music, "Album A", "First.mp3"), os.path.join(self.music, "Album AB", "Early.mp3"))
        shutil.copy(os.path.join(self.music, "Album A", "First.mp3"), os.path.join(self.music, "Album C", "New.mp3"))
        shutil.copy(os.path.join(self.music, "Album A", "First.mp3"),
                    os.path.join(self.music, "Album B", "Fourth.mp3"))

        self.assertTrue(wait_for(pumped(lambda: named("3 items") is not None), 15),
                        "the new track shows in the album")
        self.assertTrue(wait_for(pumped(lambda: named("Album C", outline()) is not None), 15),
                        "the new album shows in the outline, which stays open")
        self.assertTrue(wait_for(pumped(lambda: named("Album AB", outline()) is not None), 15),
                        "the album before the chosen one shows too")
        self.assertTrue(selected(named("Album B", outline())), "the album stays chosen")
        self.assertTrue(selected(named("Second", table)), "the track stays selected")
        self.assertIsNotNone(find(pyatspi.ROLE_PUSH_BUTTON, "Stop"), "the music plays on")
        self.assertIsNone(find(pyatspi.ROLE_PUSH_BUTTON, "Play"))


if __name__ == "__main__":
    unittest.main()
