#!/usr/bin/env python3
"""Formats of memory cards made from image files on loop devices, as root, in a mount namespace of their own:
`dashcam-cfg format` through the file-system tools (no disk service), each card mounted through the FAT FUSE driver
inside the folder of a "data disk" (another image), and the card's removable flag set by a bind mount over its
/sys file. Each case checks that the data disk is never touched, that exit status 0 means a complete format, and
that the camera's files are on the card or in the backup folder that the output names.

Cases: a plain format; a fixed disk; the card pulled (lazy unmount) while the question waits, just before the
unmount and just after the remount; a failed remount; EIO at each call of the backup that touches a camera file; two formats at once; and
saves with `set` while a format runs.

usage: format_sweep.py DASHCAM_CFG WORK_FOLDER"""
import hashlib
import json
import os
import pty
import shutil
import subprocess
import sys
import threading
import time

import card_check as cc

TOOLS = ["losetup", "fusefat", "mount.exfat-fuse", "mkfs.fat", "mkfs.exfat", "fsck.fat", "mcopy", "strace", "unshare"]
# Each wrapper first pulls the card out when the sweep asks for it at that step ({work}/pull-at names the step).
PULL = """[ "$(cat "{work}/pull-at" 2>/dev/null)" = "{step}" ] && sh "{work}/pull.sh"
"""
MOUNT_WRAPPER = """#!/bin/sh
# mount -t TYPE DEVICE FOLDER, through the FAT FUSE driver (this kernel has no vfat); a flag file makes it fail.
[ -e "{work}/fail-mount" ] && {{ echo "mount: cannot mount (test)" >&2; exit 32; }}
dev=$(eval echo \\${{$(($#-1))}}); dir=$(eval echo \\${{$#}})
case "$2" in
  exfat|fuseblk) mount.exfat-fuse "$dev" "$dir" >/dev/null 2>&1 || exit 32 ;;
  *) fusefat -o rw+,fsname="$dev" "$dev" "$dir" >/dev/null 2>&1 || exit 32 ;;
esac
for i in $(seq 200); do grep -q " $dir fuse" /proc/self/mounts && break; sleep 0.02; done
grep -q " $dir fuse" /proc/self/mounts || exit 32
""" + PULL.replace("{step}", "mounted") + """exit 0
"""
UMOUNT_WRAPPER = """#!/bin/sh
# umount FOLDER, waiting until the FUSE driver behind it has ended (it still writes on its way out).
""" + PULL.replace("{step}", "umount") + """dir=$(eval echo \\${{$#}})
pids=$(pgrep -f "(fusefat|mount.exfat-fuse) .* $dir\\$")
/bin/umount "$@" || exit $?
for p in $pids; do while kill -0 "$p" 2>/dev/null; do sleep 0.02; done; done
"""




def sh(*cmd, check=True):
    return subprocess.run(cmd, check=check, capture_output=True, text=True).stdout.strip()


def tree(folder):
    """Every file below a folder with a hash of its bytes."""
    out = {}
    for top, _, files in os.walk(folder):
        for name in files:
            path = os.path.join(top, name)
            with open(path, "rb") as f:
                out[os.path.relpath(path, folder)] = hashlib.sha1(f.read()).hexdigest()
    return out


def image_files(card, names):
    """The camera's files as the card's image holds them (None for a file it lacks), through a read-only loop device
    and the card's FUSE driver at a folder of its own."""
    point = os.path.join(os.path.dirname(card.image), "inspect")
    os.makedirs(point, exist_ok=True)
    loop = sh("losetup", "-f", "--show", "-r", card.image)
    driver = ["fusefat", "-o", "ro,fsname=" + loop] if card.kind == "fat" else ["mount.exfat-fuse", "-o", "ro"]
    subprocess.run(driver + [loop, point], capture_output=True)
    try:
        if not cc.wait_until(lambda: cc.mounted(point), 5):
            return {n: None for n in names}
        return {n: cc.read(point, n) for n in names}
    finally:
        subprocess.run(["umount", "-l", point], capture_output=True)
        subprocess.run(["losetup", "-d", loop], capture_output=True)


