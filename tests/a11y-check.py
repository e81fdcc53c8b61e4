# Reads the running panel over AT-SPI as a screen reader does and toggles two
# check boxes through their actions. Prints each finding; exits 1 on any.
import sys
import time

import pyatspi
from gi.repository import GLib

LISTS = {"Mode", "Current Scale", "PWM Slope", "Filter", "PWM Hysteresis",
         "PWM / Current Dimming Threshold", "Phase Shift Mode", "PWM Frequency",
         "Vboost Maximum", "Frequency", "PFM Threshold", "Current Limit", "Config Strings Vmax"}
problems = []


def expect(ok, what):
    if not ok:
        problems.append(what)
        print("FAIL:", what)


def panel_on_screen():
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app and app.name == "zr5130-eval" and app.childCount \
                    and app[0].getState().contains(pyatspi.STATE_SHOWING):
                return app[0]
        time.sleep(0.2)
    sys.exit("FAIL: the panel never appeared on the accessibility bus")


def found(role, name=None):
    return [a for a in pyatspi.findAllDescendants(panel, lambda a: a.getRole() == role)
            if name in (None, a.name)]


def toggle(name):
    """Toggles check box name; returns the names the status line announced."""
    announced = []
    def on_name(event):
        if event.source in status:
            announced.append(event.source.name)
    pyatspi.Registry.registerEventListener(on_name, "object:property-change:accessible-name")
    action = found(pyatspi.ROLE_CHECK_BOX, name)[0].queryAction()
    action.doAction([action.getName(i) for i in range(action.nActions)].index("Toggle"))
    end = time.time() + 2
    while time.time() < end and not announced:
        GLib.MainContext.default().iteration(False) or time.sleep(0.05)
    pyatspi.Registry.deregisterEventListener(on_name, "object:property-change:accessible-name")
    return announced


panel = panel_on_screen()
status = found(pyatspi.ROLE_LABEL, "Initialization Complete")
expect(len(status) == 1, "no status line reading \"Initialization Complete\"")
lists = found(pyatspi.ROLE_COMBO_BOX)
expect({c.name for c in lists} == LISTS and len(lists) == 13, f"lists named {[c.name for c in lists]}")
for c in lists:
    expect([f.name for f in c if f.getRole() == pyatspi.ROLE_TEXT] == [c.name], f"field of {c.name!r}")
radios = found(pyatspi.ROLE_RADIO_BUTTON)
expect(len(radios) == 4 and all(r.parent.name in ("IBoost Range 98", "Vboost Range 9E") for r in radios),
       f"{len(radios)} radio buttons, in {[r.parent.name for r in radios]}")
expect([c.name for f in found(pyatspi.ROLE_PANEL, "Config Register A3") for c in f].count("Update A3") == 1,
       "\"Config Register A3\" does not hold \"Update A3\"")
expect(len([t for t in found(pyatspi.ROLE_TEXT) if t.description.startswith("Read only: shows ")]) == 28,
       "the 28 read-only boxes are not all described")
expect(toggle("Fast Resume") == [], "Fast Resume changed the status line")
expect(toggle("Enable Backlight") == ["Ready1"], "the status line did not announce \"Ready1\"")
sys.exit(1 if problems else 0)
