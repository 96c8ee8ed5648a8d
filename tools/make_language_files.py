#!/usr/bin/env python3
"""Builds the twelve interface language files res/lang/<language>.lng from res/lang/src/<language>.txt.

A source file is UTF-8 text that a translator edits: a [font] section and a [text] section, one `KEY = value` line
each, and comment lines that start with '#'. res/lang/src/keys.txt names the keys of every text that the editor
shows; each language must give each of them a non-empty quoted text without a double quote inside.

A built file is UTF-16LE text with the byte-order mark FF FE and CRLF line ends: the sections in source order,
separated by an empty line, each entry written as KEY=value with the value exactly as in the source.

    python3 tools/make_language_files.py [--check] [--root DIR]

--check writes nothing and exits 1 when a committed .lng file differs from what its source builds, a source lacks
a key, or the program's sources name a key that keys.txt does not list (or the reverse); the tests run it so that a source and its committed file cannot drift apart.
"""
import os
import re
import sys


class SourceError(Exception):
    pass


def read_keys(path):
    with open(path, encoding="utf-8") as f:
        keys = [line.strip() for line in f if line.strip() and not line.lstrip().startswith("#")]
    if len(set(keys)) != len(keys):
        raise SourceError("%s: a key is listed twice" % path)
    return keys


def check_program_keys(root, keys):
    """Every key that the program's sources name is in keys.txt, and every key there is named by them."""
    named = set()
    for folder, _, files in os.walk(os.path.join(root, "src")):
        for name in files:
            if name.endswith((".cpp", ".h")):
                with open(os.path.join(folder, name), encoding="utf-8") as f:
                    named.update(re.findall(r"IDS_STRING[0-9]+", f.read()))
    unlisted = sorted(named - set(keys))
    unused = sorted(set(keys) - named)
    if unlisted or unused:
        raise SourceError("keys.txt lacks %s and lists keys no source shows: %s" % (unlisted, unused))


def read_source(path):
    """The sections of one source file: a list of (name, [(key, raw value)])."""
    sections = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n").rstrip()
            where = "%s:%d" % (path, number)
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            if line.startswith("[") and line.endswith("]"):
                sections.append((line[1:-1], []))
                continue
            key, equals, value = line.partition("=")
            if not equals or not key.strip():
                raise SourceError(where + ": expected KEY = value")
            if not sections:
                raise SourceError(where + ": entry before the first [section]")
            sections[-1][1].append((key.strip(), value.lstrip()))
    return sections


def check_language(path, sections, keys):
    names = [name for name, _ in sections]
    if names != ["font", "text"]:
        raise SourceError("%s: sections %s, expected [font] then [text]" % (path, names))
    font = dict(sections[0][1])
    for key in ("DEFAULT_UI_FACENAME", "DEFAULT_UI_CHARSET", "DEFAULT_UI_CODEPAGE"):
        if key not in font:
            raise SourceError("%s: [font] lacks %s" % (path, key))
    texts = {}
    for key, value in sections[1][1]:
        texts.setdefault(key, value)
    for key in keys:
        value = texts.get(key)
        if value is None:
            raise SourceError("%s: %s missing" % (path, key))
        inner = value[1:-1]
        if len(value) < 2 or value[0] != '"' or value[-1] != '"' or '"' in inner or not inner.strip():
            raise SourceError('%s: %s must be a non-empty "text" without a double quote inside' % (path, key))


def built_bytes(sections):
    lines = []
    for name, entries in sections:
        if lines:
            lines.append("")
        lines.append("[%s]" % name)
        lines += ["%s=%s" % entry for entry in entries]
    return b"\xff\xfe" + "".join(line + "\r\n" for line in lines).encode("utf-16-le")


def main(argv):
    args = argv[1:]
    check = "--check" in args
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    if "--root" in args:
        root = args[args.index("--root") + 1]
    folder = os.path.join(root, "res", "lang")
    sources = os.path.join(folder, "src")
    stale = []
    try:
        keys = read_keys(os.path.join(sources, "keys.txt"))
        if os.path.isdir(os.path.join(root, "src")):
            check_program_keys(root, keys)
        languages = sorted(n[:-4] for n in os.listdir(sources) if n.endswith(".txt") and n != "keys.txt")
        for language in languages:
            path = os.path.join(sources, language + ".txt")
            sections = read_source(path)
            check_language(path, sections, keys)
            data = built_bytes(sections)
            target = os.path.join(folder, language + ".lng")
            if check:
                try:
                    with open(target, "rb") as f:
                        if f.read() != data:
                            stale.append(target)
                except OSError:
                    stale.append(target)
            else:
                with open(target, "wb") as f:
                    f.write(data)
    except (SourceError, OSError) as error:
        print("make_language_files: %s" % error, file=sys.stderr)
        return 1
    if stale:
        print("out of date (run tools/make_language_files.py): " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