class Disk:
    """An image on a loop device, mounted through fusefat at `point`."""

    def __init__(self, work, name, mib, point, kind="fat"):
        self.kind = kind
        self.image = os.path.join(work, name + ".img")
        self.point = point
        subprocess.run(["truncate", "-s", "%dM" % mib, self.image], check=True)
        tool = ["mkfs.fat", "-F", "32", "-s", "1"] if kind == "fat" else ["mkfs.exfat"]
        subprocess.run(tool + [self.image], check=True, capture_output=True)
        self.loop = sh("losetup", "-f", "--show", self.image)
        self.sys = os.path.realpath("/sys/class/block/" + os.path.basename(self.loop))
        os.makedirs(point, exist_ok=True)
        self.mount()

    def mount(self):
        # exfat-fuse mounts as "fuseblk", with the loop device's own number; fusefat gets a number of its own.
        driver = (["fusefat", "-o", "rw+,fsname=" + self.loop] if self.kind == "fat" else ["mount.exfat-fuse"])
        subprocess.Popen(driver + [self.loop, self.point],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).wait()
        if not cc.wait_until(lambda: cc.mounted(self.point)):
            raise SystemExit("fusefat did not mount " + self.image)

    def removable(self, flag_file):
        subprocess.run(["mount", "--bind", flag_file, os.path.join(self.sys, "removable")], check=True)

    def release(self, settle=False):
        if cc.mounted(self.point):
            pids = sh("pgrep", "-f", "(fusefat|mount.exfat-fuse) .* %s$" % self.point, check=False).split()
            subprocess.run(["umount", "-l", self.point], capture_output=True)
            # The driver still writes on its way out.
            if settle:
                cc.wait_until(lambda: not any(os.path.exists("/proc/" + p) for p in pids))
        subprocess.run(["umount", os.path.join(self.sys, "removable")], capture_output=True)
        subprocess.run(["losetup", "-d", self.loop], capture_output=True)


