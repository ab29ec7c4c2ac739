# SPDX-License-Identifier: BSD-2-Clause
"""Whole games through the built program, with piped input: every byte of output and the exit status.

Usage: games.py [--windows [--set-console EXE]] [--huge-word MB] -- COMMAND...   (e.g. --windows -- wine fibbet.exe)
"""
import argparse
import os
import random
import resource
import subprocess
import sys
import tempfile
import time
import unittest

try:
    import pexpect
except ImportError:
    pexpect = None

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from needs import gnu_time, needs  # noqa: E402
from transcript import GREETING, PROMPTS, SAMPLE_ANSWERS as ORDINARY, answers_for, transcript  # noqa: E402
from wine_server import keep_wine_up  # noqa: E402

A30 = b"a" * 30

# name, input, answers the game must print (None: as the reading rules give them). An input given as a list of
# pieces comes through a non-blocking pipe, each piece a little after the one before.
CASES = [
    ("ordinary", b"\n".join(ORDINARY) + b"\n", ORDINARY),
    ("all_on_one_line", b" ".join(ORDINARY) + b"\n", ORDINARY),
    ("crlf_and_every_white_space", b"\r\n\t".join(ORDINARY[:10]) + b"\v\f" + b" \r\n".join(ORDINARY[10:]) + b"\r\n", ORDINARY),
    ("empty", b"", [b""] * 20),
    ("ends_mid_game", b"one two three\n", [b"one", b"two", b"three"] + [b""] * 17),
    ("ends_mid_word", b"one tw", [b"one", b"tw"] + [b""] * 18),
    ("more_than_twenty", b" ".join(ORDINARY) + b" extra words\n", ORDINARY),
    ("widths_31_32_thousands", b"x" * 31 + b" " + b"y" * 32 + b" " + b"z" * 5000 + b" after\n",
     [b"x" * 31, b"y" * 31, b"z" * 31, b"after"] + [b""] * 16),
    ("utf8_at_the_cut", A30 + "é".encode() + b" " + A30[2:] + "€".encode() + b" " + A30[3:] + "😀".encode() + b" " + A30[2:] + "😀".encode(),
     [A30, A30[2:] + "€".encode(), A30[3:] + "😀".encode(), A30[2:]] + [b""] * 16),
    ("nul_bytes", b"a\0b \0 \0\0\0", [b"a\0b", b"\0", b"\0\0\0"] + [b""] * 17),
    ("nul_run", b"\0" * 100_000 + b" after", [b"\0" * 31, b"after"] + [b""] * 18),
    ("ends_inside_a_character", b"caf\xc3 " + A30 + b"\xe2\x82", [b"caf\xc3", A30] + [b""] * 18),
    ("markers", b"%s %n %% \\ %s%s%n %", [b"%s", b"%n", b"%%", b"\\", b"%s%s%n", b"%"] + [b""] * 14),
    ("random_binary", random.Random(6).randbytes(4000), None),
    ("white_space_runs", b" " * 100_000 + b"w" + b"\t" * 70_000, [b"w"] + [b""] * 19),
    ("starts_with_ff", b"\xff\xfe " + b" ".join(ORDINARY[:19]), [b"\xff\xfe"] + ORDINARY[:19]),  # 0xFF is no end
    ("non_blocking_pipe_words_late", [b"one tw", b"o three\n", b"four"], [b"one", b"two", b"three", b"four"] + [b""] * 16),
]
UTF8_ONLY = {"utf8_at_the_cut", "ends_inside_a_character"}  # rows whose cut is UTF-8's
LATE = 0.2  # seconds between the pieces of an input that comes late

# The Windows console's input code page decides where a long word is cut: code page, input, the answers kept.
# "watashi wa nihongo o benkyou shite imasu" in code page 932 is nineteen characters of two bytes.
JAPANESE = "わたしはにほんごをべんきょうしています".encode("cp932")
CODE_PAGES = [
    (1252, A30 + "étude".encode("cp1252"), [A30 + "é".encode("cp1252")]),
    (850, A30 + "ße".encode("cp850") + b" " + A30 + "Ó".encode("cp850"),
     [A30 + "ß".encode("cp850"), A30 + "Ó".encode("cp850")]),
    (932, JAPANESE + b" " + A30[1:] + "凜x".encode("cp932") + b" " + A30 + "ﾀﾀ".encode("cp932"),
     [JAPANESE[:30], A30[1:] + "凜".encode("cp932"), A30 + "ﾀ".encode("cp932")]),
    (65001, A30 + "é".encode() + b" " + A30[2:] + "€".encode(), [A30, A30[2:] + "€".encode()]),
    # The input code page decides, not the output one: (input, output).
    ((932, 1252), JAPANESE, [JAPANESE[:30]]),
]


