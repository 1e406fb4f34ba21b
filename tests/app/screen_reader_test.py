#!/usr/bin/env python3
"""The window as a screen reader sees it, through the desktop's accessibility bus.

Runs the window from a copy of its program folder, with a list and a menu of the test data
as the default files, in a virtual X server on a private D-Bus session. Checks that the
window is a frame "Tamsel" whose controls carry exactly the expected roles and names, and
that pressing Start through its accessible action converts the list into the menu.

Usage: screen_reader_test.py PROGRAM_FOLDER DATA_FOLDER
Exits 77 (skipped) when the accessibility packages are missing.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
INNER = "TAMSEL_SCREEN_READER_INNER"

EXPECTED = {
    ("combo box", "TXT File:"),
    ("combo box", "XML File (links.xml):"),
    ("combo box", "Folder:"),
    ("push button", "Browse for the list"),
    ("push button", "Browse for the menu"),
    ("push button", "Start >"),
    ("link", "\u00a9 2026 Tamsel authors"),
}
CONTROL_ROLES = {role for role, _ in EXPECTED}


def skip(why):
    print(f"SKIPPED: {why}; install the Debian packages at-spi2-core and python3-pyatspi "
          "(scripts/install-deps)")
    sys.exit(SKIPPED)


def outer(argv):
    """Checks the tools, then runs this script again in a private session and X server."""
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        skip(f"{sys.executable} cannot import pyatspi")
    for tool in ("dbus-run-session", "xvfb-run"):
        if not shutil.which(tool):
            skip(f"{tool} is missing")
    if not os.path.exists("/usr/libexec/at-spi-bus-launcher"):
        skip("the accessibility bus launcher is missing")
    env = dict(os.environ, **{INNER: "1"})
    command = ["dbus-run-session", "--", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24",
               sys.executable, os.path.abspath(__file__)] + argv[1:]
    return subprocess.run(command, env=env, timeout=170).returncode


def wait_for(what, probe, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    raise AssertionError(f"timed out waiting for {what}")


def descendants(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def prepare(program_folder, data_folder, work):
    """A copy of the program folder with the test list and menu as its default files."""
    folder = os.path.join(work, "program")
    shutil.copytree(program_folder, folder, symlinks=True)
    shutil.copyfile(os.path.join(data_folder, "lists", "handwritten-lf.txt"),
                    os.path.join(folder, "url.txt"))
    shutil.copyfile(os.path.join(data_folder, "menu", "Links.xml"),
                    os.path.join(folder, "FEATURES", "Links.xml"))
    # The run opens the menu's folder when it is done: no file manager here.
    tools = os.path.join(work, "tools")
    os.mkdir(tools)
    opener = os.path.join(tools, "xdg-open")
    with open(opener, "w") as script:
        script.write("#!/bin/sh\nexit 0\n")
    os.chmod(opener, 0o755)
    return folder, tools


def inner(program_folder, data_folder):
    import pyatspi

    with tempfile.TemporaryDirectory() as work:
        folder, tools = prepare(program_folder, data_folder, work)
        menu = os.path.join(folder, "FEATURES", "Links.xml")
        with open(menu, "rb") as f:
            before = f.read()
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   PATH=tools + os.pathsep + os.environ.get("PATH", ""))
        window = subprocess.Popen([os.path.join(folder, "tamsel")], env=env)
        try:
            desktop = pyatspi.Registry.getDesktop(0)

            def frame():
                for app in desktop:
                    if app is None:
                        continue
                    for child in app:
                        if child is not None and child.getRoleName() == "frame" \
                                and child.name == "Tamsel":
                            return child
                return None

            tamsel = wait_for('a frame "Tamsel"', frame)
            controls = [node for node in descendants(tamsel)
                        if node.getRoleName() in CONTROL_ROLES]
            named = {(node.getRoleName(), node.name) for node in controls}
            assert named == EXPECTED and len(controls) == len(EXPECTED), \
                f"controls seen: {sorted((n.getRoleName(), n.name) for n in controls)}"

            for box in (n for n in controls if n.getRoleName() == "combo box"):
                labels = [target.name for relation in box.getRelationSet()
                          if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                          for target in (relation.getTarget(i)
                                         for i in range(relation.getNTargets()))]
                assert labels, f"the box {box.name!r} has no label"

            start = next(n for n in controls if n.name == "Start >")
            action = start.queryAction()
            names = [action.getName(i) for i in range(action.nActions)]
            assert names, "Start offers no action"
            action.doAction(0)

            def changed():
                with open(menu, "rb") as f:
                    return f.read() != before
            wait_for("the conversion to change the menu", changed)
            assert window.poll() is None, f"the window ended with {window.returncode}"
            print(f"OK: {len(controls)} controls named; Start's action "
                  f"{names[0]!r} converted the list")
            return 0
        finally:
            window.terminate()
            try:
                window.wait(timeout=10)
            except subprocess.TimeoutExpired:
                window.kill()


def main(argv):
    if len(argv) != 3:
        print(__doc__)
        return 2
    if os.environ.get(INNER) != "1":
        return outer(argv)
    return inner(argv[1], argv[2])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
