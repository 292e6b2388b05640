"""The program's accessible tree as a screen reader reads it over AT-SPI.

Run by accessibility_tree.sh inside a private session bus, with the program already showing its
window. Checks the roles, names and actions of the controls, presses a coefficient letter
through AT-SPI and cancels the dialog it opens, and moves the time cursor through AT-SPI and
listens for the scroll bar's new description. Prints one line per check; exits with 1 when a
check fails.

Usage: accessibility_tree.py PID TIMEOUT SAMPLE-INDEX "X Y"
  PID           the program's process
  TIMEOUT       seconds to wait for anything the program should do
  SAMPLE-INDEX  the sample to move the time cursor to
  "X Y"         the exact values of that sample, from sample.awk
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

pid = int(sys.argv[1])
timeout = float(sys.argv[2])
sample = int(sys.argv[3])
exact_x, exact_y = (float(v) for v in sys.argv[4].split())

# The start-up coefficients A to F as the letters' names say them.
LETTERS = {
    "A": "Parámetro A, valor 4",
    "B": "Parámetro B, valor 0",
    "C": "Parámetro C, valor -1",
    "D": "Parámetro D, valor -4",
    "E": "Parámetro E, valor 1",
    "F": "Parámetro F, valor 0",
}
NAMED_CONTROLS = [
    ("chart", "Plano de fases"),
    ("chart", "x frente al tiempo"),
    ("chart", "y frente al tiempo"),
    ("scroll bar", "Cursor de tiempo"),
    ("text", "Valor t resaltado"),
    ("text", "Valor x resaltado"),
    ("text", "Valor y resaltado"),
    ("text", "Valor x inicial"),
    ("text", "Valor y inicial"),
    ("text", "Intervalo de tiempo"),
    ("push button", "Calcular"),
]
# The two equations, each one group read as a formula, the letters inside it.
EQUATIONS = {
    "x prima igual a x por (4 + 0 x \u2212 1 y)": "ABC",
    "y prima igual a y por (\u22124 + 1 x + 0 y)": "DEF",
}
# The keyboard's crosshair stands on the start-up initial point.
PLANE_POINT = "Punto elegido: x = 5; y = 5."
DIALOG_TITLE = "Modificación de datos"
TIME_STEP = 0.02  # the start-up time step

failed = False


def check(ok, what):
    global failed
    failed = failed or not ok
    print(f"  {'ok  ' if ok else 'FAIL'} {what}", flush=True)
    return ok


def give_up(what):
    check(False, what)
    sys.exit(1)


def pump():
    """Lets the AT-SPI library deliver the events that have arrived."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(condition, what):
    """Polls condition until it returns something true; gives up after the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        pump()
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            give_up(f"{what} (nothing within {timeout:g} s)")
        time.sleep(0.05)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def descendants(accessible):
    for child in children(accessible):
        yield child
        yield from descendants(child)


def action_names(accessible):
    try:
        actions = accessible.queryAction()
    except NotImplementedError:
        return []
    return [actions.getName(i) for i in range(actions.nActions)]


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def number_of(text):
    return float(text.replace(",", "."))


def dialog(app):
    for child in children(app):
        if child.getRoleName() == "dialog" and child.name == DIALOG_TITLE:
            return child
    return None


def main():
    app = wait_for(application, f"process {pid} in the accessible tree")
    window = wait_for(lambda: [c for c in children(app) if c.name.startswith("Representación")],
                      "the window in the accessible tree")[0]
    print("== the window and its controls")
    check(window.getRoleName() == "frame", f"the window {window.name!r} is a frame ({window.getRoleName()})")
    controls = children(window)
    by_name = {c.name: c for c in controls}
    for role, name in NAMED_CONTROLS:
        control = by_name.get(name)
        check(control is not None and control.getRoleName() == role,
              f"{role} {name!r}" + ("" if control else " is missing"))
    for chart in (c for c in controls if c.getRoleName() == "chart"):
        check(chart.childCount == 0, f"chart {chart.name!r} has no parts (it has {chart.childCount})")
    fillers = [c for c in descendants(app) if c.getRoleName() == "filler" and not c.name]
    check(not fillers, f"no unnamed fillers in the tree ({len(fillers)} found)")

    print("== the equations and the coefficient letters")
    plane = by_name.get("Plano de fases")
    check(plane is not None and plane.description.startswith(PLANE_POINT),
          f"the phase plane tells its point: {plane.description if plane else None!r}")
    for formula, letters in EQUATIONS.items():
        group = by_name.get(formula)
        if not check(group is not None, f"the equation {formula!r} is one group"):
            continue
        check(group.getRoleName() in ("panel", "grouping"), f"{formula!r} is a group ({group.getRoleName()})")
        inside = [c.name for c in children(group)]
        for letter in letters:
            check(LETTERS[letter] in inside, f"letter {letter} is inside its equation")
    letters_by_name = {c.name: c for c in descendants(window) if c.name in LETTERS.values()}
    for letter, name in LETTERS.items():
        control = letters_by_name.get(name)
        if not check(control is not None, f"letter {letter} is named {name!r}"):
            continue
        role = control.getRoleName()
        check(role == "push button", f"letter {letter} is a push button ({role})")
        actions = action_names(control)
        check(actions[:1] == ["Press"], f"letter {letter} has Press as its first action {actions}")

    print("== pressing letter F through AT-SPI")
    letter = letters_by_name.get(LETTERS["F"])
    if letter is None:
        give_up("no letter F to press")
    # A press that waited for the dialog to close would hold the screen reader until D-Bus gives up.
    try:
        check(letter.queryAction().doAction(0), "the press action answers at once")
    except GLib.Error as error:
        give_up(f"the press action answers at once ({error.message})")
    opened = wait_for(lambda: dialog(app), f"the dialog {DIALOG_TITLE!r} opens")
    prompts = [c.name for c in descendants(opened) if c.getRoleName() == "label"]
    check("Nuevo valor del parámetro F" in prompts, f"the dialog asks for parameter F {prompts}")
    # Escape, as a person would; the dialog's own window has the keyboard focus.
    search = ["xdotool", "search", "--onlyvisible", "--pid", str(pid), "--name", DIALOG_TITLE]
    dialog_windows = wait_for(lambda: subprocess.run(search, capture_output=True, text=True).stdout.split(),
                              "the dialog's X window")
    subprocess.run(["xdotool", "key", "--window", dialog_windows[0], "Escape"], check=True)
    wait_for(lambda: dialog(app) is None, "the dialog closes on Escape")
    check(True, "the dialog closed on Escape")
    check(letter.name == LETTERS["F"], f"cancelled, letter F still says {letter.name!r}")

    print(f"== the time cursor moved to sample {sample} through AT-SPI")
    bar = by_name["Cursor de tiempo"]
    announced = []

    def on_description_changed(event):
        if event.source.name == bar.name:
            announced.append(event.source.description)

    pyatspi.Registry.registerEventListener(on_description_changed,
                                           "object:property-change:accessible-description")
    bar.queryValue().currentValue = sample
    wait_for(lambda: announced, "an announcement of the scroll bar's new description")
    readouts = [text_of(by_name[f"Valor {v} resaltado"]) for v in "txy"]
    expected = "t = {}; x = {}; y = {}".format(*readouts)
    check(announced[-1] == expected, f"announced {announced[-1]!r}, the read-outs' texts")
    check(bar.description == expected, f"the description stays {bar.description!r}")
    t_text, x_text, y_text = readouts
    check(t_text == f"{sample * TIME_STEP:g}".replace(".", ","), f"t reads {t_text!r} with a decimal comma")
    check(abs(number_of(x_text) - exact_x) <= 0.0005 + 1e-9, f"x reads {x_text!r} for {exact_x:.6f}")
    check(abs(number_of(y_text) - exact_y) <= 0.0005 + 1e-9, f"y reads {y_text!r} for {exact_y:.6f}")


main()
sys.exit(1 if failed else 0)
