"""Walks the running panel's accessibility tree over AT-SPI, as a screen
reader does, checks what it shows and operates two check boxes through their
toggle actions. Prints one line per finding; exits 1 on any."""
import sys
import time

import pyatspi
from gi.repository import GLib

LISTS = ["Mode", "Current Scale", "PWM Slope", "Filter", "PWM Hysteresis",
         "PWM / Current Dimming Threshold", "Phase Shift Mode", "PWM Frequency",
         "Vboost Maximum", "Frequency", "PFM Threshold", "Current Limit", "Config Strings Vmax"]
problems = []


def expect(ok, what):
    if not ok:
        problems.append(what)
        print("FAIL:", what)


def find_panel():
    """The panel once it is on the screen, its start-up done."""
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "zr5130-eval" and app.childCount:
                if app[0].getState().contains(pyatspi.STATE_SHOWING):
                    return app[0]
        time.sleep(0.2)
    sys.exit("FAIL: the panel never appeared on the accessibility bus")


def all_of(role):
    return pyatspi.findAllDescendants(panel, lambda a: a.getRole() == role)


def one(role, name):
    found = [a for a in all_of(role) if a.name == name]
    expect(len(found) == 1, f"{len(found)} {role} named {name!r}")
    return found[0] if found else None


def toggle(box, status_line):
    """Runs box's toggle action; returns the status line's name changes it caused."""
    seen = []
    def on_name(event):
        if event.source == status_line:
            seen.append(event.source.name)
    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    action = box.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    expect("Toggle" in names, f"{box.name!r} offers {names}, no Toggle")
    if "Toggle" in names:
        action.doAction(names.index("Toggle"))
    end = time.time() + 2
    while time.time() < end and not seen:
        GLib.MainContext.default().iteration(False) or time.sleep(0.05)
    pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
    return seen


panel = find_panel()
status = one(pyatspi.ROLE_LABEL, "Initialization Complete")
combos = all_of(pyatspi.ROLE_COMBO_BOX)
expect(sorted(c.name for c in combos) == sorted(LISTS), f"lists named {[c.name for c in combos]}")
for combo in combos:
    fields = [c for c in combo if c.getRole() == pyatspi.ROLE_TEXT]
    expect([f.name for f in fields] == [combo.name], f"list {combo.name!r} holds fields {[f.name for f in fields]}")
radios = all_of(pyatspi.ROLE_RADIO_BUTTON)
expect(len(radios) == 4, f"{len(radios)} radio buttons")
expect(all(r.parent.getRole() == pyatspi.ROLE_PANEL and r.parent.name.endswith(("98", "9E")) for r in radios),
       "radio buttons outside their range frames")
frame = one(pyatspi.ROLE_PANEL, "Config Register A3")
expect(frame is not None and "Update A3" in [c.name for c in frame], "Config Register A3 lacks Update A3")
described = [t for t in all_of(pyatspi.ROLE_TEXT) if t.description.startswith("Read only: shows ")]
expect(len(described) == 28, f"{len(described)} read-only boxes described")

expect(toggle(one(pyatspi.ROLE_CHECK_BOX, "Fast Resume"), status) == [], "Fast Resume changed the status")
expect(toggle(one(pyatspi.ROLE_CHECK_BOX, "Enable Backlight"), status) == ["Ready1"],
       "Enable Backlight did not announce \"Ready1\" on the status line")
sys.exit(1 if problems else 0)