def windows_path(path):
    """`path` as a Windows program under Wine names it: on drive Z:, Wine's way to the whole file system."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Games(unittest.TestCase):
    program = []
    windows = False
    set_console = None
    huge_word = 300  # megabytes

    @classmethod
    def setUpClass(cls):
        cls.stop_wine = keep_wine_up(cls.program) if cls.windows else None

    @classmethod
    def tearDownClass(cls):
        if cls.stop_wine:
            cls.stop_wine()

    def answers_for(self, data):
        # Windows reads its input in text mode, where Ctrl-Z marks the end of a file. Through a pipe it has no
        # console, and its words are in the ANSI code page: 1252, of single bytes, under Wine in the C locale.
        return answers_for(data.split(b"\x1a")[0], utf8=False) if self.windows else answers_for(data)

    def play(self, data, args=(), program=None, **streams):
        if isinstance(data, list):
            return self.play_late(data)
        streams.setdefault("stdout", subprocess.PIPE)
        result = subprocess.run((program or self.program) + list(args), input=data, stderr=subprocess.PIPE,
                                timeout=120, **streams)
        self.said = result.stderr  # what the game or Wine said, for a failure to show
        return result.returncode, result.stdout

    def play_late(self, pieces):
        """Plays a game whose input is a non-blocking pipe, written in `pieces`: reading it says "try again"."""
        reader, writer = os.pipe()
        os.set_blocking(reader, False)
        child = subprocess.Popen(self.program, stdin=reader, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        os.close(reader)
        try:
            for piece in pieces:
                time.sleep(LATE)
                os.write(writer, piece)
        except BrokenPipeError:
            pass  # the game did not wait for the rest: its output tells
        os.close(writer)
        output, self.said = child.communicate(timeout=120)
        return child.returncode, output

    def check_output(self, output, answers):
        expected = transcript(answers, b"\r\n" if self.windows else b"\n")
        if self.windows:
            # The command interpreter's notice for "pause" follows the story; its words are its own.
            self.assertEqual(output[:len(expected)], expected)
            self.assertTrue(output[len(expected):].strip(), "no pause notice after the story")
        else:
            self.assertEqual(output, expected)

    def test_games(self):
        for name, data, answers in CASES:
            if self.windows and name in UTF8_ONLY:
                continue  # the code-page rows play them in a console whose code page is UTF-8
            with self.subTest(name):
                status, output = self.play(data)
                self.assertEqual(status, 0, self.said)
                self.check_output(output, answers if answers is not None else self.answers_for(data))

    def test_arguments_are_ignored(self):
        data = b" ".join(ORDINARY)
        self.assertEqual(self.play(data, ["--help", "-x", "story.txt"]), self.play(data))

    def test_closed_input(self):
        # A preloaded library (libfaketime, say) may open a file of its own as descriptor 0 before the game starts.
        probe = subprocess.run([sys.executable, "-c", "import os; os.fstat(0)"], stdin=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, preexec_fn=lambda: os.close(0))
        if probe.returncode == 0:
            self.skipTest("descriptor 0 does not stay closed here: a preloaded library opens a file as it")
        status, output = self.play(None, stdin=subprocess.DEVNULL, preexec_fn=lambda: os.close(0))
        self.assertEqual(status, 0)
        self.check_output(output, [b""] * 20)

    def test_output_that_cannot_be_written(self):
        data = b" ".join(ORDINARY)
        with self.subTest("a full disk"):
            needs(os.path.exists("/dev/full"), "a system with /dev/full (Linux, FreeBSD)")
            with open("/dev/full", "wb") as full:
                self.assertEqual(self.play(data, stdout=full)[0], 0)
        reader, writer = os.pipe()
        os.close(reader)  # nobody reads: every write fails
        try:
            self.assertEqual(self.play(data, stdout=writer)[0], 0)
        finally:
            os.close(writer)
        if not self.windows:  # a file size limit, as `ulimit -f 1` sets: the first KiB is written, the rest fails
            limit = 1024
            with tempfile.TemporaryFile() as out:
                status, _ = self.play(data, stdout=out,
                                      preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit)))
                self.assertEqual(status, 0)
                out.seek(0)
                # Linux writes up to the limit. Where the kernel fails the whole write that crosses it (EFBIG:
                # older FreeBSD filesystems, old macOS), the file ends with the write before, the last prompt.
                self.assertIn(out.read(), [transcript(ORDINARY)[:limit], GREETING + b"".join(PROMPTS)])

    def test_pause_that_cannot_run(self):
        if not self.windows:
            self.skipTest("the command interpreter's pause is Windows' own")
        # "pause" runs in the interpreter that COMSPEC names. Wine keeps its own COMSPEC, so a Windows
        # parent (cmd) sets it to a program that does not exist before starting the game.
        *wine, exe = self.program
        status, output = self.play(b" ".join(ORDINARY),
                                   program=wine + ["cmd", "/c", f"set COMSPEC=C:\\no\\such.exe&& {windows_path(exe)}"])
        self.assertEqual(status, 0)
        self.assertEqual(output, transcript(ORDINARY, b"\r\n"))

    def test_code_pages(self):
        if not self.windows:
            self.skipTest("a Windows console's code page")
        needs(pexpect, "pexpect (python3-pexpect), for a console of Wine's own")
        for code_page, data, answers in CODE_PAGES:
            with self.subTest(code_page=code_page):
                status, output = self.play_in_console(code_page, data)
                self.assertEqual(status, 0, self.said)
                self.check_output(output, answers + [b""] * (20 - len(answers)))

    def play_in_console(self, code_page, data):
        """Plays a game started from a command interpreter with a console (Wine's, on a pseudo-terminal) whose
        code page `chcp` has set (for a pair, set_console has set its input and output code pages), its input and
        output redirected to files (the output with the notice of the pause, which inherits it). Through a pipe there
        is no console, and chcp fails."""
        *wine, exe = self.program
        if isinstance(code_page, tuple):
            needs(self.set_console, "the set_console helper (--set-console), for an input code page of its own")
            code_pages = f"{windows_path(self.set_console)} {code_page[0]} {code_page[1]}"
        else:
            code_pages = f"chcp {code_page} >nul"
        with tempfile.TemporaryDirectory() as work:
            answers, story = os.path.join(work, "answers"), os.path.join(work, "story")
            with open(answers, "wb") as f:
                f.write(data)
            command = f"{code_pages} && {windows_path(exe)} < {windows_path(answers)} > {windows_path(story)}"
            console = pexpect.spawn(wine[0], wine[1:] + ["cmd", "/c", command], timeout=120)
            console.expect(pexpect.EOF)
            self.said = console.before
            console.close()
            with open(story, "rb") as f:
                return console.exitstatus, f.read()

    def play_measured(self, chunks):
        """Plays a game fed from `chunks`; returns its output and its peak resident memory in KiB."""
        with tempfile.NamedTemporaryFile() as peak:
            # GNU time: a child forked from this Python would count Python's pages as its own.
            measure = [] if self.windows else [self.time, "-f", "%M", "-o", peak.name]
            child = subprocess.Popen(measure + self.program, stdin=subprocess.PIPE, stdout=subprocess.PIPE)
            for chunk in chunks:
                child.stdin.write(chunk)
            child.stdin.close()
            output = child.stdout.read()
            self.assertEqual(child.wait(), 0)
            return output, None if self.windows else int(peak.read())

    def test_huge_word_memory_stays_flat(self):
        """A single word of hundreds of megabytes: read as a stream, never held. Under Wine, only its story: GNU
        time would measure Wine, not the game, whose code is measured natively. Any word of some megabytes would
        show a game that holds it; the huge one shows that nothing grows with the length of the input."""
        self.time = gnu_time()
        needs(self.windows or self.time, "GNU time (the time package; gtime elsewhere)")
        _, ordinary = self.play_measured([b" ".join(ORDINARY)])
        megabyte = b"w" * (1024 * 1024)
        output, huge = self.play_measured([megabyte] * self.huge_word + [b" next\n"])
        self.check_output(output, [b"w" * 31, b"next"] + [b""] * 18)
        if not self.windows:
            self.assertLessEqual(huge, ordinary + 1024, "peak resident memory in KiB")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("command", nargs="+")
    parser.add_argument("--windows", action="store_true",
                        help="CR LF line ends, text-mode input, and the command interpreter's pause notice last")
    parser.add_argument("--set-console", help="a Windows program that sets the console's code pages or its mode")
    parser.add_argument("--huge-word", type=int, default=Games.huge_word, help="the huge word's megabytes")
    args = parser.parse_args()
    Games.program = args.command
    Games.set_console = args.set_console
    Games.huge_word = args.huge_word
    Games.windows = args.windows
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(Games)
    result = unittest.TextTestRunner(verbosity=2).run(suite)
    sys.exit(0 if result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
