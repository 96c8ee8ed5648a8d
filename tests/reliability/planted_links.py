#!/usr/bin/env python3
"""A hostile or careless card, and a camera that writes between two openings on the PC: links planted where the card's
files belong, journals planted beside them, and journals that a save left behind when the camera then rewrote or
consumed the file. Nothing outside the card may change, and nothing the camera wrote may be undone. Runs on a tmpfs
card as root, on a plain folder otherwise; a few seconds.

usage: planted_links.py DASHCAM_CFG WORK_FOLDER"""
import os
import shutil
import struct
import subprocess
import sys
import time
import zlib

import card_check as cc

OFFSET = 200  # recordTimerHours, the field the checks set and read
STRACE = shutil.which("strace")


def journal(old, new, truncate=False, old_size=None):
    """A journal image as a save writes it: what the file held before, and the new bytes."""
    kept = old if truncate else old[:len(new)]
    size = len(old) if old_size is None else old_size
    body = b"DCJ2" + struct.pack("<IQII", 1 if truncate else 0, size, len(kept), len(new)) + kept + new
    return body + struct.pack("<I", zlib.crc32(body))


def earlier_journal(new):
    """A journal of the earlier format, which says nothing of what the file held before."""
    body = b"DCJ1" + struct.pack("<II", 0, len(new)) + new
    return body + struct.pack("<I", zlib.crc32(body))


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def with_field(content, value):
    return content[:OFFSET] + struct.pack("<I", value) + content[OFFSET + 4:]


