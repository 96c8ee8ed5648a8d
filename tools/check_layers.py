#!/usr/bin/env python3
"""Checks the floors of the source tree: every #include under src/ points to the including file's own floor or one
below it, the toolkit (Qt) is included only from the user-interface floor up, apart from the platform's named
Qt adapters, and the record, language and time-zone floors have no branch for one system. docs/architecture.md draws the same floors. Prints each offending include; exits 1 if there is one.

Usage: check_layers.py [source root]   (the default is the checkout this script sits in)
"""
import pathlib
import re
import sys

# Each floor: the folders it is made of (the first match wins, so the narrower folder comes first), the floors it
# may include, and whether it may include the toolkit.
FLOORS = {
    "platform": (["src/platform"], set(), False),
    "settings": (["src/settings"], {"platform"}, False),
    # The pages declared as tables: what the window builds them from and the command line takes its rules from.
    "forms": (["src/forms"], {"settings", "platform"}, False),
    "i18n": (["src/i18n"], {"settings", "platform"}, False),
    "timezone": (["src/timezone"], {"i18n", "settings", "platform"}, False),
    "ui": (["src/ui"], {"forms", "timezone", "i18n", "settings", "platform"}, True),
    "pages": (["src/pages"], {"ui", "forms", "timezone", "i18n", "settings", "platform"}, True),
    "app": (["src/app"], {"pages", "ui", "forms", "timezone", "i18n", "settings", "platform"}, True),
    # dashcam-cfg's commands build without the toolkit (also for Windows); only its desktop commands (screenshots,
    # the format with the desktop's disk service) reach the window.
    "cli-desktop": (["src/cli/desktop"],
                    {"cli", "app", "pages", "ui", "forms", "timezone", "i18n", "settings", "platform"}, True),
    "cli": (["src/cli"], {"forms", "timezone", "i18n", "settings", "platform"}, False),
    "launcher": (["src/launcher"], {"ui", "forms", "i18n", "settings", "platform"}, True),
}

# The platform's adapters onto the toolkit's own services, each built into a library of its own that only the
# programs link: the system's time-zone database through Qt Core, and UDisks2 through Qt D-Bus.
TOOLKIT_ADAPTERS = {
    "src/platform/posix/qt_time_zone_source.cpp",
    "src/platform/posix/udisks_volume_formatter.cpp",
}

# The floors whose rules are the same on every system: their system-specific halves live in platform/posix and
# platform/win32.
SYSTEM_FREE = {"settings", "forms", "i18n", "timezone"}
SYSTEM_CONDITIONAL = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b(_WIN32|_WIN64|__linux__|__unix__|__APPLE__|Q_OS_[A-Z]+)\b")

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
TOOLKIT = re.compile(r"^Q[A-Za-z]*(/|$)|^Qt[A-Za-z]*/")


def floor_of(relative):
    """The floor a path under the root belongs to, or None outside src/'s floors."""
    for name, (folders, _, _) in FLOORS.items():
        for folder in folders:
            if relative == folder or relative.startswith(folder + "/"):
                return name
    return None


def included_path(root, source, quote, name):
    """The file an include names, relative to root: beside the source first (quoted form), then under src/."""
    if quote == '"':
        beside = source.parent / name
        if beside.is_file():
            return beside.resolve().relative_to(root).as_posix()
    under_src = root / "src" / name
    if under_src.is_file():
        return under_src.relative_to(root).as_posix()
    return None


def problems(root):
    found = []
    for source in sorted((root / "src").rglob("*")):
        if source.suffix not in (".h", ".cpp") or not source.is_file():
            continue
        relative = source.relative_to(root).as_posix()
        floor = floor_of(relative)
        if floor is None:
            found.append(f"{relative}: not on any floor (add its folder to tools/check_layers.py)")
            continue
        _, allowed, toolkit = FLOORS[floor]
        for number, line in enumerate(source.read_text(encoding="utf-8").splitlines(), 1):
            if floor in SYSTEM_FREE and SYSTEM_CONDITIONAL.match(line):
                found.append(f"{relative}:{number}: a system-specific branch on the {floor} floor")
            match = INCLUDE.match(line)
            if not match:
                continue
            quote, name = match.groups()
            if TOOLKIT.match(name):
                if not toolkit and relative not in TOOLKIT_ADAPTERS:
                    found.append(f"{relative}:{number}: the toolkit ({name}) below the user-interface floor")
                continue
            target = included_path(root, source, quote, name)
            if target is None:
                continue  # a system or library header
            target_floor = floor_of(target)
            if target_floor is not None and target_floor != floor and target_floor not in allowed:
                found.append(f"{relative}:{number}: {floor} includes {target} from the {target_floor} floor")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    root = root.resolve()
    found = problems(root)
    for problem in found:
        print(problem)
    if found:
        print(f"{len(found)} problem(s) with the floors; docs/architecture.md says where things go.")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
