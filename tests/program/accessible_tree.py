"""Prints, as JSON, the accessible tree of a running application as a screen
reader reads it over the accessibility bus of this environment.
Usage: accessible_tree.py APPLICATION_NAME [TIMEOUT_SECONDS]"""

import json
import sys
import time

import pyatspi


def find_application(name, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            child = desktop.getChildAtIndex(index)
            if child is not None and child.name == name:
                return child
        time.sleep(0.2)
    return None


def walk(node, depth, out):
    if node is None or depth > 60:
        return
    try:
        text_interface = node.queryText()
        text = text_interface.getText(0, text_interface.characterCount)
    except NotImplementedError:
        text = ""
    states = node.getState().getStates()
    try:
        extents = list(node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS))
    except NotImplementedError:
        extents = []
    out.append({
        "role": node.getRoleName(),
        "name": node.name or "",
        "text": text or "",
        "states": sorted(pyatspi.stateToString(state) for state in states),
        "depth": depth,
        "extents": extents,
    })
    for index in range(node.childCount):
        walk(node.getChildAtIndex(index), depth + 1, out)


def main():
    name = sys.argv[1]
    timeout = float(sys.argv[2]) if len(sys.argv) > 2 else 10
    application = find_application(name, timeout)
    out = []
    if application is not None:
        walk(application, 0, out)
    json.dump(out, sys.stdout)


if __name__ == "__main__":
    main()
