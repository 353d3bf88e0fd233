#!/usr/bin/env python3
"""The desktop program as a screen reader sees it: through the accessibility
bus (AT-SPI), on a private X server and a private D-Bus session, against the
radio simulator.

It reads the bank into the window, then finds the window's controls by their
accessible names, reads rig table cells with their column headers and row
labels, hears the check boxes' state and the status texts' changes, walks the
tab order with the keyboard, opens the tables' pop-up menu with Shift+F10 and
the Menu key, reads the duplex offsets dialog, and closes the program.

    accessibility_bus_test.py --tarnwick PATH --civsim PATH

Exit status: 0 passed, 1 failed, 77 skipped (a tool it needs is missing).
"""

import argparse
import os
import random
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP = 77
# The whole check, start to end; each wait below is bounded by it too.
TOTAL_SECONDS = 60
INNER_FLAG = "--inner"

# Keycodes of the X server's default keymap (Xvfb starts with it).
KEY_TAB, KEY_ESCAPE, KEY_F10, KEY_MENU = 23, 9, 76, 135
KEY_SHIFT, KEY_CONTROL = 50, 37

IC746_INDEX, IC746_ADDRESS = 19, 86
COLUMNS = ["#", "Frequency", "Name", "Mode", "Filter", "Duplex", "Tx Frequency",
           "Repeater Tone", "Tone Squelch", "Select", "Changed"]
MEMORIES = """\
offsets hf=130000 50=900000 144=600000
mem 1 freq=3650000 mode=LSB filter=normal name="NET"
mem 2 freq=14195000 mode=USB filter=wide select=1 name="CONTEST"
"""


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIP)


class Failed(Exception):
    pass


# --- Outside the private D-Bus session: the X server --------------------------

def missing_tools():
    for tool, package in [("Xvfb", "xvfb"), ("dbus-run-session", "dbus-daemon"),
                          ("dbus-daemon", "dbus-daemon")]:
        if shutil.which(tool) is None:
            return f"{tool} is not installed (Debian package {package})"
    if not any(os.path.exists(os.path.join(d, "dbus-1/services/org.a11y.Bus.service"))
               for d in os.environ.get("XDG_DATA_DIRS", "/usr/local/share:/usr/share").split(":")):
        return "the AT-SPI bus is not installed (Debian package at-spi2-core)"
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        return f"pyatspi is missing for {sys.executable} (Debian package python3-pyatspi)"
    return None


