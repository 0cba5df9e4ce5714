#!/usr/bin/env python3
"""Reads the fault list and applies or checks one fault; used by run.sh.

The list is made of blocks separated by blank lines. Each block has the keys

    id:   a unique name (letters, digits, dashes)
    what: one line saying what the slip does
    file: the source file, relative to the repository root
    old:  the exact text to replace
    new:  the text to put in its place (may be empty: the old text is removed)
    run:  the test folders under tests/ whose programs should catch it, separated by blanks

`old` and `new` take the rest of their line. For text over several lines write `old: <<<` (or
`new: <<<`) and put the text on the following lines, ending with a line that holds only `>>>`; the
text's lines are kept exactly (leading blanks included), joined with newlines, without a final one.
Lines starting with `#` outside a multi-line text are comments.

Commands (ROOT is the repository root):
    apply.py list FAULTS                      one line per fault: id<TAB>file<TAB>run folders<TAB>what
    apply.py check FAULTS ROOT ID             exit 0 if the old text occurs exactly once, 3 if not
    apply.py apply FAULTS ROOT ID             replace it in the file (after the same check)
    apply.py validate FAULTS ROOT             check every fault; exit 1 on any problem
"""

import re
import sys

KEYS = ("id", "what", "file", "old", "new", "run")
FOLDERS = ("db", "orders", "money", "catalogues", "output", "app", "dsnsetup", "odbc", "stress")


class ListError(Exception):
    pass


def parse(path):
    faults = []
    current = {}
    lines = open(path, encoding="utf-8").read().split("\n")
    i = 0

    def finish(block, where):
        if not block:
            return
        missing = [k for k in KEYS if k not in block]
        if missing:
            raise ListError(f"{path}:{where}: fault {block.get('id', '?')} lacks {', '.join(missing)}")
        faults.append(block)

    while i < len(lines):
        line = lines[i]
        i += 1
        if not line.strip():
            finish(current, i)
            current = {}
            continue
        if line.startswith("#"):
            continue
        m = re.match(r"^([a-z]+):(?: (.*))?$", line)
        if not m or m.group(1) not in KEYS:
            raise ListError(f"{path}:{i}: not a 'key: value' line: {line!r}")
        key, value = m.group(1), m.group(2) or ""
        if key in current:
            raise ListError(f"{path}:{i}: {key} given twice (blank line missing between faults?)")
        if key in ("old", "new") and value == "<<<":
            text = []
            while i < len(lines) and lines[i] != ">>>":
                text.append(lines[i])
                i += 1
            if i >= len(lines):
                raise ListError(f"{path}: the text of {key} in {current.get('id', '?')} has no '>>>'")
            i += 1
            value = "\n".join(text)
        current[key] = value
    finish(current, i)

    seen = set()
    for f in faults:
        if not re.fullmatch(r"[A-Za-z0-9-]+", f["id"]):
            raise ListError(f"bad id {f['id']!r}")
        if f["id"] in seen:
            raise ListError(f"id {f['id']} used twice")
        seen.add(f["id"])
        if not f["old"]:
            raise ListError(f"{f['id']}: old is empty")
        if f["old"] == f["new"]:
            raise ListError(f"{f['id']}: old and new are the same")
        f["folders"] = f["run"].split()
        bad = [x for x in f["folders"] if x not in FOLDERS]
        if not f["folders"] or bad:
            raise ListError(f"{f['id']}: run names no known test folder ({f['run']!r})")
        if f["file"].startswith(("tests/", "bench/")) or ".." in f["file"]:
            raise ListError(f"{f['id']}: a fault belongs in the program's code, not {f['file']}")
    return faults


def find(faults, fid):
    for f in faults:
        if f["id"] == fid:
            return f
    raise ListError(f"no fault {fid}")


def occurrences(root, f):
    try:
        text = open(f"{root}/{f['file']}", encoding="utf-8").read()
    except OSError as e:
        return None, str(e)
    return text, text.count(f["old"])


def main(argv):
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    cmd, listfile = argv[1], argv[2]
    try:
        faults = parse(listfile)
        if cmd == "list":
            for f in faults:
                print("\t".join((f["id"], f["file"], " ".join(f["folders"]), f["what"])))
            return 0
        if cmd == "validate":
            root, problems = argv[3], 0
            for f in faults:
                _, n = occurrences(root, f)
                if n != 1:
                    print(f"{f['id']}: old text found {n} times in {f['file']}", file=sys.stderr)
                    problems += 1
            print(f"{len(faults)} faults, {problems} problems")
            return 1 if problems else 0
        if cmd in ("check", "apply"):
            root, f = argv[3], find(faults, argv[4])
            text, n = occurrences(root, f)
            if n != 1:
                print(f"old text found {n} times in {f['file']}", file=sys.stderr)
                return 3
            if cmd == "apply":
                with open(f"{root}/{f['file']}", "w", encoding="utf-8") as out:
                    out.write(text.replace(f["old"], f["new"], 1))
            return 0
    except ListError as e:
        print(e, file=sys.stderr)
        return 2
    print(f"unknown command {cmd}", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
