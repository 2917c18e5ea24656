#!/usr/bin/env python3
"""Reads the accessibility tree of one process over AT-SPI, as a screen
reader does: for each process id read from standard input, one JSON object
per shown element ({"role", "name", "description", "states", "text",
"path"}), then a line holding only ".".

Usage: echo PID | atspi_tree.py
"""
import json
import sys

import pyatspi
from gi.repository import GLib


def text_of(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def walk(acc, path, out, depth=0):
    if acc is None or depth > 80:
        return
    try:
        states = sorted(pyatspi.stateToString(s) for s in acc.getState().getStates())
        if "showing" in states or depth < 3:
            out.append({"role": acc.getRoleName(), "name": acc.name or "",
                        "description": acc.description or "", "states": states,
                        "text": text_of(acc), "path": path})
        for i in range(acc.childCount):
            walk(acc.getChildAtIndex(i), path + "/" + str(i), out, depth + 1)
    except Exception as e:  # an element gone while it is read
        out.append({"role": "error", "name": str(e), "description": "", "states": [], "text": None, "path": path})


def read(pid):
    # Serve what came meanwhile (applications joining, changes) first.
    while GLib.MainContext.default().iteration(False):
        pass
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            app.clearCache()  # the tree as it is now, not as last read
            out = []
            walk(app, "", out)
            for element in out:
                print(json.dumps(element, ensure_ascii=False))
            return
    print("no application with pid %d on the accessibility bus" % pid, file=sys.stderr)


def main():
    for line in sys.stdin:
        read(int(line))
        print(".", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
