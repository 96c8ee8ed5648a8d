#!/usr/bin/env python3
"""Writes src/platform/posix/windows_zone_table.cpp: the Windows time zones that the editor lists off Windows.

For every zone that Windows lists: its key name and display text as Windows shows them, its standard and daylight
names, and the tz database zone whose rules it takes at run time (CLDR's mapping for the territory "001"). Also
every tz zone that CLDR maps to a Windows zone in any territory, so that the PC's own zone finds its Windows zone.

The sources are pinned: each is named below with its version and its SHA-256, and a file that does not match is
refused. Give their paths:

  tools/make_windows_zone_table.py --display windows-displaynames.json --names kernelbase.dll \
      --cldr windowsZones.json [--output src/platform/posix/windows_zone_table.cpp] [--check]

--check compares with the file that is there instead of writing it (exit 1 when they differ).
"""
import argparse
import hashlib
import json
import re
import sys
from pathlib import Path

# The zones Windows lists and the texts it shows for them (its en-US display names), as the repository
# github.com/mattjohnsonpint/TimeZoneNames keeps them from Windows.
DISPLAY_SOURCE = {
    "what": "mattjohnsonpint/TimeZoneNames at commit 4ce9c0813b90aa846eff2495217c1af474379528, "
            "src/TimeZoneNames.DataBuilder/data/windows-displaynames.json (locale en-US)",
    "sha256": "2475940c1c119fff66f3a01615416be915806d24e8f034f24b97023402b3ba58",
}
# The standard and daylight names ("Std", "Dlt") of the registry's Time Zones key, as Wine ships them: the
# registry script inside kernelbase.dll of Debian's libwine 8.0~repack-4 (amd64),
# /usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernelbase.dll. Only the names are taken from it: its display
# texts and rules are older than Windows' own in places.
NAMES_SOURCE = {
    "what": "Debian libwine 8.0~repack-4 (amd64), x86_64-windows/kernelbase.dll, its Time Zones registry script",
    "sha256": "d458d04a2a9b7e67bbec6d62d7ba67c80b7e01661917e1793414a810604014a5",
}
# CLDR's mapping of Windows zones to tz database zones (common/supplemental/windowsZones.xml), in the JSON form of
# CLDR 48.2.0 that the package cldr-core 48.2.0 carries (supplemental/windowsZones.json; the package's npm
# integrity sha512-zfmLothncSwfv2jlevoSrgI2VGgH8SDGHXst6jUEotHA8nq9Igeg9jzdJDFtBso9pgJuG89DK16TzrmZDdo2Bg==).
CLDR_SOURCE = {
    "what": "CLDR 48.2.0 windowsZones (cldr-core 48.2.0, supplemental/windowsZones.json)",
    "sha256": "fa1ee8731ff106b66c003b55af19313a2498bd34ab4ae6261fb937c0b34f21d1",
}


def pinned(path, source):
    data = Path(path).read_bytes()
    digest = hashlib.sha256(data).hexdigest()
    if digest != source["sha256"]:
        sys.exit(f"{path}: SHA-256 {digest}, but {source['what']} has {source['sha256']}")
    return data


def display_texts(data):
    languages = json.loads(data.decode("utf-8-sig"))["Languages"]
    return next(l for l in languages if l["Locale"] == "en-US")["TimeZones"]


def registry_names(data):
    """Std and Dlt of every key under 'Time Zones' in the registry script that kernelbase.dll carries."""
    start = data.find(b"'Time Zones'")
    if start < 0:
        sys.exit("no Time Zones key in the registry script")
    end = data.find(b"\0", start)
    names, key = {}, None
    for line in data[start:end].decode("latin-1").splitlines()[1:]:
        indent, text = len(line) - len(line.lstrip(" ")), line.strip()
        if indent == 20 and text == "}":  # the end of the Time Zones key
            break
        if indent == 24 and text not in ("{", "}"):
            key = text[1:-1].replace("''", "'") if text.startswith("'") else text
            names[key] = {}
        match = re.fullmatch(r"val '?(Std|Dlt)'? = s '(.*)'", text)
        if match and indent == 28 and key:
            names[key][match.group(1)] = match.group(2).replace("''", "'")
    return names