def start_xvfb():
    """A private X server on a free display number (never :98 or :99)."""
    numbers = [n for n in range(110, 1000) if n not in (98, 99)]
    random.shuffle(numbers)
    for n in numbers[:30]:
        if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
            continue
        read_end, write_end = os.pipe()
        server = subprocess.Popen(
            ["Xvfb", f":{n}", "-displayfd", str(write_end), "-nolisten", "tcp",
             "-screen", "0", "1024x768x24"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # The number comes back once the server listens; nothing if it gave up.
        with os.fdopen(read_end) as ready:
            if ready.readline().strip() == str(n):
                return server, n
        server.wait()
    raise Failed("no free X display found")


def outer(argv):
    reason = missing_tools()
    if reason:
        skip(reason)
    server, display = start_xvfb()
    try:
        env = dict(os.environ, DISPLAY=f":{display}")
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        env.pop("AT_SPI_BUS_ADDRESS", None)
        child = subprocess.Popen(["dbus-run-session", "--", sys.executable, __file__, INNER_FLAG]
                                 + argv, env=env, start_new_session=True)
        try:
            return child.wait(timeout=TOTAL_SECONDS + 10)
        except subprocess.TimeoutExpired:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()
            print("FAILED: the check did not end in time")
            return 1
    finally:
        server.terminate()
        server.wait()


# --- Inside the session: the simulator, the program, and what AT-SPI shows ----

class Bus:
    """The accessibility bus as a screen reader uses it, with the events that
    came since the last look."""

    def __init__(self, deadline):
        import pyatspi
        from gi.repository import Atspi, Gio, GLib
        self.pyatspi = pyatspi
        self.GLib = GLib
        self.deadline = deadline
        self.context = GLib.MainContext.default()
        # A debug build under the sanitizers can be slow to answer.
        Atspi.set_timeout(5000, 15000)
        self.events = []
        self.renamed = []
        pyatspi.Registry.registerEventListener(
            self.events.append, "object:state-changed:focused")
        pyatspi.Registry.registerEventListener(
            lambda e: self.renamed.append(e.source), "object:property-change:accessible-name")
        self.desktop = pyatspi.Registry.getDesktop(0)
        # A connection of our own for actions whose end we do not wait for.
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
        address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                                    None, GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, -1,
                                    None).unpack()[0]
        self.a11y = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
            | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION, None, None)

    def pump(self):
        while self.context.pending():
            self.context.iteration(False)

    def wait_for(self, what, probe, seconds=10.0):
        end = min(time.monotonic() + seconds, self.deadline)
        while True:
            self.pump()
            value = probe()
            if value:
                return value
            if time.monotonic() > end:
                raise Failed(f"timed out waiting for {what}")
            time.sleep(0.02)

    def focus_events(self):
        """Objects that gained the focus since the last call."""
        gained = [e.source for e in self.events
                  if e.type == "object:state-changed:focused" and e.detail1 == 1]
        self.events.clear()
        return gained

    def keys(self, *keycodes):
        """Presses the keys in order and releases them in reverse: a chord."""
        registry = self.pyatspi.Registry
        for code in keycodes:
            registry.generateKeyboardEvent(code, None, self.pyatspi.KEY_PRESS)
        for code in reversed(keycodes):
            registry.generateKeyboardEvent(code, None, self.pyatspi.KEY_RELEASE)

    def start_action(self, accessible, action):
        """Starts an action (a button's or a menu entry's "Press") and goes on:
        the program answers only when a dialog the action opens has closed."""
        actions = accessible.queryAction()
        index = next((i for i in range(actions.nActions) if actions.getName(i) == action), None)
        if index is None:
            raise Failed(f"{accessible.name!r} has no action {action!r}")

        def finished(connection, result):
            try:
                connection.call_finish(result)
            except self.GLib.Error:
                pass  # the program ended meanwhile
        self.a11y.call(accessible.app.bus_name, accessible.path, "org.a11y.atspi.Action",
                       "DoAction", self.GLib.Variant("(i)", (index,)), None, 0, -1, None,
                       finished)

    def click(self, accessible):
        box = accessible.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        self.pyatspi.Registry.generateMouseEvent(box.x + box.width // 2,
                                                 box.y + box.height // 2, "b1c")


def descendants(accessible, skip_roles=("table", "list")):
    """The tree under an object, without the insides of tables and lists."""
    for child in accessible:
        if child is None:
            continue
        yield child
        if child.getRoleName() not in skip_roles:
            yield from descendants(child, skip_roles)


class Check:
    def __init__(self):
        self.failures = []
        self.passed = 0

    def equal(self, what, got, expected):
        if got == expected:
            self.passed += 1
        else:
            self.failures.append(f"{what}: got {got!r}, expected {expected!r}")

    def true(self, what, condition):
        self.equal(what, bool(condition), True)


def write_settings(root, link):
    config = os.path.join(root, "config", "Morvane-soft")
    os.makedirs(config)
    os.makedirs(os.path.join(root, "documents"))
    with open(os.path.join(config, "rigbench.conf"), "w") as f:
        f.write(f"[General]\nport=COM2\nportnum=2\nspeed=19200\nmodel={IC746_INDEX}\n"
                f"adr={IC746_ADDRESS}\n\n[qdl]\npath={root}/documents/\nports\\COM2={link}\n")


def start_programs(root, args):
    memories = os.path.join(root, "memories.txt")
    with open(memories, "w") as f:
        f.write(MEMORIES)
    link = os.path.join(root, "radio")
    sim = subprocess.Popen([args.civsim, "--model", "IC-746", "--file", memories, "--link", link],
                           stdout=subprocess.PIPE, stderr=open(os.path.join(root, "civsim.err"), "w"))
    if not sim.stdout.readline():
        raise Failed("civsim did not start: " + open(os.path.join(root, "civsim.err")).read())
    write_settings(root, link)
    runtime = os.path.join(root, "runtime")
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(root, "config"),
               XDG_STATE_HOME=os.path.join(root, "state"),
               XDG_DATA_HOME=os.path.join(root, "data"), XDG_RUNTIME_DIR=runtime,
               QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    # Leaks inside Qt's and D-Bus's own libraries (caches kept until exit)
    # are theirs, as in the other tests of the program.
    env.setdefault("LSAN_OPTIONS", "suppressions=" + os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "lsan.supp"))
    log = open(os.path.join(root, "tarnwick.log"), "w")
    program = subprocess.Popen([args.tarnwick], env=env, stdout=log, stderr=subprocess.STDOUT)
    return sim, program


