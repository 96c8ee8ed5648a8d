#!/usr/bin/env python3
"""One save with one fault injected at each file-system call it makes on the card: an error that call can really
return, or SIGKILL. The saves: `dashcam-cfg set` (setup.cfg), `clock --at` over an older time.dat, and `clock --off`
(its deletion). After every run, and after the next load of the card, the card must hold the old or the new content,
exit status 0 only with the new one, and no file of ours may stay behind.

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


OLD_CLOCK = b"2014,05,06,13,45,07,+0900"


def sweep(cfg, work, label, file, args, old_clock):
    """Sweeps one save; returns the failures. `args` follow the card folder."""
    template = os.path.join(work, "template")
    if os.path.exists(template):
        shutil.rmtree(template)
    cc.make_card(template)
    if old_clock:
        with open(os.path.join(template, "time.dat"), "wb") as f:
            f.write(OLD_CLOCK)
    card = os.path.join(work, "card")

    def fresh():
        if os.path.exists(card):
            shutil.rmtree(card)
        shutil.copytree(template, card)

    traced = ",".join(ERRORS)
    command = [cfg, args[0], card] + args[1:]
    # The content without a fault, and which calls the save makes once it reaches the card: everything from the
    # opening of the card folder on.
    fresh()
    old = cc.read(card, file)
    log = os.path.join(work, "trace.txt")
    subprocess.run(["strace", "-f", "-qq", "-o", log, "-e", "trace=" + traced] + command, check=True,
                   capture_output=True)
    new = cc.read(card, file)
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

    # Where a refused flock makes the lock fall back to a lock file of this computer, it lands in the work folder
    # (private to this user, as a lock folder must be).
    os.chmod(work, 0o700)
    env = dict(os.environ, XDG_RUNTIME_DIR=work)
    runs, failures, statuses = 0, [], {}
    for name, n in targets:
        for fault in ERRORS[name] + ["KILL"]:
            fresh()
            inject = "inject=%s:%s:when=%d" % (name, "signal=KILL" if fault == "KILL" else "error=" + fault, n)
            p = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=" + name, "-e", inject]
                               + command, capture_output=True, text=True, timeout=60, env=env)
            rc = None if p.returncode < 0 or fault == "KILL" and p.returncode == 137 else p.returncode
            runs += 1
            key = "killed" if rc is None else "exit %d" % rc
            statuses[key] = statuses.get(key, 0) + 1
            where = "%s: %s #%d %s" % (label, name, n, fault)
            if cc.read(card) is None:
                failures.append(where + ": setup.cfg is missing right after the run")
                continue
            # The next load completes or drops an interrupted save.
            lrc, _, lerr = cc.run(cfg, "get", card, cc.FIELD)
            if lrc != 0:
                failures.append(where + ": the next load failed: " + lerr.strip())
                continue
            problem = cc.verdict(card, old, new, rc, p.stderr, file)
            if problem:
                failures.append(where + ": " + problem + " | " + p.stderr.strip())
    print("fault sweep %s: %d calls on the card, %d runs (%s), %d lost or dishonest"
          % (label, len(targets), runs, ", ".join("%s: %d" % kv for kv in sorted(statuses.items())), len(failures)))
    for f in failures:
        print("  " + f)
    return failures


def main():
    cfg, work = sys.argv[1], sys.argv[2]
    started = time.time()
    os.makedirs(work, exist_ok=True)
    failures = sweep(cfg, work, "set", "setup.cfg", ["set", cc.FIELD + "=48"], False)
    failures += sweep(cfg, work, "clock --at", "time.dat", ["clock", "--at", "2025-01-02 03:04:05"], True)
    failures += sweep(cfg, work, "clock --off", "time.dat", ["clock", "--off"], True)
    print("fault sweep: %.0f s" % (time.time() - started))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
