#!/usr/bin/env python3
"""Peak memory of qvbook-cli's vCard import on the largest files it takes.

Writes vCard files of 64 MiB (the most an import reads) shaped to cost the most memory:
one card of millions of tiny properties, many cards of thousands each, one property of
millions of parameters, one value of half-width katakana in Shift-JIS (each byte three in
UTF-8), the same in a UTF-16 file, and a name of characters code page 932 lacks. Imports
each into an empty phonebook in a process of its own, optionally under an address-space
limit, and prints its exit code (negative: the signal that ended it), peak resident
memory and time.

usage: vcard_import_memory.py QVBOOK_CLI [--limit-mib N]
"""
import argparse
import os
import resource
import subprocess
import tempfile
import time

LIMIT = 64 * 1024 * 1024
TINY = b"X:1\r\n"
CARD = b"BEGIN:VCARD\r\nN:A\r\nTEL:1\r\n" + TINY * 6000 + b"END:VCARD\r\n"
KANA_NOTE_16 = "BEGIN:VCARD\r\nTEL:1\r\nN:A\r\nNOTE:".encode("utf-16-le")
END_16 = "\r\nEND:VCARD\r\n".encode("utf-16-le")


def filled(path, head, unit, tail=b"\r\nEND:VCARD\r\n"):
    """Writes `head`, `unit` as often as fits in LIMIT, then `tail`, in pieces, so that
    this script holds little memory (a child starts with its parent's peak)."""
    count = (LIMIT - len(head) - len(tail)) // len(unit)
    per_piece = max(1, (1 << 20) // len(unit))
    with open(path, "wb") as f:
        f.write(head)
        for _ in range(count // per_piece):
            f.write(unit * per_piece)
        f.write(unit * (count % per_piece))
        f.write(tail)


FILES = {
    "one card, tiny properties": lambda p: filled(p, b"BEGIN:VCARD\r\nTEL:1\r\nN:A\r\n", TINY, b"END:VCARD\r\n"),
    "many cards, tiny properties": lambda p: filled(p, b"", CARD, b""),
    "one property, tiny parameters": lambda p: filled(p, b"BEGIN:VCARD\r\nN:A\r\nTEL", b";A", b":1\r\nEND:VCARD\r\n"),
    "Shift-JIS kana name": lambda p: filled(p, b"BEGIN:VCARD\r\nTEL:1\r\nN:", b"\xb1"),
    "Shift-JIS kana note": lambda p: filled(p, b"BEGIN:VCARD\r\nTEL:1\r\nN:A\r\nNOTE:", b"\xb1"),
    "UTF-16 kana note": lambda p: filled(p, b"\xff\xfe" + KANA_NOTE_16, "\uff71".encode("utf-16-le"), END_16),
    "name without code page 932": lambda p: filled(p, b"BEGIN:VCARD\r\nTEL:1\r\nN:", "\ud55c".encode()),
}


def run(cli, folder, path, limit):
    def cap():
        if limit:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    started = time.monotonic()
    child = subprocess.Popen([cli, "import", os.path.join(folder, "empty.csv"), path, os.path.join(folder, "out.csv")],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, preexec_fn=cap)
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = os.waitstatus_to_exitcode(status)  # reaped by wait4, not by Popen
    return child.returncode, usage.ru_maxrss // 1024, time.monotonic() - started


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("cli")
    parser.add_argument("--limit-mib", type=int, default=0)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory(prefix="qvbook-vcard-memory-") as folder:
        open(os.path.join(folder, "empty.csv"), "wb").close()
        print(f"{'file (64 MiB)':32} {'exit':>5} {'peak MiB':>9} {'seconds':>8}")
        for name, write in FILES.items():
            path = os.path.join(folder, "contacts.vcf")
            write(path)
            code, peak, seconds = run(args.cli, folder, path, args.limit_mib << 20)
            print(f"{name:32} {code:>5} {peak:>9} {seconds:>8.1f}")


if __name__ == "__main__":
    main()