def find(root, name, role=None):
    for a in descendants(root):
        if a.name == name and (role is None or a.getRoleName() == role):
            return a
    return None


def check_controls(bus, frame, check):
    """Every control a user reaches, by the name a screen reader reads."""
    for name in ["Save permanent file", "Save permanent file as", "Open permanent file",
                 "Save rig table", "Save rig table as", "Open rig table", "Store to Rig"]:
        check.true(f"tool-bar button {name!r}", find(frame, name, "push button"))
    check.true("LED", find(frame, "Radio link: up (green)"))
    check.equal("clear buttons of the filter fields",
                sum(a.name == "Clear filter" for a in descendants(frame)), 2)
    check_all_named(frame, "the main window", check)
    address = find(frame, "CI-V Adress", "text")
    check.true("address edit", address)
    if address:
        check.equal("address text", address.queryText().getText(0, -1), "56")
    for name in ["Radio model: IC-746", "Serial port: COM2: 19200",
                 "Rig file name: icommem1.txt", "Divider between the tables"]:
        check.true(f"{name!r}", find(frame, name))
    # Linux screen readers name a combo box by its item and its caption label.
    band = next((a for a in descendants(frame) if a.getRoleName() == "combo box"), None)
    check.true("band box", band)
    if band:
        labels = [target.name for r in band.getRelationSet()
                  if r.getRelationType() == bus.pyatspi.RELATION_LABELLED_BY
                  for target in (r.getTarget(i) for i in range(r.getNTargets()))]
        check.equal("band box caption", labels, ["IC-910 band"])
        check.true("band box takes the focus", band.getState().contains(
            bus.pyatspi.STATE_FOCUSABLE))
        # The IC-746 has no bands: the box is there for the IC-910 alone.
        check.true("no band box shown for the IC-746", not showing(bus, band))


# Roles a screen reader reads out as controls: each needs a name.
CONTROL_ROLES = {"push button", "toggle button", "check box", "radio button", "text",
                 "combo box", "menu item", "check menu item", "radio menu item", "menu",
                 "spin button", "slider", "page tab", "table", "tree table", "list"}


def check_all_named(window, what, check):
    """Every control of a window (tables and lists as one) is named."""
    unnamed = [f"{a.getRoleName()} in {a.parent.name or a.parent.getRoleName()!r}"
               for a in descendants(window)
               if a.getRoleName() in CONTROL_ROLES and not a.name.strip() and not labelled(a)]
    check.equal(f"unnamed controls in {what}", unnamed, [])


def labelled(accessible):
    return any(r.getRelationType() == 2 for r in accessible.getRelationSet())  # LABELLED_BY


def check_rig_table(bus, rig, check):
    table = rig.queryTable()
    check.equal("rig table size", (table.nRows, table.nColumns), (102, len(COLUMNS)))
    for col, header in enumerate(COLUMNS):
        check.equal(f"column header {col}", table.getColumnHeader(col).name, header)
    expected = {(0, 1): "3,650.00", (0, 2): "NET", (0, 3): "LSB", (1, 1): "14,195.00",
                (1, 2): "CONTEST", (1, 4): "Wide", (2, 1): "", (100, 0): "P2"}
    for (row, col), text in expected.items():
        cell = table.getAccessibleAt(row, col)
        check.equal(f"cell {COLUMNS[col]} of row {row + 1}", cell.name.strip(), text)
        # What a screen reader says beside a cell: its column and its row.
        check.equal(f"header of row {row + 1}", table.getRowHeader(row).name,
                    "P2" if row == 100 else str(row + 1))
    select = COLUMNS.index("Select")
    for row, ticked in [(0, False), (1, True)]:
        cell = table.getAccessibleAt(row, select)
        check.equal(f"check box of row {row + 1}", cell.name,
                    "ticked" if ticked else "not ticked")
        check.equal(f"checked state of row {row + 1}",
                    cell.getState().contains(bus.pyatspi.STATE_CHECKED), ticked)
        check.equal("description of the Select column", cell.description, "Select Flag")


def press_for_focus(bus, keys, expected):
    """Presses keys and waits for the focus to reach the object named
    `expected` (a cell stands for its table)."""
    bus.pump()
    bus.focus_events()
    keys()
    seen = []

    def reached():
        for source in bus.focus_events():
            if source.getRoleName() == "table cell":
                source = source.parent
            seen.append(source.name)
            if source.name == expected:
                return source
    try:
        return bus.wait_for(f"the focus on {expected!r}", reached, seconds=5)
    except Failed as e:
        raise Failed(f"{e}; it went to {seen}")


