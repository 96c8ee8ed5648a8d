#!/usr/bin/env python3
"""Power cuts on real FAT32, exFAT and ext4 drivers: each image is mounted through its FUSE driver (fusefat,
exfat-fuse, fuse2fs),
one `dashcam-cfg set` runs, and the driver is killed (SIGKILL, nothing flushed) at its K-th write to the device, for
every K of that save. The image is then mounted again, loaded once (which completes or drops an interrupted save)
and must hold the old or the new record; fsck repairs what the cut left, and the record must survive that too.

usage: power_cut_sweep.py DASHCAM_CFG WORK_FOLDER [fat|exfat|ext4 ...]"""
import os
import shutil
import subprocess
import sys
import time

import card_check as cc

ROOT = os.geteuid() == 0


def installed_kinds(among=("fat", "exfat", "ext4")):
    """The file systems whose FUSE driver is installed."""
    drivers = {"fat": "fusefat", "exfat": "mount.exfat-fuse", "ext4": "fuse2fs"}
    return [k for k in among if shutil.which(drivers[k])]


class Volume:
    """One file-system image and how its FUSE driver mounts it."""

    def __init__(self, kind, work):
        self.kind, self.work = kind, work
        self.image = os.path.join(work, kind + ".img")
        self.point = os.path.join(work, kind + "-mnt")
        self.loop = None
        os.makedirs(self.point, exist_ok=True)

    def format(self):
        subprocess.run(["truncate", "-s", "0", self.image], check=True)
        subprocess.run(["truncate", "-s", "40M", self.image], check=True)
        # No volume label: fusefat lists the label's entry as a file.
        tool = {"fat": ["mkfs.fat", "-F", "32"], "exfat": ["mkfs.exfat"], "ext4": ["mkfs.ext4", "-q", "-F"]}[self.kind]
        subprocess.run(tool + [self.image], check=True, capture_output=True)

    def device(self):
        # As root exfat-fuse mounts block devices only; a loop device stands in for the card reader.
        if self.kind == "exfat" and ROOT:
            self.loop = subprocess.run(["losetup", "-f", "--show", self.image], check=True, capture_output=True,
                                       text=True).stdout.strip()
            return self.loop
        return self.image

    def driver(self, device):
        if self.kind == "fat":
            return ["fusefat", "-f", "-s", "-o", "rw+", device, self.point]
        if self.kind == "ext4":
            return ["fuse2fs", device, self.point, "-f", "-s"]
        return ["mount.exfat-fuse", "-d", device, self.point]

    def mount(self, strace=()):
        device = self.device()
        cmd = (["strace", "-f", "-qq", "-P", device, "-e", "trace=write,pwrite64,pwritev"] + list(strace)
               if strace else []) + self.driver(device)
        proc = subprocess.Popen(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not cc.wait_until(lambda: cc.mounted(self.point) or proc.poll() is not None):
            raise SystemExit("%s: the driver did not mount" % self.kind)
        return proc

    def unmount(self, proc):
        if cc.mounted(self.point):
            if proc.poll() is None:
                subprocess.run(["umount", self.point] if ROOT else ["fusermount3", "-u", self.point],
                               capture_output=True)
            if cc.mounted(self.point):
                subprocess.run(["umount", "-l", self.point] if ROOT else ["fusermount3", "-u", "-z", self.point],
                               capture_output=True)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
        if self.loop:
            subprocess.run(["losetup", "-d", self.loop], capture_output=True)
            self.loop = None

    def fsck(self, repair):
        """What fsck finds wrong with the image (repairing it when asked), one text per finding."""
        cmd = {"fat": ["fsck.fat", "-a" if repair else "-n"], "exfat": ["fsck.exfat", "-y" if repair else "-n"],
               "ext4": ["e2fsck", "-f", "-y" if repair else "-n"]}[self.kind] + [self.image]
        p = subprocess.run(cmd, capture_output=True, text=True)
        if p.returncode == 0:
            return []
        findings = []
        for line in (p.stdout + p.stderr).splitlines():
            line = line.strip()
            # fusefat never updates the free-cluster hint of FAT32; fsck corrects it on every image, cut or not.
            if not line or line.startswith(("fsck", "exfatprogs", "e2fsck", "Pass ", "Free cluster summary", "Auto-correcting",
                                            "Leaving filesystem", "Performing changes", "/", "ERROR: bad",
                                            "Checking")) or self.image in line:
                continue
            findings.append(line)
        return findings or ["exit status %d" % p.returncode]


def sweep(cfg, kind, work, old, new):
    vol = Volume(kind, work)
    pristine = os.path.join(work, kind + "-pristine.img")
    vol.format()
    proc = vol.mount()
    cc.make_card(vol.point)
    vol.unmount(proc)
    shutil.copyfile(vol.image, pristine)
    assignment = cc.FIELD + "=48"

    # How many device writes one save (mount to unmount) makes.
    log = os.path.join(work, kind + "-writes.txt")
    proc = vol.mount(["-o", log])
    rc, _, err = cc.run(cfg, "set", vol.point, assignment)
    vol.unmount(proc)
    if rc != 0:
        raise SystemExit("%s: the save without a cut failed: %s" % (kind, err))
    writes = sum(1 for line in open(log) if "write" in line and "= " in line)

    failures, outcomes, dirty, findings = [], {"old": 0, "new": 0}, 0, set()
    for k in range(1, writes + 1):
        shutil.copyfile(pristine, vol.image)
        proc = vol.mount(["-o", "/dev/null", "-e", "inject=write,pwrite64,pwritev:signal=KILL:when=%d" % k])
        try:
            rc, _, err = cc.run(cfg, "set", vol.point, assignment, timeout=30)
        except subprocess.TimeoutExpired:
            rc, err = None, "timed out"
        vol.unmount(proc)

        found_wrong = [f for f in vol.fsck(repair=False) if "(hint)" not in f]
        dirty += bool(found_wrong)
        findings.update(found_wrong)
        where = "%s K=%d" % (kind, k)
        # fuse2fs writes ext4 without its journal, like ext2: after a cut the system checks the volume before it
        # mounts it. FAT and exFAT are used as the cut left them, as a camera or a PC would.
        if kind == "ext4":
            vol.fsck(repair=True)
        proc = vol.mount()
        lrc, _, lerr = cc.run(cfg, "get", vol.point, cc.FIELD)
        problem = cc.verdict(vol.point, old, new, rc, err) if lrc == 0 else "the next load failed: " + lerr.strip()
        found = cc.read(vol.point)
        vol.unmount(proc)
        if problem:
            failures.append(where + ": " + problem)
            continue
        outcomes["new" if found == new else "old"] += 1
        # What fsck repairs must not take the record with it.
        vol.fsck(repair=True)
        proc = vol.mount()
        after = cc.read(vol.point)
        vol.unmount(proc)
        if after != found:
            failures.append(where + ": fsck's repair changed setup.cfg")
    print("power-cut sweep %s: %d device writes per save, %d cuts: %d old, %d new, %d images needed fsck, "
          "%d lost or dishonest" % (kind, writes, writes, outcomes["old"], outcomes["new"], dirty, len(failures)))
    for f in sorted(findings):
        print("  fsck: " + f)
    for f in failures:
        print("  " + f)
    return failures


def main():
    cfg, work = sys.argv[1], sys.argv[2]
    kinds = sys.argv[3:] or installed_kinds()
    if not kinds:
        print("power-cut sweep skipped: none of fusefat, exfat-fuse, fuse2fs is installed")
        return 0
    if not os.path.exists("/dev/fuse"):
        print("power-cut sweep skipped: no /dev/fuse on this machine")
        return 0
    if not ROOT:
        print("power-cut sweep skipped: needs root (fusefat mounts through libfuse2's fusermount, and the images "
              "are remounted many times)")
        return 0
    started = time.time()
    os.makedirs(work, exist_ok=True)
    new = cc.expected_after_set(cfg, os.path.join(work, "scratch"), [cc.FIELD + "=48"])
    old = cc.make_card(os.path.join(work, "old"))
    failures = []
    for kind in kinds:
        failures += sweep(cfg, kind, work, old, new)
    print("power-cut sweep: %.0f s" % (time.time() - started))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