def cldr_mapping(data):
    """(Windows zone -> its tz zone for the territory 001, tz zone -> Windows zone for every territory)."""
    main, every = {}, {}
    for entry in json.loads(data)["supplemental"]["windowsZones"]["mapTimezones"]:
        zone = entry["mapZone"]
        if zone["_territory"] == "001":
            main[zone["_other"]] = zone["_type"]
        for tz in zone["_type"].split():
            every.setdefault(tz, zone["_other"])
    return main, every


def cpp_text(text):
    if any(ord(c) > 126 or c in '"\\' for c in text):
        sys.exit(f"unexpected character in {text!r}")
    return 'u"' + text + '"'


def generate(args):
    display = display_texts(pinned(args.display, DISPLAY_SOURCE))
    names = registry_names(pinned(args.names, NAMES_SOURCE))
    main, every = cldr_mapping(pinned(args.cldr, CLDR_SOURCE))
    # The registry lists its keys in the order of their names, case ignored.
    # Zones that CLDR maps to no tz zone have no rules here: Windows keeps them only as old entries ("Mid-Atlantic
    # - Old", "Petropavlovsk-Kamchatsky - Old").
    unmapped = sorted(key for key in display if key not in main)
    keys = sorted((key for key in display if key in main), key=str.upper)
    index = {key: i for i, key in enumerate(keys)}
    rows = []
    for key in keys:
        # A zone the names' source lacks is named as Windows names most zones: its key, and "Daylight" for
        # "Standard".
        std = names.get(key, {}).get("Std", key)
        dlt = names.get(key, {}).get("Dlt", key.replace("Standard Time", "Daylight Time"))
        rows.append(f'    {{{cpp_text(key)}, {cpp_text(display[key])}, {cpp_text(std)}, {cpp_text(dlt)}, '
                    f'"{main[key]}"}},')
    links = [f'    {{"{tz}", {index[zone]}}},' for tz, zone in sorted(every.items()) if zone in index]
    return "\n".join([
        "// Generated by tools/make_windows_zone_table.py; do not edit. Sources:",
        f"// - {DISPLAY_SOURCE['what']}",
        f"// - {NAMES_SOURCE['what']}",
        f"// - {CLDR_SOURCE['what']}",
        f"// Left out, as CLDR maps them to no tz zone: {', '.join(unmapped)}.",
        '#include "platform/posix/windows_zone_table.h"',
        "",
        "namespace dashcam {",
        "namespace {",
        "",
        "// clang-format off",
        "constexpr WindowsZoneEntry kZones[] = {",
        *rows,
        "};",
        "",
        "constexpr TzZoneLink kLinks[] = {",
        *links,
        "};",
        "// clang-format on",
        "",
        "} // namespace",
        "",
        "std::span<const WindowsZoneEntry> WindowsZoneTable() { return kZones; }",
        "std::span<const TzZoneLink> TzZoneLinks() { return kLinks; }",
        "",
        "} // namespace dashcam",
        "",
    ])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--display", required=True)
    parser.add_argument("--names", required=True)
    parser.add_argument("--cldr", required=True)
    parser.add_argument("--output", default=str(Path(__file__).resolve().parent.parent /
                                                "src/platform/posix/windows_zone_table.cpp"))
    parser.add_argument("--check", action="store_true")
    args = parser.parse_args()
    text = generate(args)
    if args.check:
        if Path(args.output).read_text() != text:
            sys.exit(f"{args.output} is not what the sources give")
        return
    Path(args.output).write_text(text)


if __name__ == "__main__":
    main()