class Checks:
    def __init__(self, cfg, work):
        self.cfg, self.work, self.failures, self.count = os.path.abspath(cfg), os.path.abspath(work), [], 0
        self.card = os.path.join(work, "card")
        self.outside = os.path.join(work, "outside")
        self.tmpfs = False

    def fresh_card(self):
        if self.tmpfs:
            for name in os.listdir(self.card):
                path = os.path.join(self.card, name)
                shutil.rmtree(path) if os.path.isdir(path) and not os.path.islink(path) else os.remove(path)
        elif os.path.exists(self.card):
            shutil.rmtree(self.card)
        old = cc.make_card(self.card)
        if os.path.exists(self.outside):
            shutil.rmtree(self.outside)
        os.makedirs(self.outside)
        victim = os.path.join(self.outside, "victim")
        write(victim, b"A FILE OF THE PC THAT NO CARD MAY TOUCH" * 20)
        return old, victim

    def expect(self, label, ok, detail=""):
        self.count += 1
        if not ok:
            self.failures.append(label + (": " + detail if detail else ""))

    def path(self, name):
        return os.path.join(self.card, name)

    def run(self, *args):
        return cc.run(self.cfg, *args)

    def links(self):
        for name in ("setup.cfg", "time.dat"):
            for kind in ("earlier", "current"):
                _, victim = self.fresh_card()
                before = cc.read(self.outside, "victim")
                if os.path.exists(self.path(name)):
                    os.remove(self.path(name))
                os.symlink(victim, self.path(name))
                attack = b"ATTACKER" * 80
                # The current journal is made to fit what the link points to, as an attacker would make it.
                write(self.path(name + "-journal"),
                      earlier_journal(attack) if kind == "earlier" else journal(before, attack, name == "time.dat"))
                self.run("get", self.card, cc.FIELD)
                self.expect("%s a link, %s journal: the file outside is untouched by opening the card" % (name, kind),
                            cc.read(self.outside, "victim") == before)
                self.expect("%s a link, %s journal: the journal is gone" % (name, kind),
                            not os.path.lexists(self.path(name + "-journal")))
        # Saves refuse a link and say why.
        _, victim = self.fresh_card()
        before = cc.read(self.outside, "victim")
        os.remove(self.path("setup.cfg"))
        os.symlink(victim, self.path("setup.cfg"))
        rc, _, err = self.run("set", self.card, cc.FIELD + "=48")
        self.expect("set through a link is refused", rc == 1 and "symbolic link" in err, "exit %d: %s" % (rc, err))
        os.symlink(victim, self.path("time.dat"))
        rc, _, err = self.run("clock", self.card, "--at", "2025-01-02 03:04:05")
        self.expect("clock through a link is refused", rc == 1 and "symbolic link" in err, "exit %d: %s" % (rc, err))
        os.symlink(victim, self.path("set_touch_cal.txt"))
        rc, _, err = self.run("touch-calibration", self.card)
        self.expect("touch-calibration through a link is refused", rc == 1, "exit %d: %s" % (rc, err))
        self.expect("the file outside is untouched by the saves", cc.read(self.outside, "victim") == before)
        # A journal that is itself a link goes; what it points to stays.
        old, victim = self.fresh_card()
        before = cc.read(self.outside, "victim")
        os.symlink(victim, self.path("setup.cfg-journal"))
        rc, _, err = self.run("set", self.card, cc.FIELD + "=48")
        self.expect("a journal link: the save goes through", rc == 0, err)
        self.expect("a journal link: the file outside is untouched", cc.read(self.outside, "victim") == before)
        self.expect("a journal link: it is gone", not os.path.lexists(self.path("setup.cfg-journal")))

    def left_journal(self, name, save, camera):
        """A save whose journal could not be removed, then the camera's own change; the next opening must keep it."""
        old, _ = self.fresh_card()
        if name == "time.dat":
            write(self.path("time.dat"), b"2014,05,06,13,45,07,+0900")
        journal_path = self.path(name + "-journal")
        if STRACE:
            # Every removal of the journal fails, as on a card pulled at that moment.
            p = subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-P", journal_path, "-e", "trace=unlink,unlinkat",
                                "-e", "inject=unlink,unlinkat:error=EIO", self.cfg] + save, capture_output=True,
                               text=True, timeout=60)
            rc, err = p.returncode, p.stderr
            self.expect("%s: a journal that could not be removed is said" % name,
                        rc == 0 and "could not be removed" in err, "exit %d: %s" % (rc, err.strip()))
        else:
            rc, _, err = self.run(*save)
            written = cc.read(self.card, name)
            before = old if name == "setup.cfg" else b"2014,05,06,13,45,07,+0900"
            write(journal_path, journal(before, written[:572], name == "time.dat"))
        self.expect("%s: the journal was left" % name, os.path.exists(journal_path))
        expected = camera()
        rc, _, err = self.run("get", self.card, cc.FIELD)
        self.expect("%s: the next opening keeps what the camera did" % name, cc.read(self.card, name) == expected,
                    "%s instead" % ("missing" if cc.read(self.card, name) is None else "other content"))
        self.expect("%s: the stale journal is gone" % name, not os.path.exists(journal_path))

    def stale_journals(self):
        def camera_rewrites():
            content = with_field(cc.read(self.card), 12)
            write(self.path("setup.cfg"), content)
            return content

        def camera_consumes():
            os.remove(self.path("time.dat"))
            return None

        self.left_journal("setup.cfg", ["set", self.card, cc.FIELD + "=48"], camera_rewrites)
        self.left_journal("time.dat", ["clock", self.card, "--at", "2025-01-02 03:04:05"], camera_consumes)

    def spellings(self):
        self.fresh_card()
        profile = os.path.join(self.work, "profile.json")
        rc, _, err = self.run("export", self.card, "--output", profile)
        self.expect("export", rc == 0, err)
        p = subprocess.run([self.cfg, "apply", profile, "./card", "card/"], cwd=self.work, capture_output=True,
                           text=True, timeout=60)
        self.expect("one card spelled twice is the same card, not one in use", p.returncode == 0,
                    p.stdout.strip() + " " + p.stderr.strip())

    def lock_files(self):
        """A card whose file system refuses locks: the lock file of this computer must not be one another user holds."""
        if not STRACE or os.geteuid() != 0:
            return
        self.fresh_card()
        st = os.stat(self.card)
        predictable = "/tmp/dashcam-card-%d-%d.lock" % (st.st_dev, st.st_ino)
        tmp = os.path.join(self.work, "tmp")
        os.makedirs(tmp, exist_ok=True)
        env = {k: v for k, v in os.environ.items() if k != "XDG_RUNTIME_DIR"}
        env["TMPDIR"] = tmp

        def save():
            # Only the lock of the card folder itself is refused.
            return subprocess.run(["strace", "-f", "-qq", "-o", "/dev/null", "-P", self.card, "-e", "trace=flock",
                                   "-e", "inject=flock:error=ENOLCK:when=1",
                                   self.cfg, "set", self.card, cc.FIELD + "=24"], capture_output=True, text=True,
                                  env=env, timeout=60)

        # Another user's process holds the lock file a shared folder would give the card.
        holder = subprocess.Popen(["python3", "-c", "import fcntl,os,sys,time\n"
                                   "f=open(sys.argv[1],'w'); os.chown(sys.argv[1],65534,65534)\n"
                                   "fcntl.flock(f, fcntl.LOCK_EX); print('held', flush=True); time.sleep(30)",
                                   predictable], stdout=subprocess.PIPE, text=True)
        try:
            holder.stdout.readline()
            p = save()
            self.expect("another user's lock file in /tmp does not hold the card", p.returncode == 0, p.stderr.strip())
        finally:
            holder.kill()
            holder.wait()
            os.remove(predictable)
        # A folder of ours that another user made first is not used.
        own = os.path.join(tmp, "dashcam-%d" % os.geteuid())
        shutil.rmtree(own, ignore_errors=True)
        os.makedirs(own)
        os.chown(own, 65534, 65534)
        os.chmod(own, 0o777)
        p = save()
        self.expect("a lock folder another user owns is refused", p.returncode == 1 and "lock" in p.stderr,
                    "exit %d: %s" % (p.returncode, p.stderr.strip()))
        self.expect("and nothing is written in it", os.listdir(own) == [])

    def main(self):
        started = time.time()
        os.makedirs(self.card, exist_ok=True)
        if os.geteuid() == 0:
            self.tmpfs = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=4m", "card", self.card],
                                        capture_output=True).returncode == 0
        try:
            self.links()
            self.stale_journals()
            self.spellings()
            self.lock_files()
        finally:
            if self.tmpfs:
                subprocess.run(["umount", self.card], capture_output=True)
        print("planted links and journals on a %s card: %d checks, %d failed, %.0f s%s"
              % ("tmpfs" if self.tmpfs else "plain-folder", self.count, len(self.failures), time.time() - started,
                 "" if STRACE else " (journals left by hand: strace is not installed)"))
        for f in self.failures:
            print("  " + f)
        return 1 if self.failures else 0


if __name__ == "__main__":
    sys.exit(Checks(sys.argv[1], sys.argv[2]).main())
