#!/usr/bin/env python3
"""Two `dashcam-cfg set` at once on one card, 200 rounds, on a local folder and (as root) on FAT32 and exFAT
through their FUSE drivers. Each round must end with one complete record: both changes when both saves report
success, only the successful one's when the other reports "in use"; nothing else is allowed.

usage: concurrent_saves.py DASHCAM_CFG WORK_FOLDER [ROUNDS]"""
import os
import shutil
import subprocess
import sys
import time

import card_check as cc
import power_cut_sweep as pcs

TIMER = [6, 12, 24, 48]
# Byte ranges the two saves may change: recordTimerHours, cameraBrightness, and the derived combinedFlag.
CHANGING = [range(200, 204), range(64, 68), range(440, 444)]


def field(content, offset):
    return int.from_bytes(content[offset:offset + 4], "little")


def rounds(cfg, card, count):
    base = cc.read(card)
    failures, both, one = [], 0, 0
    timer, brightness = field(base, 200), field(base, 64)
    for i in range(count):
        want_timer, want_brightness = TIMER[i % 4], i % 3
        if want_timer == timer:
            want_timer = TIMER[(i + 1) % 4]
        if want_brightness == brightness:
            want_brightness = (i + 1) % 3
        a = subprocess.Popen([cfg, "set", card, "recordTimerHours=%d" % want_timer], stderr=subprocess.PIPE, text=True)
        b = subprocess.Popen([cfg, "set", card, "cameraBrightness=%d" % want_brightness], stderr=subprocess.PIPE,
                             text=True)
        (_, aerr), (_, berr) = a.communicate(timeout=60), b.communicate(timeout=60)
        content = cc.read(card)
        where = "round %d" % (i + 1)
        if content is None or len(content) != len(base):
            failures.append(where + ": setup.cfg is missing or has another length")
            break
        if any(content[k] != base[k] for k in range(len(base)) if not any(k in r for r in CHANGING)):
            failures.append(where + ": bytes that neither save changes differ")
        got_timer, got_brightness = field(content, 200), field(content, 64)
        for rc, err, got, want, old, name in ((a.returncode, aerr, got_timer, want_timer, timer, "timer"),
                                              (b.returncode, berr, got_brightness, want_brightness, brightness,
                                               "brightness")):
            if rc == 0 and got != want:
                failures.append("%s: the %s save exited 0 but its change is lost" % (where, name))
            elif rc != 0 and ("in use" not in err or got != old):
                failures.append("%s: the %s save exited %d (%s) and the card holds %d" % (where, name, rc,
                                                                                         err.strip(), got))
        if a.returncode == 0 and b.returncode == 0:
            both += 1
        else:
            one += 1
        timer, brightness = got_timer, got_brightness
        if sorted(set(os.listdir(card)) - cc.CARD_FILES):
            failures.append(where + ": stray files")
    return failures, both, one


def main():
    cfg, work = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 200
    os.makedirs(work, exist_ok=True)
    all_failures = []
    places = ["local"] + (pcs.installed_kinds(("fat", "exfat")) if pcs.ROOT and os.path.exists("/dev/fuse") else [])
    for place in places:
        started = time.time()
        if place == "local":
            card = os.path.join(work, "local-card")
            if os.path.exists(card):
                shutil.rmtree(card)
            cc.make_card(card)
            failures, both, one = rounds(cfg, card, count)
        else:
            vol = pcs.Volume(place, work)
            vol.format()
            proc = vol.mount()
            try:
                cc.make_card(vol.point)
                failures, both, one = rounds(cfg, vol.point, count)
            finally:
                vol.unmount(proc)
        print("concurrent saves %s: %d rounds, %d with both saves done one after the other, %d with one save "
              "refused as in use, %d lost or dishonest, %.0f s" % (place, count, both, one, len(failures),
                                                                 time.time() - started))
        for f in failures[:20]:
            print("  " + f)
        all_failures += failures
    return 1 if all_failures else 0


if __name__ == "__main__":
    sys.exit(main())
