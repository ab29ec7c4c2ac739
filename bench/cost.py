#!/usr/bin/env python3
# SPDX-License-Identifier: BSD-2-Clause
"""What one whole game costs, beside two programs that only print the same transcript:
cat, and the smallest C++ program that prints it with iostreams, linked dynamically as
the game is (the language runtime's own start-up, which the game cannot go below).

Prints the instructions executed (valgrind's callgrind: repeatable on a busy machine)
and the peak resident memory of each, and fails when a game costs more than FLOOR_RATIO
times the instructions of the C++ program, or more than FLOOR_KIB beyond its memory.
Usage: bench/cost.py [PROGRAM...]
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from needs import gnu_time  # noqa: E402
from transcript import SAMPLE_ANSWERS as WORDS, transcript  # noqa: E402

ONLY_PRINTS = """#include <iostream>
int main() { std::cout << R"fibbet(%s)fibbet"; }
"""

TIME = gnu_time()  # GNU time, which measures peak memory
# How far above the runtime's floor a game may cost: it measures 1.08 times its instructions on Debian 12.
FLOOR_RATIO = 1.25
FLOOR_KIB = 1024


def instructions(command, stdin):
    with open(stdin, "rb") as source:
        run = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + command,
                             stdin=source, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(re.search(rb"Collected : (\d+)", run.stderr).group(1))


def peak_kib(command, stdin):
    # GNU time: a child forked from this Python would count Python's pages as its own.
    with open(stdin, "rb") as source:
        run = subprocess.run([TIME, "-f", "%M"] + command,
                             stdin=source, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(run.stderr.split()[-1])


def main():
    if TIME is None:
        sys.exit("needs GNU time (the time package; gtime on macOS and the BSDs)")
    programs = sys.argv[1:] or ["build/release/fibbet"]
    with tempfile.TemporaryDirectory() as work:
        answers, story = os.path.join(work, "answers"), os.path.join(work, "transcript")
        with open(answers, "wb") as f:
            f.write(b"\n".join(WORDS) + b"\n")
        with open(story, "wb") as f:
            f.write(transcript(WORDS))
        source, printer = os.path.join(work, "prints.cpp"), os.path.join(work, "prints")
        with open(source, "w") as f:
            f.write(ONLY_PRINTS % transcript(WORDS).decode())
        subprocess.run(["c++", "-std=c++20", "-O2", source, "-o", printer], check=True)

        rows = [(f"{program} < answers", [program], answers) for program in programs]
        rows += [("C++ program that prints it", [printer], os.devnull), ("cat transcript", ["cat", story], os.devnull)]
        baseline, baseline_kib = instructions([printer], os.devnull), peak_kib([printer], os.devnull)
        print(f"{'':40}{'instructions':>14}{'× C++':>8}{'peak RSS KiB':>14}")
        over = []
        for name, command, stdin in rows:
            count, kib = instructions(command, stdin), peak_kib(command, stdin)
            print(f"{name:40}{count:>14,}{count / baseline:>8.2f}{kib:>14,}")
            if command[0] in programs and (count > FLOOR_RATIO * baseline or kib > baseline_kib + FLOOR_KIB):
                over.append(name)
    if over:
        sys.exit(f"above the runtime's floor ({FLOOR_RATIO} times its instructions, {FLOOR_KIB} KiB over its"
                 f" memory): {', '.join(over)}")


if __name__ == "__main__":
    main()
