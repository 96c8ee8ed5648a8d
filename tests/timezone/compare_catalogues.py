#!/usr/bin/env python3
"""The zone catalogue off Windows against the one the Windows build reads from the registry under Wine.

Runs `dashcam-cfg zones --json` of both builds and compares them zone by zone: the same zones, and for each the
same display text, standard name and rule (bias, and when there is daylight time its bias and the moments of the
year at which it starts and ends; a rule may write a moment as "Saturday 23:59:59.999" where the other writes
"Sunday 0:00"). Wine's registry is a check, not the truth: where Wine 8.0 still has what Windows has since
changed, the difference is listed below with its reason and allowed. Any other difference fails.

  compare_catalogues.py LINUX_DASHCAM_CFG [WINE] WINDOWS_DASHCAM_CFG

Exits 77 (skipped) when the Linux program is not built.
"""
import calendar
import datetime
import json
import os
import subprocess
import sys

# Zones where Wine 8.0's registry is older than Windows: the fields allowed to differ, and why.
STALE_IN_WINE = {
    "Mountain Standard Time (Mexico)": (
        {"displayName", "rule"},
        "Chihuahua moved to UTC-6 in 2022: Windows keeps this zone at UTC-7 as \"(UTC-07:00) La Paz, Mazatlan\", "
        "while Wine 8.0 still names Chihuahua in the text and gives the zone Chihuahua's UTC-6"),
    "Central Asia Standard Time": (
        {"displayName"},
        "Kazakhstan moved to UTC+5 in March 2024: Windows shows this UTC+6 zone as Bishkek, Wine 8.0 as Astana"),
    "Qyzylorda Standard Time": (
        {"displayName"}, "since March 2024 Windows shows this zone as Astana, Wine 8.0 as Qyzylorda"),
    "Paraguay Standard Time": (
        {"displayName", "rule"},
        "Paraguay moved to UTC-3 all year in October 2024; Wine 8.0 has UTC-4 with daylight time"),
    "Greenland Standard Time": (
        {"displayName", "rule"},
        "Greenland moved to UTC-2 in 2023 (daylight time again from 2024); Wine 8.0 has UTC-3"),
    "Volgograd Standard Time": (
        {"displayName"}, "Volgograd went back to UTC+3 in December 2020; Wine 8.0's text still says UTC+4"),
    "Egypt Standard Time": (
        {"rule"}, "Egypt observes daylight time again since 2023 (April to October); Wine 8.0 has none"),
    "Pacific SA Standard Time": (
        {"rule"},
        "Chile's daylight time starts on the first Sunday of September (from the 2nd on); Wine 8.0 keeps the one-off "
        "2022 start a week later"),
    "E. Europe Standard Time": (
        {"rule"},
        "Moldova has changed its clocks at the EU's times (01:00 UTC: 03:00 and 04:00 local) since 2022; Wine 8.0 "
        "has 02:00 and 03:00"),
    "Cuba Standard Time": (
        {"rule"},
        "Cuba did not fall back on 2026-11-01 and keeps UTC-4 until 2027-11-07 (tz 2026f), so this year's rule "
        "from the tz database has no return to standard time; Wine 8.0 has the yearly rule"),
}


def zones(command):
    env = dict(os.environ, WINEDEBUG="-all")
    out = subprocess.run(command + ["zones", "--json"], check=True, capture_output=True, env=env).stdout
    return {zone["keyName"]: zone for zone in json.loads(out.decode("utf-8"))}


def moment(date, year):
    """A rule's date as a moment of `year`: a fixed date, or "the day-th dayOfWeek of the month" (5 = the last)."""
    fixed_year, month, day_of_week, day, hour, minute, second, milliseconds = date
    if month == 0:
        return None
    if fixed_year:
        year, day_of_month = fixed_year, day
    else:
        first = (day_of_week - (calendar.weekday(year, month, 1) + 1) % 7) % 7 + 1
        day_of_month = first + 7 * (day - 1)
        while day_of_month > calendar.monthrange(year, month)[1]:
            day_of_month -= 7
    return datetime.datetime(year, month, day_of_month) + datetime.timedelta(
        hours=hour, minutes=minute, seconds=second, milliseconds=milliseconds)


def same_moment(a, b):
    if a is None or b is None:
        return a is b
    return abs((a - b).total_seconds()) <= 1


def rule_differences(linux, windows, year):
    found = []
    if linux["bias"] != windows["bias"] or linux["standardBias"] != windows["standardBias"]:
        found.append(f"bias {linux['bias']} / {windows['bias']}")
    dst = [moment(z["daylightDate"], year) is not None for z in (linux, windows)]
    if dst[0] != dst[1]:
        found.append("daylight time " + " / ".join("yes" if d else "no" for d in dst))
    elif dst[0]:
        if linux["daylightBias"] != windows["daylightBias"]:
            found.append(f"daylight bias {linux['daylightBias']} / {windows['daylightBias']}")
        for field in ("daylightDate", "standardDate"):
            a, b = moment(linux[field], year), moment(windows[field], year)
            if not same_moment(a, b):
                found.append(f"{field} {a} / {b}")
    return found


def main():
    if not os.path.exists(sys.argv[1]):
        print(f"{sys.argv[1]} is not built: nothing to compare with")
        return 77
    linux, windows = zones([sys.argv[1]]), zones(sys.argv[2:])
    year = datetime.date.today().year
    unexpected, allowed = [], []
    for key in sorted(set(linux) | set(windows)):
        if key not in windows or key not in linux:
            unexpected.append(f"{key}: only {'off Windows' if key in linux else 'in the registry'}")
            continue
        a, b = linux[key], windows[key]
        differences = {}
        for field in ("displayName", "standardName"):
            if a[field] != b[field]:
                differences[field] = f"{field} {a[field]!r} / {b[field]!r}"
        if rule := rule_differences(a, b, year):
            differences["rule"] = ", ".join(rule)
        fields, reason = STALE_IN_WINE.get(key, (set(), ""))
        for field, text in differences.items():
            (allowed if field in fields else unexpected).append(f"{key}: {text}" + (f" ({reason})" if
                                                                                       field in fields else ""))
    print(f"{len(linux)} zones off Windows, {len(windows)} in Wine's registry; differences (off Windows / Wine):")
    for line in allowed:
        print("  allowed:", line)
    for line in unexpected:
        print("  UNEXPECTED:", line)
    return 1 if unexpected else 0


if __name__ == "__main__":
    sys.exit(main())
