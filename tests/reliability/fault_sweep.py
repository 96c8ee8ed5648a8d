#!/usr/bin/env python3
"""One `dashcam-cfg set` with one fault injected at each file-system call it makes on the card: an error that call
can really return, or SIGKILL. After every run, and after the next load of the card, the card must hold the old or
the new record, exit status 0 only with the new one, and no file of ours may stay behind.

usage: fault_sweep.py DASHCAM_CFG WORK_FOLDER"""
import os
import re
import shutil
import subprocess
import sys
import time

import card_check as cc

ERRORS = {
    "openat": ["EIO", "EACCES", "EMFILE", "ENOSPC", "EINTR"],
    "read": ["EIO", "EINTR"],
    "pread64": ["EIO", "EINTR"],
    "write": ["EIO", "ENOSPC"],
    "pwrite64": ["EIO", "ENOSPC", "EINTR"],
    "fsync": ["EIO", "EINTR"],
    "close": ["EIO"],
    "unlink": ["EIO", "EBUSY"],
    "flock": ["EINTR", "ENOLCK"],
    "newfstatat": ["EIO", "ENOMEM"],
    "ftruncate": ["EIO"],
}


def main():
    cfg, work = sys.argv[1], sys.argv[2]
    started = time.time()
    os.makedirs(work, exist_ok=True)
    template = os.path.join(work, "template")
    if os.path.exists(template):
        shutil.rmtree(template)
    old = cc.make_card(template)
    assignment = cc.FIELD + "=48"
    new = cc.expected_after_set(cfg, os.path.join(work, "scratch"), [assignment])
    card = os.path.join(work, "card")
    traced = ",".join(ERRORS)

    def fresh():
        if os.path.exists(card):
            shutil.rmtree(card)
        shutil.copytree(template, card)

    # Which calls the save makes once it reaches the card: everything from the opening of the card folder on.
    fresh()
    log = os.path.join(work, "trace.txt")
    subprocess.run(["strace", "-f", "-qq", "-o", log, "-e", "trace=" + traced, cfg, "set", card, assignment],
                   check=True, capture_output=True)
    counts, targets, reached = {}, [], False
    for line in open(log):
        m = re.match(r"\d+\s+(\w+)\(", line)
        if not m:
            continue
        name = m.group(1)
        counts[name] = counts.get(name, 0) + 1
        reached = reached or card in line
        if reached:
            targets.append((name, counts[name]))

    runs, failures = 0, []
    statuses = {}
    for name, n in targets:
        for fault in ERRORS[name] + ["KILL"]:
            fresh()
            inject = "inject=%s:%s:when=%d" % (name, "signal=KILL" if fault == "KILL" else "error=" + fault, n)
            p = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + name, "-e", inject,
                                cfg, "set", card, assignment], capture_output=True, text=True, timeout=60)
            rc = None if p.returncode < 0 or fault == "KILL" and p.returncode == 137 else p.returncode
            runs += 1
            key = "killed" if rc is None else "exit %d" % rc
            statuses[key] = statuses.get(key, 0) + 1
            where = "%s #%d %s" % (name, n, fault)
            # The card as left, then as the next load finds it (which completes or drops an interrupted save).
            raw = cc.read(card)
            if raw is None:
                failures.append(where + ": setup.cfg is missing right after the run")
                continue
            lrc, _, lerr = cc.run(cfg, "get", card, cc.FIELD)
            if lrc != 0:
                failures.append(where + ": the next load failed: " + lerr.strip())
                continue
            problem = cc.verdict(card, old, new, rc, p.stderr)
            if problem:
                failures.append(where + ": " + problem + " | " + p.stderr.strip())
    print("fault sweep: %d calls on the card, %d runs (%s), %d lost or dishonest, %.0f s"
          % (len(targets), runs, ", ".join("%s: %d" % kv for kv in sorted(statuses.items())), len(failures),
             time.time() - started))
    for f in failures:
        print("  " + f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
