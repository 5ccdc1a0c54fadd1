#!/usr/bin/env python3
"""Reads the accessible objects of one running program over the desktop's
accessibility bus, as a screen reader sees them, and writes them to a file:
one line per object, depth first, with its depth, role, name and states,
separated by tabs.

Usage: read-accessible-tree.py PID OUTPUT [SECONDS]

Waits up to SECONDS (default 30) for the program to show up on the bus.
Exit status 0 when written, 2 when the bus cannot be reached, 3 when the
program did not show up in time."""
import os
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

STATES = [
    ("focusable", Atspi.StateType.FOCUSABLE),
    ("focused", Atspi.StateType.FOCUSED),
    ("showing", Atspi.StateType.SHOWING),
    ("enabled", Atspi.StateType.ENABLED),
]


def clean(text):
    return (text or "").replace("\t", " ").replace("\n", " ")


def find_program(pid, seconds):
    deadline = time.monotonic() + seconds
    while True:
        desktop = Atspi.get_desktop(0)
        if desktop is None:
            return None, 2
        for i in range(desktop.get_child_count()):
            program = desktop.get_child_at_index(i)
            try:
                if program is not None and program.get_process_id() == pid:
                    return program, 0
            except gi.repository.GLib.Error:
                continue
        if time.monotonic() > deadline:
            return None, 3
        time.sleep(0.05)


def main():
    pid = int(sys.argv[1])
    output = sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 30.0
    Atspi.set_timeout(10000, 20000)
    program, status = find_program(pid, seconds)
    if program is None:
        print("read-accessible-tree: %s" % ("no accessibility bus" if status == 2 else
                                            "program %d is not on the accessibility bus" % pid),
              file=sys.stderr)
        return status
    lines = []

    def walk(node, depth):
        states = node.get_state_set()
        flags = ",".join(name for name, state in STATES if states.contains(state))
        lines.append("%d\t%s\t%s\t%s" % (depth, clean(node.get_role_name()), clean(node.get_name()), flags))
        for i in range(node.get_child_count()):
            child = node.get_child_at_index(i)
            if child is not None:
                walk(child, depth + 1)

    walk(program, 0)
    partial = output + ".part"
    with open(partial, "w", encoding="utf-8") as out:
        out.write("\n".join(lines) + "\n")
    os.replace(partial, output)
    return 0


if __name__ == "__main__":
    sys.exit(main())
