#!/usr/bin/env python3
# SPDX-License-Identifier: BSD-2-Clause
"""A hostile game: one word of 256 MiB, then nineteen more, read from a file and piped in.

Prints the throughput and the peak resident memory of the game beside cat reading
the same pipe, and fails when the huge word costs the game more than FLAT_KIB of memory
beyond an ordinary game. Usage: bench/hostile.py [PROGRAM]
"""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from needs import gnu_time  # noqa: E402

SIZE = 256 * 1024 * 1024

TIME = gnu_time()  # GNU time, which measures peak memory
FLAT_KIB = 1024  # the word is read as a stream, never held


def run(consumer, path, piped):
    """Seconds and peak KiB of `consumer` reading `path`, itself or through a pipe from cat."""
    with tempfile.NamedTemporaryFile() as peak, open(path, "rb") as source:
        start = time.perf_counter()
        feed = subprocess.Popen(["cat"], stdin=source, stdout=subprocess.PIPE) if piped else None
        subprocess.run([TIME, "-f", "%M", "-o", peak.name] + consumer,
                       stdin=feed.stdout if piped else source, stdout=subprocess.DEVNULL, check=True)
        if piped:
            feed.wait()
        return time.perf_counter() - start, int(peak.read())


def main():
    if TIME is None:
        sys.exit("needs GNU time (the time package; gtime on macOS and the BSDs)")
    program = sys.argv[1] if len(sys.argv) > 1 else "build/release/fibbet"
    with tempfile.TemporaryDirectory() as work:
        path = os.path.join(work, "hostile")
        ordinary = os.path.join(work, "ordinary")
        last_words = b" " + b" ".join(b"word%d" % k for k in range(2, 21)) + b"\n"
        with open(path, "wb") as f:
            block = b"w" * (1024 * 1024)
            for _ in range(SIZE // len(block)):
                f.write(block)
            f.write(last_words)
        with open(ordinary, "wb") as f:
            f.write(b"word1" + last_words)
        _, ordinary_kib = run([program], ordinary, False)
        print(f"{'':24}{'GB/s':>8}{'peak RSS KiB':>14}")
        print(f"{'fibbet, ordinary words':24}{'':>8}{ordinary_kib:>14,}")
        rows = [("fibbet < file", [program], False), ("cat file | fibbet", [program], True),
                ("cat file | cat", ["cat"], True)]
        over = []
        for name, consumer, piped in rows:
            best = min(run(consumer, path, piped) for _ in range(3))
            print(f"{name:24}{SIZE / best[0] / 1e9:>8.2f}{best[1]:>14,}")
            if consumer == [program] and best[1] > ordinary_kib + FLAT_KIB:
                over.append(name)
    if over:
        sys.exit(f"the huge word cost more than {FLAT_KIB} KiB beyond an ordinary game: {', '.join(over)}")


if __name__ == "__main__":
    main()
