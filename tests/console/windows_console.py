# SPDX-License-Identifier: BSD-2-Clause
"""The Windows game typed at a console: Wine's, on a pseudo-terminal, read off the screen through a VT emulator
(pyte). Wine draws its console with cursor moves, so only a screen shows what the player sees.

Usage: windows_console.py [--set-console EXE] -- COMMAND...   (e.g. -- env WINEPREFIX=... wine fibbet.exe)
"""
import argparse
import os
import sys
import tempfile
import termios
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from e2e.games import windows_path  # noqa: E402
from needs import needs  # noqa: E402
from transcript import GREETING, HEADING, PROMPTS, STORY, fill, keep, transcript  # noqa: E402
from wine_server import keep_wine_up  # noqa: E402

try:
    import pexpect
    import pyte
except ImportError:
    pexpect = pyte = None

PROGRAM = []
SET_CONSOLE = None  # a Windows program that takes the console's input out of line mode
ROWS, COLUMNS = 60, 100  # room for the whole game, with no scrolling
LONG = b"abcdefghij" * 4  # a word of 40 bytes, of which the story shows 31
# Words of every code page and of none that has them all: Cyrillic, Greek and CJK are in no single-byte one, and a
# CJK word of 36 bytes keeps ten whole characters.
TYPED = ["José", "наш", "日本語", "Zoë", "Ωμέγα", "日本語" * 4, "naïve", "Straße"]
WORDS = [LONG] + [word.encode() for word in TYPED] + [b"w%d" % k for k in range(len(TYPED) + 2, 21)]
BEYOND_THE_BMP = ["😀", "a🎉b", "🇫🇷", "😀" * 8]  # the last of 32 bytes: seven whole emoji are kept
NOTICE = "Press any key to continue"  # Wine's words for the command interpreter's pause
PAUSE = 3  # seconds the story must stay
UNITS_PER_READ = 4096  # the game reads the console so many units at a time
LONGER_THAN_A_READ = b"x" * 6000
PIECE = 256  # bytes typed at a time, whole characters each: Wine's console decodes each read of its terminal alone


