"""Reads the running browser the way a screen reader does, over the
accessibility bus: the tab bar is a page-tab list of three named tabs, the
search field, menu and play buttons have names, the thumbnail grid is a list
whose items are named by their captions and labelled by the item count, and an
arrow key in the grid is announced (the next cell gains the focus and the
selection). Set QVMB_A11Y_DUMP=1 to print the tree.

The accessibility client library binds to one bus per process, so this module
holds one test."""

import os
import struct
import sys
import unittest
import zlib

from harness import ProgramTestCase, accessible_application, pumped, wait_for

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


class Accessibility(ProgramTestCase):
    def make_home(self, home):
        shots = os.path.join(home, "Pictures", "Shots")
        os.makedirs(shots)
        for i, name in enumerate(PICTURES):
            write_png(os.path.join(shots, name + ".png"), 64, 48, (40 * i, 120, 200 - 40 * i))
        os.makedirs(os.path.join(home, "Music"))
        os.makedirs(os.path.join(home, "Movies"))
        # The pictures list names the one folder, so the outline shows it at the top.
        with open(os.path.join(home, ".config", "org.qvmediabrowser.QVMediaBrowser.conf"), "a") as f:
            f.write("[PicturePaths]\n1\\value=%s\nsize=1\n" % shots)

    def test_a_reader_finds_every_control_named_and_follows_the_arrow_keys(self):
        os.environ.update(self.desktop.env)  # the client library reads its bus from here
        import pyatspi

        events = []
        pyatspi.Registry.registerEventListener(events.append, "object:state-changed:selected", "focus:")
        self.addCleanup(pyatspi.Registry.deregisterEventListener, events.append,
                        "object:state-changed:selected", "focus:")
        self.desktop.launch()
        browser = self.desktop.wait_window("Media Browser")

        app = wait_for(pumped(accessible_application), 20)
        self.assertIsNotNone(app, "the program is on the accessibility bus")

        def find(role, name=None):
            for node in descendants(app):
                if node.getRole() == role and (name is None or node.name == name):
                    return node
            return None

        tab_list = wait_for(pumped(lambda: find(pyatspi.ROLE_PAGE_TAB_LIST)), 10)
        self.assertIsNotNone(tab_list, "the tab bar is a page-tab list")
        tabs = [tab_list.getChildAtIndex(i) for i in range(tab_list.childCount)]
        self.assertEqual([t.getRole() for t in tabs], [pyatspi.ROLE_PAGE_TAB] * 3)
        self.assertEqual([t.name for t in tabs], ["Pictures", "Music", "Movies"])
        self.assertEqual([t.getState().contains(pyatspi.STATE_SELECTED) for t in tabs], [True, False, False])

        self.assertIsNotNone(find(pyatspi.ROLE_TEXT, "Search") or find(pyatspi.ROLE_ENTRY, "Search"),
                             "the search field is named Search")
        self.assertIsNotNone(find(pyatspi.ROLE_PUSH_BUTTON, "Menu"), "the menu button is named Menu")

        # The play button shows on the movies tab, named by what it does.
        tabs[2].queryAction().doAction(0)
        play = wait_for(pumped(lambda: find(pyatspi.ROLE_PUSH_BUTTON, "Play")), 5)
        self.assertTrue(play is not None and play.getState().contains(pyatspi.STATE_SHOWING))
        self.assertTrue(tabs[2].getState().contains(pyatspi.STATE_SELECTED), "the pressed tab is selected")
        tabs[0].queryAction().doAction(0)

        # Choose the pictures folder as a user does: click its row in the outline.
        outline = wait_for(pumped(lambda: find(pyatspi.ROLE_TREE, "Picture sources") or
                                  find(pyatspi.ROLE_TREE_TABLE, "Picture sources")), 5)
        self.assertIsNotNone(outline, "the pictures outline is named")
        row = next((n for n in descendants(outline) if n.name == "Shots"), None)
        self.assertIsNotNone(row, "the outline lists the pictures folder")
        grid = find(pyatspi.ROLE_LIST, "Pictures")
        self.assertIsNotNone(grid, "the thumbnail grid is a list named Pictures")
        x, y, w, h = row.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.desktop.xdotool("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")
        wait_for(pumped(lambda: grid.childCount == len(PICTURES)), 10)
        self.assertEqual(grid.childCount, len(PICTURES), "one child per picture")
        cells = [grid.getChildAtIndex(i) for i in range(grid.childCount)]
        self.assertEqual(sorted(c.name for c in cells), sorted(PICTURES), "cells are named by their captions")
        self.assertTrue(all(c.getRole() == pyatspi.ROLE_LIST_ITEM for c in cells))
        labels = [relation.getTarget(0).name for relation in grid.getRelationSet()
                  if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY]
        self.assertEqual(labels, ["4 items"], "the item count labels the grid")

        # Into the grid and two steps right: the first press selects the
        # first cell, the second moves on; the second cell is focused and selected.
        grid.queryComponent().grabFocus()
        wait_for(pumped(lambda: cells[0].getState().contains(pyatspi.STATE_FOCUSED)), 5)
        del events[:]
        self.desktop.key(browser, "Right", "Right")

        def announced():
            selected = any(e.type.startswith("object:state-changed:selected") and e.detail1 == 1 and
                           e.source.name == cells[1].name for e in events)
            focused = any(e.type.startswith("focus") and e.source.name == cells[1].name for e in events)
            return selected and focused

        self.assertTrue(wait_for(pumped(announced), 5),
                        "the move is announced: %r" % [(e.type, e.source.name, e.detail1) for e in events])
        self.assertTrue(cells[1].getState().contains(pyatspi.STATE_SELECTED))
        self.assertFalse(cells[0].getState().contains(pyatspi.STATE_SELECTED))
        if os.environ.get("QVMB_A11Y_DUMP"):
            dump(app)


if __name__ == "__main__":
    unittest.main()
