"""A drag out of the browser into a sandboxed application, with the desktop's
document portal on the bus: the target takes the file transfer portal's key,
as sandboxed GTK and Qt applications do, and the portal hands it the dragged
file. The drag is a real X drag (xdotool) between two programs."""

import os
import subprocess
import time
import unittest

from harness import SYSTEM_PYTHON, ProgramTestCase, wait_for
from portal import PortalDesktop

HERE = os.path.dirname(os.path.abspath(__file__))


class SandboxDrag(ProgramTestCase):
    def setUp(self):
        self.desktop = PortalDesktop(other_backends=())
        self.addCleanup(self.desktop.stop)
        for name, color in (("Beach.jpg", "orange"), ("Dunes.png", "yellow")):
            path = os.path.join(self.desktop.home, "Pictures", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            subprocess.run(["convert", "-size", "320x240", "xc:" + color, path], check=True)

    def drag(self, x, y, to_x, to_y):
        """Drags from x,y to to_x,to_y in small steps, as a hand does: the drag
        starts after the first pixels, the target then sees the pointer enter."""
        self.desktop.xdotool("mousemove", str(x), str(y), "mousedown", "1")
        for _ in range(6):
            self.desktop.xdotool("mousemove_relative", "--", "4", "2")
            time.sleep(0.05)
        steps = 20
        for step in range(1, steps + 1):
            self.desktop.xdotool("mousemove", str(x + (to_x - x) * step // steps), str(y + (to_y - y) * step // steps))
            time.sleep(0.05)
        time.sleep(0.3)
        self.desktop.xdotool("mousemove", str(to_x + 2), str(to_y + 2))
        time.sleep(0.3)
        self.desktop.screenshot("sandbox-2-dragging")
        self.desktop.xdotool("mouseup", "1")

    def test_a_sandboxed_target_receives_the_dragged_file_through_the_transfer_portal(self):
        out = os.path.join(self.desktop.root, "dropped.txt")
        with open(out, "w") as dropped:
            target = subprocess.Popen([SYSTEM_PYTHON, os.path.join(HERE, "sandbox_drop_target.py"), "700", "150"],
                                      env=self.desktop.env, stdout=dropped, stderr=subprocess.DEVNULL)
        self.addCleanup(lambda: target.poll() is None and target.kill())
        self.desktop.wait_window("Sandbox drop target")
        program = self.desktop.launch()
        browser = self.desktop.wait_window("Media Browser")
        # The outline's one row is the pictures folder; the grid then shows
        # its two pictures, the first, Beach, at the grid's top left.
        self.desktop.click(browser, 77, 48)
        self.assertTrue(wait_for(lambda: "2 items" in self.desktop.accessible_texts(), 10))
        geometry = dict(line.split("=") for line in
                        self.desktop.xdotool("getwindowgeometry", "--shell", str(browser)).split())
        x, y = int(geometry["X"]), int(geometry["Y"])
        self.desktop.click(browser, 63, 240)
        self.desktop.screenshot("sandbox-1-selected")
        self.drag(x + 63, y + 240, 850, 300)
        self.assertTrue(wait_for(lambda: target.poll() is not None, 15), "nothing was dropped")
        with open(out) as dropped:
            lines = dropped.read().split("\n")
        self.assertTrue(lines[0].startswith("key "), lines)
        self.assertEqual(lines[1:-1], [os.path.join(self.desktop.home, "Pictures", "Beach.jpg")])
        self.assertLives(program, 0)


if __name__ == "__main__":
    unittest.main()