def check_tab_order(bus, check):
    tab = lambda: bus.keys(KEY_TAB)
    ctrl_tab = lambda: bus.keys(KEY_CONTROL, KEY_TAB)
    walk = [(ctrl_tab, "Save permanent file"), (tab, "Save permanent file as"),
            (tab, "Open permanent file"), (tab, "Filter permanent file"),
            (tab, "Permanent file"),
            (ctrl_tab, "Save rig table"), (tab, "Save rig table as"), (tab, "Open rig table"),
            (tab, "Store to Rig"), (tab, "CI-V Adress"), (tab, "Filter rig table"),
            (tab, "Rig table"),
            (lambda: bus.keys(KEY_CONTROL, KEY_SHIFT, KEY_TAB), "Filter rig table")]
    for press, name in walk:
        check.true(f"the keyboard reaches {name!r}", press_for_focus(bus, press, name))


def check_popup(bus, keys, check):
    # Opened by a key, the menu has its first entry highlighted.
    item = press_for_focus(bus, lambda: bus.keys(*keys), "Mark All as Changed")
    menu = item.parent
    bus.wait_for("the pop-up menu", lambda: showing(bus, menu))
    check.equal("pop-up menu name", menu.name, "Rig table commands")
    entries = {a.name: a.getState().contains(bus.pyatspi.STATE_ENABLED)
               for a in menu if a.getRoleName() == "menu item"}
    for name in ["Mark All as Changed", "Mark None as Changed", "Font...",
                 "Show horizontal gridlines", "Show vertical gridlines", "Insert Row",
                 "Delete Row", "Tune to Row", "Cut", "Copy", "Paste"]:
        check.equal(f"pop-up entry {name!r} there and enabled", entries.get(name), True)
    bus.keys(KEY_ESCAPE)
    bus.wait_for("the pop-up menu to close", lambda: not showing(bus, menu))


def windows(app):
    """The program's windows; one may go (None) while it ends."""
    return [w for w in app if w is not None]


def showing(bus, accessible):
    return accessible.getState().contains(bus.pyatspi.STATE_SHOWING)


def top_window(bus, app, role):
    return bus.wait_for(f"a {role}", lambda: next(
        (w for w in windows(app) if w.getRoleName() == role and showing(bus, w)), None))


def check_offsets_dialog(bus, frame, app, check):
    """A dialog and a box in it, as a screen reader finds them."""
    bus.start_action(find(frame, "Edit Duplex Offsets (746, 746Pro) ...", "menu item"), "Press")
    dialog = top_window(bus, app, "dialog")
    check.equal("dialog title", dialog.name, "746(Pro) Duplex Offsets")
    # The offsets the read learned from the radio.
    for name, value in [("HF Duplex Offset", "130"), ("50MHz Duplex Offset", "900"),
                        ("144MHz Duplex Offset", "600")]:
        edit = find(dialog, name, "text")
        check.equal(f"offset {name!r}", edit and edit.queryText().getText(0, -1), value)
    check.true("the dialog's note", find(dialog, "Enter values in full kHz only, no decimals."))
    check_all_named(dialog, "the offsets dialog", check)

    find(dialog, "HF Duplex Offset", "text").queryEditableText().setTextContents("12x")
    bus.start_action(find(dialog, "OK", "push button"), "Press")
    box = top_window(bus, app, "alert")
    check.true("the box's message", find(box, "'12x' is not a valid integer value"))
    check_all_named(box, "a box", check)
    bus.start_action(find(box, "OK", "push button"), "Press")
    bus.wait_for("the box to close", lambda: not showing(bus, box))
    bus.start_action(find(dialog, "Abort", "push button"), "Press")
    bus.wait_for("the dialog to close", lambda: not showing(bus, dialog))


def check_dialogs_named(bus, frame, app, check):
    """The other dialogs of the menus, each opened, looked at and closed."""
    for entry in ["Device...", "Set for Selected Rows...", "Keyboard Shortcuts",
                  "About Tarnwick", "Font ...", "Open Rig Table..."]:
        bus.start_action(find(frame, entry, "menu item"), "Press")
        dialog = bus.wait_for(f"the dialog of {entry!r}", lambda: next(
            (w for w in windows(app) if w.getRoleName() in ("dialog", "alert", "file chooser")
             and showing(bus, w)), None))
        check_all_named(dialog, f"the dialog of {entry!r}", check)
        # Every one of them has one of these buttons shown; Cancel first.
        bus.start_action(next(a for name in ("Cancel", "Close", "OK") for a in descendants(dialog)
                              if a.name == name and a.getRoleName() == "push button"
                              and showing(bus, a)), "Press")
        bus.wait_for(f"the dialog of {entry!r} to close", lambda: not showing(bus, dialog))


