"""Shared pieces of the reliability sweeps: sample cards, the record bytes a save must produce, and the check that
a card holds the old or the new record and nothing else."""
import os
import shutil
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
CARD_FILES = {"setup.cfg", "default.cfg", "lang", "lost+found"}  # lost+found: an ext4 image's own
# The field each sweep changes, its value before, and the two values the saves write.
FIELD = "recordTimerHours"


def make_card(folder, tail=b"TAIL-OF-A-NEWER-LAYOUT-0123"):
    """A sample card whose setup.cfg is longer than the record, so that a save must keep its tail."""
    os.makedirs(folder, exist_ok=True)
    sample = os.path.join(SOURCE, "examples", "card")
    # Contents only: the FAT drivers cannot set modes or times.
    for top, dirs, files in os.walk(sample):
        target = os.path.join(folder, os.path.relpath(top, sample))
        os.makedirs(target, exist_ok=True)
        for name in files:
            shutil.copyfile(os.path.join(top, name), os.path.join(target, name))
    with open(os.path.join(folder, "setup.cfg"), "ab") as f:
        f.write(tail)
    return read(folder)


def read(folder, name="setup.cfg"):
    try:
        with open(os.path.join(folder, name), "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def run(cfg, *args, timeout=30):
    p = subprocess.run([cfg, *args], capture_output=True, text=True, timeout=timeout)
    return p.returncode, p.stdout, p.stderr


def expected_after_set(cfg, scratch, assignments):
    """The exact setup.cfg bytes that `set` produces from the sample card, made once without faults."""
    if os.path.exists(scratch):
        shutil.rmtree(scratch)
    make_card(scratch)
    rc, _, err = run(cfg, "set", scratch, *assignments)
    if rc != 0:
        raise SystemExit("the fault-free save failed: " + err)
    return read(scratch)


def verdict(folder, old, new, rc=None, stderr="", name="setup.cfg"):
    """None when the card is sound, else what is wrong. `rc` is the exit status of the save, when it ended; an old
    or new content of None means the file is not there."""
    content = read(folder, name)
    extra = sorted(set(os.listdir(folder)) - CARD_FILES - {name})
    if read(folder) is None:
        return "setup.cfg is missing"
    if content not in (old, new):
        return "%s is neither the old nor the new content (%s)" % (
            name, "missing" if content is None else "%d bytes" % len(content))
    if extra:
        return "stray files: " + ", ".join(extra)
    if rc == 0 and content != new:
        return "exit status 0 but the old content is on the card"
    if rc not in (None, 0) and content != old and "unchanged" in stderr:
        return "reported the card unchanged but it holds the new content"
    return None


def mounted(point):
    """Whether a file system is mounted at exactly this folder."""
    with open("/proc/self/mounts") as f:
        return any(line.split()[1] == point for line in f)


def wait_until(predicate, seconds=10):
    end = time.time() + seconds
    while time.time() < end:
        if predicate():
            return True
        time.sleep(0.02)
    return False
