#!/usr/bin/env python3
"""Reads the accessibility tree of one process over AT-SPI, as a screen
reader does, and prints one JSON object per shown element:
{"role", "name", "description", "states", "text", "path"}.

Usage: atspi_tree.py PID
"""
import json
import sys

import pyatspi


def states_of(acc):
    state_set = acc.getState()
    return sorted(pyatspi.stateToString(s) for s in state_set.getStates())


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
        states = states_of(acc)
        if "showing" in states or depth < 3:
            out.append({"role": acc.getRoleName(), "name": acc.name or "",
                        "description": acc.description or "", "states": states,
                        "text": text_of(acc), "path": path})
        for i in range(acc.childCount):
            walk(acc.getChildAtIndex(i), path + "/" + str(i), out, depth + 1)
    except Exception as e:  # an element gone while it is read
        out.append({"role": "error", "name": str(e), "description": "", "states": [], "text": None, "path": path})


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid:
            out = []
            walk(app, "", out)
            for element in out:
                print(json.dumps(element, ensure_ascii=False))
            return 0
    print("no application with pid %d on the accessibility bus" % pid, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