def close_program(bus, frame, app, program, check):
    """File, Exit, answering each question with No, as a screen reader
    user hears them."""
    bus.start_action(find(frame, "Exit", "menu item"), "Press")
    questions = []

    def ended_or_asked():
        if program.poll() is not None:
            return True
        try:
            box = next((w for w in windows(app)
                        if w.getRoleName() == "alert" and showing(bus, w)), None)
            if box is None or box in questions:
                return None
            questions.append(box)
            # The question is a label of the box; its buttons say the answers.
            texts = [a.name for a in descendants(box) if a.getRoleName() == "label" and a.name]
            answers = [a.name for a in descendants(box) if a.getRoleName() == "push button"]
            check.equal("closing question", (texts, answers),
                        (["Permanent File has changed. Save before exiting?"],
                         ["Yes", "No", "Abort"]))
            bus.start_action(find(box, "No", "push button"), "Press")
        except bus.GLib.Error:
            pass  # the program ended while we looked
        return None
    bus.wait_for("the program to end on File, Exit", ended_or_asked)
    # The read copied the bank into the permanent file: one question.
    check.equal("questions on closing", len(questions), 1)
    check.equal("the program's exit status", program.returncode, 0)


def inner(args):
    deadline = time.monotonic() + TOTAL_SECONDS
    check = Check()
    bus = Bus(deadline)
    root = tempfile.mkdtemp(prefix="tarnwick-a11y-")
    sim = program = None
    started = time.monotonic()
    try:
        sim, program = start_programs(root, args)
        app = bus.wait_for("the program on the bus", lambda: next(
            (a for a in bus.desktop if a is not None and a.get_process_id() == program.pid
             and a.childCount > 0), None))
        frame = bus.wait_for("the main window", lambda: next(
            (w for w in windows(app) if w.getRoleName() == "frame"), None))
        status = bus.wait_for("the engine's state", lambda: next(
            (a for a in descendants(frame) if a.name.startswith("Engine state: ")), None))
        bus.wait_for("the read to end", lambda: status.name == "Engine state: Ready", seconds=30)
        print(f"read from the simulator in {time.monotonic() - started:.1f} s")
        # Each new status text is an event, heard without moving the focus.
        check.true("the status changes were announced", status in bus.renamed)

        # The program as the desktop and a screen reader list it.
        check.equal("application name", app.name, "Tarnwick")
        check_controls(bus, frame, check)
        rig = find(frame, "Rig table", "table")
        check_rig_table(bus, rig, check)

        # Into the rig table by a click on a row label, as a sighted helper
        # would; everything after is the keyboard.
        label = rig.queryTable().getAccessibleAt(2, 0)
        press_for_focus(bus, lambda: bus.click(label), "Rig table")
        check_popup(bus, [KEY_SHIFT, KEY_F10], check)
        check_popup(bus, [KEY_MENU], check)
        check_tab_order(bus, check)
        check_offsets_dialog(bus, frame, app, check)
        check_dialogs_named(bus, frame, app, check)

        close_program(bus, frame, app, program, check)
    except Failed as e:
        check.failures.append(str(e))
    except Exception:  # noqa: BLE001 - a broken look is a failure, reported whole
        check.failures.append(traceback.format_exc())
    finally:
        for p in (program, sim):
            if p is not None and p.poll() is None:
                p.terminate()
                try:
                    p.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    p.kill()
                    p.wait()
    print(f"checked in {time.monotonic() - started:.1f} s")
    for failure in check.failures:
        print(f"FAILED: {failure}")
    log = os.path.join(root, "tarnwick.log")
    if check.failures and os.path.exists(log):
        print("--- tarnwick's output ---")
        print(open(log).read())
    shutil.rmtree(root, ignore_errors=True)
    print(f"{check.passed} passed, {len(check.failures)} failed")
    return 1 if check.failures else 0


def main():
    argv = sys.argv[1:]
    is_inner = argv[:1] == [INNER_FLAG]
    if is_inner:
        argv = argv[1:]
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tarnwick", required=True)
    parser.add_argument("--civsim", required=True)
    args = parser.parse_args(argv)
    try:
        return inner(args) if is_inner else outer(argv)
    except Failed as e:
        print(f"FAILED: {e}")
        return 1


if __name__ == "__main__":
    sys.exit(main())
