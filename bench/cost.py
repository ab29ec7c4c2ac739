# SPDX-License-Identifier: BSD-2-Clause
"""What one whole game costs, beside cat printing the same transcript.

Prints the instructions executed (valgrind's callgrind: repeatable on a busy machine)
and the peak resident memory of each. Usage: bench/cost.py [PROGRAM]
"""
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from transcript import SAMPLE_ANSWERS as WORDS, transcript  # noqa: E402


def instructions(command, stdin):
    with open(stdin, "rb") as source:
        run = subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=/dev/null"] + command,
                             stdin=source, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(re.search(rb"Collected : (\d+)", run.stderr).group(1))


def peak_kib(command, stdin):
    # GNU time: a child forked from this Python would count Python's pages as its own.
    with open(stdin, "rb") as source:
        run = subprocess.run(["/usr/bin/time", "-f", "%M"] + command,
                             stdin=source, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=True)
    return int(run.stderr.split()[-1])


def main():
    program = sys.argv[1] if len(sys.argv) > 1 else "build/release/fibbet"
    with tempfile.TemporaryDirectory() as work:
        answers, story = os.path.join(work, "answers"), os.path.join(work, "transcript")
        with open(answers, "wb") as f:
            f.write(b"\n".join(WORDS) + b"\n")
        with open(story, "wb") as f:
            f.write(transcript(WORDS))
        rows = [("fibbet < answers", [program], answers), ("cat transcript", ["cat", story], os.devnull)]
        print(f"{'':20}{'instructions':>14}{'peak RSS KiB':>14}")
        for name, command, stdin in rows:
            print(f"{name:20}{instructions(command, stdin):>14,}{peak_kib(command, stdin):>14,}")


if __name__ == "__main__":
    main()