class Console(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.stop_wine = keep_wine_up(PROGRAM)
        cls.runtime = tempfile.TemporaryDirectory()

    @classmethod
    def tearDownClass(cls):
        cls.stop_wine()
        cls.runtime.cleanup()

    def setUp(self):
        needs(pexpect and pyte, "pexpect and pyte (python3-pexpect, python3-pyte)")

    def begin(self, command=None, shown=None, what="the greeting"):
        """Starts `command` (the game) on the console, and waits until `shown()` (the greeting is on screen)."""
        greeting = GREETING.decode().rstrip("\n")
        shown = shown or (lambda: greeting in "\n".join(self.lines()))
        # Wine may say something of its own before the game does.
        for _ in range(2):
            self.start(command or PROGRAM)
            if self.drawn(shown) or self.game.isalive():
                break
            # Wine ended before it showed anything (seen once on a loaded CI machine): its start, not the game's.
            print(f"Wine ended at once, status {self.game.exitstatus}, signal {self.game.signalstatus}: again",
                  file=sys.stderr)
            self.game.close(force=True)
        self.wait_for(shown, what)

    def in_interpreter(self, command):
        """The command interpreter running `command`, where GAME names the game."""
        *wine, exe = PROGRAM
        return wine + ["cmd", "/c", command.replace("GAME", windows_path(exe))]

    def start(self, command):
        self.screen = pyte.Screen(COLUMNS, ROWS)
        self.stream = pyte.ByteStream(self.screen)
        # LANG: Wine would translate the notice of the pause into the language of any other. XDG_RUNTIME_DIR, empty:
        # with none, Wine 10's Wayland driver says so on screen, at any moment of the game; a desktop's, it would use.
        self.game = pexpect.spawn(command[0], command[1:], dimensions=(ROWS, COLUMNS),
                                  env=dict(os.environ, LANG="C.UTF-8", XDG_RUNTIME_DIR=self.runtime.name))

    def tearDown(self):
        self.game.close(force=True)

    def lines(self):
        return [line.rstrip() for line in self.screen.display]

    def drawn(self, shown, timeout=15):
        """Reads what the console draws until `shown()` is true, the game ends or `timeout` seconds pass; returns
        `shown()`."""
        deadline = time.monotonic() + timeout
        while not shown() and time.monotonic() < deadline:
            try:
                self.stream.feed(self.game.read_nonblocking(65536, timeout=0.05))
            except pexpect.TIMEOUT:
                pass
            except pexpect.EOF:
                self.game.wait()  # the game has ended: what it showed is all there is
                break
        return shown()

    def wait_for(self, shown, what, timeout=15):
        self.assertTrue(self.drawn(shown, timeout), f"not on screen: {what}\n" + "\n".join(self.lines()))

    def raw(self):
        """Whether the console reads keys one by one, unechoed: Wine draws a prompt before it sets the terminal so,
        and keys typed before that are echoed twice."""
        return not termios.tcgetattr(self.game.child_fd)[3] & (termios.ICANON | termios.ECHO)

    def before_cursor(self):
        return self.screen.display[self.screen.cursor.y][:self.screen.cursor.x]

    def type_at(self, prompt, keys):
        """Waits for `prompt` with the cursor right after it, and types `keys`."""
        self.wait_for(lambda: self.before_cursor().endswith(prompt.decode()) and self.raw(), prompt)
        self.game.send(keys)

    def assert_story_then_pause(self, answers, waits=True):
        """The heading and every line of the story on screen, in order, then the notice; and the game still waits
        `PAUSE` seconds on, unless it `waits` not (the pause reads the game's input, which may be a file)."""
        story = [fill(line, [keep(answers[k - 1]) for k in blanks]).decode() for line, blanks in STORY]
        self.wait_for(lambda: any(line.startswith(NOTICE) for line in self.lines()), NOTICE)
        shown = self.lines()
        first = shown.index(story[0])
        # The heading ends the line of the last prompt when its word was typed ahead with others, or was not typed.
        above = "".join(self.screen.display[:first - 1]).rstrip()
        self.assertTrue(above.endswith(HEADING.decode().splitlines()[0]), shown[first - 2])
        self.assertEqual(shown[first - 1:first + len(story)], [""] + story)
        self.assertTrue(shown[first + len(story)].startswith(NOTICE), shown[first + len(story)])
        if not waits:
            return
        deadline = time.monotonic() + PAUSE
        self.wait_for(lambda: time.monotonic() > deadline or not self.game.isalive(), "", timeout=PAUSE + 1)
        self.assertTrue(self.game.isalive(), "the story went before a key was pressed")

    def let_the_console_read_ctrl_z(self):
        """Wine's pseudo-terminal would take Ctrl-Z for a stop: off, so that the console reads it."""
        settings = termios.tcgetattr(self.game.child_fd)
        settings[6][termios.VSUSP] = b"\0"
        termios.tcsetattr(self.game.child_fd, termios.TCSANOW, settings)

    def type_long(self, keys):
        """Types `keys` piece by piece, reading what the console draws between them: unread, its echo would stop it
        reading what is typed."""
        while keys:
            end = min(PIECE, len(keys))
            while end < len(keys) and keys[end] & 0xC0 == 0x80:  # not inside a UTF-8 character
                end -= 1
            piece, keys = keys[:end], keys[end:]
            while piece:
                piece = piece[os.write(self.game.child_fd, piece):]
                self.drawn(lambda: False, timeout=0.02)

    def assert_one_key_ends_it(self):
        self.game.send(b"k")
        self.game.expect(pexpect.EOF, timeout=15)
        self.game.close()
        self.assertEqual(self.game.exitstatus, 0)

    def test_a_game_typed_word_by_word(self):
        self.begin()
        for row, (prompt, word) in enumerate(zip(PROMPTS, WORDS)):
            self.type_at(prompt, word + b"\r")
            echoed = (prompt + word).decode()
            self.wait_for(lambda: echoed in "".join(self.lines()[3 + row:]), echoed)  # a long one wraps
        self.assert_story_then_pause(WORDS)
        self.assert_one_key_ends_it()

    def test_words_on_one_line_and_keys_typed_ahead(self):
        self.begin()
        self.type_at(PROMPTS[0], b"one two three\r")
        # The prompts of the words already typed follow one another, and the game waits after the next.
        self.wait_for(lambda: self.before_cursor() == b"".join(PROMPTS[1:4]).decode(), "three prompts on a line")
        self.assertIn("Enter a noun: one two three", self.lines())
        answers = [b"one", b"two", b"three"] + WORDS[3:]
        # Enter and a key, typed ahead with the last answer, must not end the pause.
        self.type_at(PROMPTS[3], b" ".join(WORDS[3:]) + b"\r\rx")
        self.assert_story_then_pause(answers)
        self.assert_one_key_ends_it()

    def test_ctrl_z_first_on_a_line_ends_the_input_and_inside_one_ends_the_line(self):
        self.begin()
        self.let_the_console_read_ctrl_z()
        self.type_at(PROMPTS[0], b"one\r")
        self.type_at(PROMPTS[1], b"tw\x1ao three\r")
        self.type_at(PROMPTS[2], b"\x1a four\r")
        self.assert_story_then_pause([b"one", b"tw"] + [b""] * 18)
        self.assert_one_key_ends_it()

    def test_what_was_typed_beyond_the_words_does_not_end_the_pause(self):
        # The console holds what one read did not take of a line for the next read: the pause's, unless the game
        # drops it. The twenty words and thousands of characters more; Ctrl-Z, which ends the input, and as many; and
        # words that only a later read reaches, past the end of the buffer. Out of line mode, as a program that read
        # keys one by one may leave the console, it holds no line, and a read for the rest of one would wait for ever.
        words = b" ".join(WORDS)
        for name, keys_only, line, answers in [("words_then_more", False, words + b" " + LONGER_THAN_A_READ, WORDS),
                                               ("ctrl_z_then_more", False, b"\x1a" + LONGER_THAN_A_READ, [b""] * 20),
                                               ("blanks_then_words", False, b" " * len(LONGER_THAN_A_READ) + words,
                                                WORDS),
                                               ("out_of_line_mode", True, words + b"\r\rx", WORDS)]:
            with self.subTest(name):
                if keys_only:
                    needs(SET_CONSOLE, "the set_console helper (--set-console), for a console out of line mode")
                self.begin(self.in_interpreter(f"{windows_path(SET_CONSOLE)} keys && GAME") if keys_only else None)
                self.let_the_console_read_ctrl_z()
                self.type_at(PROMPTS[0], b"")
                self.type_long(line + b"\r")
                self.assert_story_then_pause(answers)
                self.assert_one_key_ends_it()
                self.tearDown()

    def test_characters_beyond_the_bmp_reach_a_story_written_to_a_file(self):
        # Wine's console draws each half of a surrogate pair as a U+FFFD of its own: the file tells what the game got.
        # Typed after blanks that fill all but one unit of a read, the first emoji is split between two reads.
        answers = [word.encode() for word in BEYOND_THE_BMP] + WORDS[len(BEYOND_THE_BMP):]
        words = b" ".join(answers)
        for name, line in [("one_read", words), ("a_pair_split_between_reads", b" " * (UNITS_PER_READ - 1) + words)]:
            with self.subTest(name), tempfile.TemporaryDirectory() as work:
                story = os.path.join(work, "story")
                self.begin(self.in_interpreter(f"GAME > {windows_path(story)}"), self.raw, "the console reading")
                self.type_long(line + b"\r")
                expected = transcript([keep(word) for word in answers], b"\r\n")

                def notice_written():
                    with open(story, "rb") as f:
                        return NOTICE.encode() in f.read()
                self.wait_for(notice_written, "the pause's notice, in the file")
                self.assert_one_key_ends_it()
                with open(story, "rb") as f:
                    written = f.read()
                self.assertEqual(written[:written.index(NOTICE.encode())], expected)
                self.tearDown()

    def test_words_of_a_code_page_from_a_file_show_as_their_characters(self):
        # 850 is not Wine's ANSI code page (1252): its words show right only as the console's code page's.
        for code_page, typed in [(1252, ["€uro", "Œuvre", "été", "“quoted”"]), (850, ["Ölkanne", "año", "ßeta"])]:
            with self.subTest(code_page=code_page):
                answers = [word.encode(f"cp{code_page}") for word in typed]
                answers += [b"w%d" % k for k in range(len(typed) + 1, 21)]
                with tempfile.TemporaryDirectory() as work:
                    words = os.path.join(work, "words")
                    with open(words, "wb") as f:
                        f.write(b"\r\n".join(answers))
                    self.begin(self.in_interpreter(f"chcp {code_page} >nul && GAME < {windows_path(words)}"),
                               lambda: any(line.startswith(NOTICE) for line in self.lines()), NOTICE)
                self.assert_story_then_pause([word.decode(f"cp{code_page}").encode() for word in answers],
                                             waits=False)
                self.game.expect(pexpect.EOF, timeout=15)
                self.game.close()
                self.assertEqual(self.game.exitstatus, 0)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("command", nargs="+")
    parser.add_argument("--set-console")
    args = parser.parse_args()
    PROGRAM, SET_CONSOLE = args.command, args.set_console
    del sys.argv[1:]
    unittest.main(verbosity=2)
