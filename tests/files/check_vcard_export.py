"""Checks qvbook-cli's vCard export with an independent parser (vobject).

Exports a phonebook document as vCard 3.0 and 2.1 with qvbook-cli, parses each file with
vobject, and compares every card's name, reading, phone numbers and group with the
document's entries, read here with Python's own code page 932 codec.

usage: check_vcard_export.py QVBOOK_CLI PHONEBOOK.csv
"""
import csv
import io
import os
import subprocess
import sys
import tempfile
import unicodedata

import vobject


def entries_of(document):
    with open(document, encoding="cp932", newline="") as f:
        return [row for row in csv.reader(f)]


def texts(card, name):
    return [line.value for line in card.contents.get(name, [])]


def joined(parts, separator):
    """The family and given parts as the editor joins them: the separator only between
    two parts that are not empty."""
    parts = [",".join(p) if isinstance(p, list) else p for p in parts]
    return separator.join(p for p in parts if p)


def check(version, cli, document, folder):
    out = os.path.join(folder, f"export{version}.vcf")
    options = ["--vcard-version", "2.1"] if version == "21" else []
    subprocess.run([cli, "convert", document, out] + options, check=True)
    raw = open(out, "rb").read()
    # 3.0 is UTF-8; 2.1 keeps every byte beyond ASCII inside quoted-printable.
    text = raw.decode("utf-8" if version == "30" else "ascii")
    cards = list(vobject.readComponents(io.StringIO(text), allowQP=True))
    rows = entries_of(document)
    failures = []
    if len(cards) != len(rows):
        failures.append(f"{len(cards)} cards for {len(rows)} entries")
    for card, row in zip(cards, rows):
        number, name, reading, phones, group = row[0], row[1], row[2], [p for p in row[3:6] if p], row[6]
        n = card.n.value
        got = {
            "N": joined([n.family, n.given], "\u3000"),
            "FN": card.fn.value,
            "TEL": texts(card, "tel"),
            "X-GNO": card.contents["x-gno"][0].value,
        }
        want = {"N": name, "FN": name, "TEL": phones, "X-GNO": group}
        if version == "30":
            full_width = unicodedata.normalize("NFKC", reading)
            got["X-PHONETIC"] = joined(texts(card, "x-phonetic-last-name") + texts(card, "x-phonetic-first-name"), " ")
            got["SORT-STRING"] = "".join(texts(card, "sort-string"))
            want["X-PHONETIC"] = want["SORT-STRING"] = full_width
        else:
            sound = texts(card, "sound")
            got["SOUND"] = joined(sound[0].split(";")[:2], " ") if sound else ""
            want["SOUND"] = reading
        for key in want:
            if got[key] != want[key]:
                failures.append(f"{version} entry {number} {key}: {got[key]!r}, expected {want[key]!r}")
    return failures


def main():
    cli, document = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        failures = check("30", cli, document, folder) + check("21", cli, document, folder)
    for failure in failures:
        print(failure)
    print(f"{0 if failures else 2} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
