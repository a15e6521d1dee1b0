"""What a screen reader finds in the running program, read through AT-SPI.

Usage: screen_reader_check.py PID. Checks the three panels' roles and names, the menu items'
names and shortcuts, and that the picture's description follows the overlay: one change event
when a frame changes its rows, none for a frame that leaves them as they were.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def find_application(pid, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for application in pyatspi.Registry.getDesktop(0):
            if application is not None and application.get_process_id() == pid:
                return application
        time.sleep(0.2)
    return None


def walk(accessible):
    yield accessible
    for child in accessible:
        if child is not None:
            yield from walk(child)


def menu_item(application, name):
    found = next((a for a in walk(application) if a.getRoleName() == "menu item" and a.name == name), None)
    check(found is not None, f"no menu item named {name!r}")
    return found


def main():
    application = find_application(int(sys.argv[1]))
    if application is None:
        print("the program never appeared on the accessibility bus")
        return 3
    everything = list(walk(application))
    panels = {a.name: a.getRoleName() for a in everything if a.getRoleName() in ("image", "color chooser", "slider")}
    check(panels == {"Picture": "image", "Color spectrum": "color chooser", "Shine": "slider"}, f"panels {panels}")
    if failures:
        return report(0)
    picture = next(a for a in everything if a.name == "Picture")
    check(picture.description.startswith("Longitude: 0\nLatitude: 0\nRadius: 200\n"), f"start: {picture.description!r}")

    items = [a for a in everything if a.getRoleName() == "menu item"]
    check(not [a.name for a in items if "\t" in a.name], "a menu item's name holds its shortcut")
    for name, keys in (("Light", "Ctrl+L"), ("Gradient", "F6"), ("Box", "")):
        item = menu_item(application, name)
        check(item is not None and item.queryAction().getKeyBinding(0) == keys, f"{name}'s shortcut")
    if failures:
        return report(len(items))

    # Menu items chosen through AT-SPI, each frame drawn at the next tick; events counted between.
    events = []
    pyatspi.Registry.registerEventListener(
        lambda event: events.append(event.source.name), "object:property-change:accessible-description")
    steps = [("Light", 0), ("Light", 0), ("Box", 1)]
    counts = []

    def choose(index):
        if index > 0:
            counts.append(len(events))
        if index == len(steps):
            pyatspi.Registry.stop()
            return False
        menu_item(application, steps[index][0]).queryAction().doAction(0)
        # A busy machine may take a while to draw: wait for the wanted event (then a little longer
        # for a second one that should not come), or long enough to be sure none comes.
        wanted = steps[index][1]
        start, deadline = len(events), time.time() + (10 if wanted else 2)

        def settle():
            if wanted and len(events) - start >= wanted:
                GLib.timeout_add(500, choose, index + 1)
                return False
            if time.time() >= deadline:
                choose(index + 1)
                return False
            return True

        GLib.timeout_add(100, settle)
        return False

    GLib.timeout_add(300, choose, 0)
    GLib.timeout_add(60000, pyatspi.Registry.stop)
    pyatspi.Registry.start()
    check([b - a for a, b in zip([0] + counts, counts)] == [wanted for _, wanted in steps],
          f"description events per step {counts}, wanted {[w for _, w in steps]}")
    check(set(events) <= {"Picture"}, f"events from {events}")
    check("Vertices: 8\nFaces: 12" in picture.description, f"after Box: {picture.description!r}")

    return report(len(items))


def report(items):
    for failure in failures:
        print("FAIL:", failure)
    print(f"{3 + items} elements checked, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
