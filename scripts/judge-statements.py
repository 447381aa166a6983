#!/usr/bin/env python3
"""Judge the recorded statement readings against what a careful user expects.

Reads tests/fixtures/import/statements.golden.txt (written by StatementGoldenTest)
and tests/fixtures/import/statements/expected.json, and prints for each file of
expected.json whether the recorded rows are the expected ones, with a short
reason when not, then the number that match. A review tool: the count must not
fall from one change to the next.

Rows match when they are the expected rows in file order: the same date,
direction and amount, the memo as written (surrounding blanks aside) or one of
its listed alternatives, and the account where one is expected. A file that
expects no rows matches when none were read.
"""

import json
import re
import sys
import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GOLDEN = ROOT / "tests/fixtures/import/statements.golden.txt"
EXPECTED = ROOT / "tests/fixtures/import/statements/expected.json"

QUOTED = r'"((?:[^"\\]|\\.)*)"'
ROW = re.compile(
    r"row \d+(?: \(line \d+\))?: (\S+) (in|out) (\S+) " + QUOTED +
    r"(?: transfer)?(?: account " + QUOTED + r")?(?: currency (\S+))?(?: category " + QUOTED + r")?$")
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\", '"': '"'}


def unquote(text):
    if text is None:
        return None
    return re.sub(r"\\u\{([0-9a-f]+)\}|\\(.)",
                  lambda m: chr(int(m.group(1), 16)) if m.group(1) else ESCAPES.get(m.group(2), m.group(2)), text)


def read_golden(path):
    files, current = {}, None
    for line in path.read_text(encoding="utf-8").split("\n"):
        if line.startswith("== "):
            current = files.setdefault(line[3:], {"rows": [], "lines": []})
        elif current is not None and line:
            current["lines"].append(line)
            m = ROW.match(line)
            if m:
                date, direction, amount, memo, account, currency, category = m.groups()
                current["rows"].append({"date": date, "dir": direction, "amount": float(amount),
                                        "memo": unquote(memo), "account": unquote(account)})
            elif line.startswith("row "):
                sys.exit(f"unreadable row line: {line}")
    return files


def loose(text):
    return "".join(unicodedata.normalize("NFKC", text).split())


ENCODINGS = ["cp932", "euc_jp", "cp1252", "utf-8"]


def misread(got, want):
    """The encodings by which `want` became `got`, if any."""
    for read in ENCODINGS:
        for written in ENCODINGS:
            if read == written:
                continue
            try:
                if loose(want.encode(written).decode(read, errors="replace")) == loose(got):
                    return f"written in {written}, read as {read}"
            except (UnicodeEncodeError, LookupError):
                pass
    return None


def memo_ok(got, row):
    wanted = [row["memo"]] + row.get("memo_alt", [])
    # A memo may end in a note on what is acceptable: "A B (one row; the line break kept or a blank)".
    note = re.fullmatch(r"(.*) \(([^()]*;[^()]*)\)", row["memo"], re.S)
    if note:
        wanted[0] = note.group(1)
        if "line break" in note.group(2):
            wanted += [note.group(1).replace(" ", "\r\n"), note.group(1).replace(" ", "\n")]
    return got.strip() in [m.strip() for m in wanted]


def row_faults(got, want):
    faults = []
    if got["date"] != want["date"]:
        faults.append(f"date {got['date']} for {want['date']}")
    if got["dir"] != want["dir"]:
        faults.append(f"{got['dir']} for {want['dir']}")
    if got["amount"] < 0:
        faults.append(f"negative amount {got['amount']:g} for {want['dir']} {want['amount']:g}")
    elif abs(got["amount"] - float(want["amount"])) > 0.005:
        faults.append(f"amount {got['amount']:g} for {want['amount']:g}")
    if not memo_ok(got["memo"], want):
        how = misread(got["memo"], want["memo"])
        if how:
            faults.append(f"wrong encoding ({how}): {got['memo']!r}")
        elif got["memo"] == "".join(want["memo"].split()):
            faults.append(f"blanks dropped: {got['memo']!r}")
        elif loose(got["memo"]) == loose(want["memo"]):
            faults.append(f"blanks or widths differ: {got['memo']!r} for {want['memo']!r}")
        else:
            faults.append(f"memo {got['memo']!r} for {want['memo']!r}")
    if "account" in want and got["account"] != want["account"]:
        faults.append(f"account {got['account']!r} for {want['account']!r}")
    return faults


def judge(entry, read):
    """None when the rows match, else why not."""
    if read is None:
        return "not in the golden file"
    got, want = read["rows"], entry["expect"]
    refusal = next((line[len("refused: "):] for line in read["lines"] if line.startswith("refused: ")), None)
    if not want:
        return None if not got else f"{len(got)} rows where none are expected"
    if refusal:
        notes = [line for line in read["lines"] if line.startswith("notice: Lines not read")]
        return f"refused ({refusal})" + (f"; {notes[0][len('notice: '):]}" if notes else "")
    pairs = list(zip(got, want))
    faults = []
    if len(got) != len(want):
        # rows paired by date, to tell lost rows from wrong ones
        left = list(want)
        pairs = []
        for g in got:
            w = next((w for w in left if w["date"] == g["date"]), None)
            if w is None:
                faults.append(f"extra row {g['date']} {g['dir']} {g['amount']:g}")
            else:
                left.remove(w)
                pairs.append((g, w))
        faults.insert(0, f"{len(got)} rows of {len(want)} expected" +
                      (f", lost: {', '.join(w['date'] for w in left)}" if left else ""))
        notes = [line[len("notice: "):] for line in read["lines"] if line.startswith("notice: Lines not read")]
        faults[1:1] = notes
    for number, (g, w) in enumerate(pairs, 1):
        faults += [f"row {number}: {fault}" for fault in row_faults(g, w)]
    swapped = [f for f in faults if re.match(r"row \d+: (in for out|out for in)$", f)]
    if swapped and len(swapped) == len(faults):
        headed = any("names its columns" in line for line in read["lines"])
        return "in and out swapped" + (" (the heads notice given)" if headed else " without a notice")
    return "; ".join(faults) or None


def main():
    golden = read_golden(GOLDEN)
    expected = json.loads(EXPECTED.read_text(encoding="utf-8"))
    matched = blanks = 0
    for entry in expected:
        why = judge(entry, golden.get("statements/" + entry["file"]))
        matched += why is None
        # the text reader drops blanks outside quotes by rule: counted apart
        blanks += why is not None and all("blanks dropped" in part for part in why.split("; "))
        print(f"{'ok  ' if why is None else 'DIFF'} {entry['file']}" + ("" if why is None else f": {why}"))
    print(f"{matched} of {len(expected)} files read as expected"
          f" ({blanks} more differ only in blanks dropped outside quotes)")


if __name__ == "__main__":
    main()