class Sweep:
    def __init__(self, cfg, work):
        self.cfg, self.work = cfg, work
        self.failures, self.runs = [], 0
        self.bin = os.path.join(work, "bin")
        os.makedirs(self.bin, exist_ok=True)
        for name, text in (("mount", MOUNT_WRAPPER), ("umount", UMOUNT_WRAPPER)):
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(text.format(work=work))
            os.chmod(path, 0o755)
        # The programs under test in a folder of their own, with a small stand-in for the editor that goes onto the
        # card (the real one would take seconds to copy through the FUSE driver, in every run).
        program = os.path.join(work, "program")
        os.makedirs(program, exist_ok=True)
        self.desktop = os.path.join(program, "dashcam-cfg-desktop")
        shutil.copy2(os.path.join(os.path.dirname(cfg), "dashcam-cfg-desktop"), self.desktop)
        with open(os.path.join(program, "dashcam-setting"), "w") as f:
            f.write("#!/bin/sh\n")
        self.one = os.path.join(work, "one")
        with open(self.one, "w") as f:
            f.write("1\n")
        self.env = dict(os.environ, PATH=self.bin + ":" + os.environ["PATH"], XDG_DATA_HOME=os.path.join(work, "home"),
                        DBUS_SYSTEM_BUS_ADDRESS="unix:path=" + os.path.join(work, "no-bus"), LC_ALL="C.UTF-8")

    def fail(self, case, why):
        self.failures.append("%s: %s" % (case, why))
        print("FAIL %s: %s" % (case, why), file=sys.stderr)

    def setup(self, cards=1, removable=True, kind="fat"):
        """A data disk with a file of its own, and cards mounted inside its folder."""
        self.data = Disk(self.work, "data", 48, os.path.join(self.work, "data"))
        with open(os.path.join(self.data.point, "precious.txt"), "w") as f:
            f.write("the user's own data\n")
        self.cards = []
        for k in range(cards):
            card = Disk(self.work, "card%d" % k, 64, os.path.join(self.data.point, "card%d" % k), kind)
            cc.make_card(card.point)
            os.makedirs(os.path.join(card.point, "DCIM"))
            with open(os.path.join(card.point, "DCIM", "clip.mp4"), "w") as f:
                f.write("video")
            if removable:
                card.removable(self.one)
            card.files = {n: cc.read(card.point, n) for n in ("setup.cfg", "default.cfg", "lang/ver.dat")}
            self.cards.append(card)
        self.data_before = self.data_tree()

    def data_tree(self):
        """The data disk's own files, the cards' folders left out while the cards are mounted in them."""
        return {k: v for k, v in tree(self.data.point).items()
                if not any(k.startswith("card%d/" % n) and cc.mounted(c.point) for n, c in enumerate(self.cards))}

    def teardown(self, case):
        for card in self.cards:
            card.release()
        if self.data_tree() != self.data_before:
            self.fail(case, "the data disk changed: %s" % sorted(set(self.data_tree()) ^ set(self.data_before)))
        self.data.release()
        for name in os.listdir(self.work):
            if name.endswith(".img") or name in ("fail-mount", "pull-at", "pull.sh"):
                os.remove(os.path.join(self.work, name))

    def format(self, card, strace=()):
        self.runs += 1
        # The desktop part itself, which dashcam-cfg starts for a format: strace then needs no -f (which would
        # follow the FUSE driver that the remount starts, and wait for it).
        cmd = list(strace) + [self.desktop, "format", card.point, "--yes", "--json"]
        p = subprocess.run(cmd, capture_output=True, text=True, env=self.env, timeout=120)
        line = next((l for l in p.stdout.splitlines() if l.startswith("{")), "{}")
        return p.returncode, json.loads(line), p.stderr

    def check(self, case, card, rc, result, err):
        """Exit 0 only for a complete format; otherwise the files are on the card or in the named backup."""
        on_card = cc.mounted(card.point) and all(cc.read(card.point, n) == b for n, b in card.files.items())
        erased = cc.mounted(card.point) and not os.path.exists(os.path.join(card.point, "DCIM", "clip.mp4"))
        if rc == 0:
            if not (on_card and erased and result.get("complete")):
                self.fail(case, "exit 0 without a complete format")
            return
        if not erased and on_card:
            return  # stopped in time: nothing lost
        backup = result.get("backupFolder", "")
        if not backup or backup not in err:
            self.fail(case, "the card was touched and the output names no backup folder: " + err.strip()[-300:])
            return
        names = {"setup.cfg": "setup.cfg", "default.cfg": "default.cfg", "lang/ver.dat": "ver.dat"}
        for name, content in card.files.items():
            if cc.read(backup, names[name]) != content:
                self.fail(case, "the backup lacks " + name)

    def plain(self):
        self.setup()
        card = self.cards[0]
        rc, result, err = self.format(card)
        self.check("plain", card, rc, result, err)
        if rc != 0:
            self.fail("plain", err.strip())
        else:
            # fusefat lists the volume label's entry as a file.
            names = sorted(n for n in tree(card.point) if n != "KESTRAVO.NZ")
            if names != ["dashcam-setting", "default.cfg", "lang/ver.dat", "setup.cfg"]:
                self.fail("plain", "the card holds %s" % names)
            mode = os.stat(result["backupFolder"]).st_mode & 0o777
            if mode != 0o700:
                self.fail("plain", "the backup folder has mode %o" % mode)
        card.release(settle=True)
        fsck = subprocess.run(["fsck.fat", "-n", card.image], capture_output=True, text=True)
        self.teardown("plain")
        if rc == 0 and fsck.returncode != 0:
            self.fail("plain", "fsck.fat finds faults in the formatted card: " + (fsck.stdout + fsck.stderr)[-400:])

    def fixed(self):
        self.setup(removable=False)
        card = self.cards[0]
        rc, result, err = self.format(card)
        if rc == 0 or "not a memory card" not in err or not os.path.exists(os.path.join(card.point, "DCIM")):
            self.fail("fixed disk", "rc %d: %s" % (rc, err.strip()))
        self.teardown("fixed disk")

    def pulled_at_question(self):
        self.setup(kind="exfat")
        card = self.cards[0]
        self.runs += 1
        master, slave = pty.openpty()
        p = subprocess.Popen([self.cfg, "format", card.point], stdin=slave, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE, env=self.env)
        os.close(slave)
        prompt = b""
        while b"[y/N]" not in prompt:
            chunk = os.read(p.stderr.fileno(), 4096)
            if not chunk:
                break
            prompt += chunk
        subprocess.run(["umount", "-l", card.point], check=True)  # the card is pulled out
        os.write(master, b"y\n")
        out, err = p.communicate(timeout=60)
        os.close(master)
        if p.returncode == 0 or "taken out or replaced" not in err.decode():
            self.fail("pulled at the question", "rc %d: %s" % (p.returncode, err.decode().strip()))
        self.teardown("pulled at the question")

    def pulled_at_each_step(self):
        """The card pulled out (a lazy unmount) just before the formatter unmounts it, and just after it is
        mounted again. The card is then judged by its image."""
        for step in ("umount", "mounted"):
            self.setup(kind="exfat" if step == "umount" else "fat")
            card = self.cards[0]
            with open(os.path.join(self.work, "pull.sh"), "w") as f:
                f.write("/bin/umount -l %s 2>/dev/null; true\n" % card.point)
            with open(os.path.join(self.work, "pull-at"), "w") as f:
                f.write(step)
            rc, result, err = self.format(card)
            case = "pulled at " + step
            card.release(settle=True)
            names = {"setup.cfg": "setup.cfg", "default.cfg": "default.cfg", "lang/ver.dat": "ver.dat"}
            on_image = image_files(card, list(card.files)) == card.files
            in_backup = all(cc.read(result.get("backupFolder", "/nonexistent"), names[n]) == b
                            for n, b in card.files.items())
            if rc == 0 and not on_image:
                self.fail(case, "exit 0, but the card lacks the camera's files")
            if rc != 0 and not on_image and not (in_backup and result["backupFolder"] in err):
                self.fail(case, "the camera's files are neither on the card nor in a backup the output names")
            self.teardown(case)

    def failed_remount(self):
        self.setup()
        card = self.cards[0]
        # The remount fails: the files must not go into the bare mount-point folder on the data disk.
        with open(os.path.join(self.work, "fail-mount"), "w") as f:
            f.write("")
        rc, result, err = self.format(card)
        if rc == 0 or result.get("restored") or "may have been erased" not in err:
            self.fail("failed remount", "rc %d: %s" % (rc, err.strip()))
        self.check("failed remount", card, rc, result, err)
        self.teardown("failed remount")

    def eio_sweep(self):
        count = 0
        for name in ("setup.cfg", "default.cfg", "lang/ver.dat"):
            for call in ("openat", "newfstatat", "read", "pread64"):
                for when in (1, 2, 3):
                    self.setup()
                    card = self.cards[0]
                    log = os.path.join(self.work, "strace.log")
                    strace = ["strace", "-qq", "-o", log, "-P", os.path.join(card.point, name),
                              "-e", "trace=" + call, "-e", "inject=%s:error=EIO:when=%d" % (call, when)]
                    rc, result, err = self.format(card, strace=strace)
                    with open(log) as f:
                        injected = "INJECTED" in f.read()
                    case = "EIO at %s #%d of %s" % (call, when, name)
                    if injected:
                        count += 1
                        self.check(case, card, rc, result, err)
                    self.teardown(case)
                    if not injected:
                        break
        print("  EIO injected in %d runs" % count)

    def two_at_once(self):
        self.setup(cards=2)
        for k, card in enumerate(self.cards):
            rc, _, err = cc.run(self.cfg, "set", card.point, "voiceVolume=%d" % (k + 1))
            if rc != 0:
                raise SystemExit(err)
            card.files["setup.cfg"] = cc.read(card.point, "setup.cfg")
        results = [None, None]

        def run(k):
            results[k] = self.format(self.cards[k])

        threads = [threading.Thread(target=run, args=(k,)) for k in range(2)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        for k, card in enumerate(self.cards):
            rc, result, err = results[k]
            self.check("two at once, card %d" % k, card, rc, result, err)
        self.teardown("two at once")

    def set_during_format(self):
        self.setup()
        card = self.cards[0]
        last = [None]
        done = threading.Event()

        def saves():
            value = 0
            while not done.is_set():
                value = value % 8 + 1
                rc, _, _ = cc.run(self.cfg, "set", card.point, "voiceVolume=%d" % value)
                if rc == 0:
                    last[0] = value
                    card.files["setup.cfg"] = None  # known only as the value below

        saver = threading.Thread(target=saves)
        saver.start()
        time.sleep(0.3)
        rc, result, err = self.format(card)
        time.sleep(0.3)
        done.set()
        saver.join()
        self.runs += 1
        if rc != 0:
            self.fail("set during a format", err.strip())
        else:
            rc2, out, _ = cc.run(self.cfg, "get", card.point, "voiceVolume")
            if last[0] is not None and out.strip() != str(last[0]):
                self.fail("set during a format", "the last save that reported success (voiceVolume=%s) is gone: %s"
                          % (last[0], out.strip()))
        self.teardown("set during a format")


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    cfg, work = os.path.realpath(sys.argv[1]), os.path.realpath(sys.argv[2])
    missing = [t for t in TOOLS if not shutil.which(t)]
    if os.geteuid() != 0 or missing or not os.path.exists("/dev/fuse") or not os.path.exists("/dev/loop-control"):
        print("format sweep skipped: needs root, /dev/fuse, loop devices and %s" % ", ".join(missing or TOOLS))
        return 0
    if os.environ.get("DASHCAM_FORMAT_SWEEP_NS") != "1":
        # A mount namespace of its own: the bind mounts over /sys and the FUSE mounts go with it.
        env = dict(os.environ, DASHCAM_FORMAT_SWEEP_NS="1")
        return subprocess.run(["unshare", "-m", "--propagation", "private", sys.executable, *sys.argv],
                              env=env).returncode
    os.makedirs(work, exist_ok=True)
    sweep = Sweep(cfg, work)
    start = time.time()
    for case in (sweep.plain, sweep.fixed, sweep.pulled_at_question, sweep.pulled_at_each_step, sweep.failed_remount, sweep.eio_sweep,
                 sweep.two_at_once, sweep.set_during_format):
        case()
    print("format sweep: %d runs in %.0f s, %d failures" % (sweep.runs, time.time() - start, len(sweep.failures)))
    return 1 if sweep.failures else 0


if __name__ == "__main__":
    sys.exit(main())
