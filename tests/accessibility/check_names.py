# Walks the running editor's accessibility tree over AT-SPI, as a screen reader does: every control the user can
# see has a name, the tabs are page tabs that a press switches, and the controls without a caption of their own
# carry the caption they stand under. The editor runs on the English sample card.
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

warnings.simplefilter("ignore", DeprecationWarning)  # the action calls Debian 12's bindings offer

INTERACTIVE = {"push button", "page tab", "check box", "radio button", "slider", "combo box", "spin button"}
TABS = ["Record Settings", "Memory Card Settings", "System Settings"]
# Per page, names that only the captions above or beside a control can give it.
EXPECTED = {
    "Record Settings": {("slider", "Record Timer"), ("slider", "Battery Cutoff Voltage 12 V Battery"),
                        ("slider", "Battery Cutoff Voltage 24 V Battery"), ("slider", "Brightness")},
    "Memory Card Settings": {("push button", "Format"), ("radio button", "Type B")},
    "System Settings": {("combo box", "Language"), ("combo box", "Time Zone"), ("slider", "Voice Guidance"),
                        ("spin button", "Date / Time"), ("check box", "Date / Time")},
}
failures = []


def wait_for(predicate, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(0.2)
    return None


def children(node):
    return [c for c in (node.get_child_at_index(i) for i in range(node.get_child_count())) if c is not None]


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def caption(node):
    """The name, or for a list box (which the toolkit names by its current entry) the label it is labelled by."""
    if node.get_role_name() == "combo box":
        for relation in node.get_relation_set():
            if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY and relation.get_n_targets():
                return relation.get_target(0).get_name()
    return node.get_name() or ""


def find_app():
    for app in children(Atspi.get_desktop(0)):
        if app.get_name() == "Kestravon Z910 Setting":
            return app
    return None


def press(node):
    for i in range(Atspi.Action.get_n_actions(node)):
        if Atspi.Action.get_action_name(node, i) == "Press":
            return Atspi.Action.do_action(node, i)
    failures.append(f"{node.get_role_name()} '{node.get_name()}' has no Press action")
    return False


app = wait_for(find_app, 30)
if app is None:
    sys.exit("the editor did not appear on the accessibility bus")
window = wait_for(lambda: next((c for c in children(app) if c.get_role_name() in ("dialog", "frame")), None), 10)
tabs = [c for c in children(window) if c.get_role_name() == "page tab"]
if [t.get_name() for t in tabs] != TABS:
    failures.append(f"tabs are {[t.get_name() for t in tabs]}")
buttons = {c.get_name() for c in children(window) if c.get_role_name() == "push button"}
for name in ("Save", "Cancel", "Initialize", "Minimize", "Close"):
    if name not in buttons:
        failures.append(f"no '{name}' button among {sorted(buttons)}")

for tab in tabs:
    page_name = tab.get_name()
    press(tab)
    page = wait_for(lambda: next((c for c in children(window) if c.get_name() == page_name and showing(c)), None), 10)
    if page is None:
        failures.append(f"pressing '{page_name}' did not show its page")
        continue
    if not tab.get_state_set().contains(Atspi.StateType.CHECKED):
        failures.append(f"tab '{page_name}' is not checked while its page shows")
    seen = set()
    for node in walk(window):
        role = node.get_role_name()
        if role in INTERACTIVE and showing(node):
            name = caption(node)
            seen.add((role, name))
            if not name.strip():
                failures.append(f"{page_name}: a {role} without a name at {node.get_extents(Atspi.CoordType.WINDOW).x},"
                                f"{node.get_extents(Atspi.CoordType.WINDOW).y}")
    for role, name in sorted(EXPECTED[page_name] - seen):
        failures.append(f"{page_name}: no {role} named '{name}'")

for failure in failures:
    print("accessibility:", failure)
print(f"accessibility: {len(tabs)} pages checked, {len(failures)} failures")
sys.exit(1 if failures else 0)
