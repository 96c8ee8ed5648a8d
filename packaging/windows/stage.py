#!/usr/bin/env python3
"""Lays out the Windows programs as they are installed: the programs, the DLLs they need, Qt's plug-ins and the
toolkit's translations, and qt.conf; and writes the installer's file lists.

The DLLs are found from the import tables (objdump -p) of the programs and plug-ins, and of each DLL found, in the
folders given with --dlls (Qt's and the MinGW runtime's); an import found in none of them is the system's.

Usage: stage.py --bin BUILD/bin --qt QT_PREFIX --translations DIR --dlls DIR... --out OUT
Writes OUT/dashcam-setting/ (the files) and OUT/install-files.nsh, OUT/uninstall-files.nsh.
"""
import argparse
import pathlib
import re
import shutil
import subprocess
import sys

PROGRAMS = ["dashcam-setting.exe", "dashcam-cfg.exe", "dashcam-cfg-desktop.exe", "dashcam-open-card.exe"]
# The window on the desktop, offscreen for dashcam-cfg screenshot, and the native look of the toolkit's dialogs.
PLUGINS = ["platforms/qwindows.dll", "platforms/qoffscreen.dll", "styles/qwindowsvistastyle.dll"]
# The locales of the interface languages that have the toolkit's texts (Yes, No, OK, Cancel).
LOCALES = ["fr", "ru", "ko", "es", "zh_CN", "zh_TW", "de", "it", "ja", "pt_BR", "th"]
OBJDUMP = "x86_64-w64-mingw32-objdump"


def imports(path):
    out = subprocess.run([OBJDUMP, "-p", str(path)], check=True, capture_output=True, text=True).stdout
    return re.findall(r"DLL Name: (\S+)", out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--bin", required=True, type=pathlib.Path)
    parser.add_argument("--qt", required=True, type=pathlib.Path)
    parser.add_argument("--translations", required=True, type=pathlib.Path)
    parser.add_argument("--dlls", nargs="+", required=True, type=pathlib.Path)
    parser.add_argument("--out", required=True, type=pathlib.Path)
    args = parser.parse_args()

    root = args.out / "dashcam-setting"
    if root.exists():
        shutil.rmtree(root)
    root.mkdir(parents=True)
    files = []

    def put(source, relative):
        target = root / relative
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        files.append(relative)

    for program in PROGRAMS:
        put(args.bin / program, program)
    for plugin in PLUGINS:
        put(args.qt / "plugins" / plugin, "plugins/" + plugin)
    for locale in LOCALES:
        qm = args.translations / f"qtbase_{locale}.qm"
        if qm.exists():
            put(qm, "translations/" + qm.name)
    (root / "qt.conf").write_text("[Paths]\nPrefix=.\n")
    files.append("qt.conf")

    available = {}
    for folder in args.dlls:
        for dll in folder.glob("*.dll"):
            available.setdefault(dll.name.lower(), dll)
    pending = [root / f for f in files if f.endswith((".exe", ".dll"))]
    copied = set()
    while pending:
        for name in imports(pending.pop()):
            dll = available.get(name.lower())
            if dll and dll.name.lower() not in copied:
                copied.add(dll.name.lower())
                put(dll, dll.name)
                pending.append(root / dll.name)

    # The installer's lists: each file into its folder, and the same files, then their folders, taken away.
    install, uninstall = [], []
    folders = {str(parent) for f in files for parent in pathlib.PurePosixPath(f).parents} - {"."}
    folders = sorted(folders, key=lambda f: (-f.count("/"), f))
    current = None
    for f in sorted(files):
        folder = str(pathlib.PurePosixPath(f).parent)
        if folder != current:
            install.append('SetOutPath "$INSTDIR{}"'.format("" if folder == "." else "\\" + folder.replace("/", "\\")))
            current = folder
        install.append('File "{}"'.format(root.resolve() / f))
        uninstall.append('Delete "$INSTDIR\\{}"'.format(f.replace("/", "\\")))
    for folder in folders:
        uninstall.append('RMDir "$INSTDIR\\{}"'.format(folder.replace("/", "\\")))
    (args.out / "install-files.nsh").write_text("\n".join(install) + "\n")
    (args.out / "uninstall-files.nsh").write_text("\n".join(uninstall) + "\n")
    print(f"{len(files)} files in {root}: {', '.join(sorted(copied))}")


if __name__ == "__main__":
    sys.exit(main())
