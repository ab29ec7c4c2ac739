"""The game at a real terminal: what it waits for, what shows on screen, and the terminal it leaves behind.

Usage: terminal.py PROGRAM
"""
import os
import signal
import sys
import termios
import time
import unittest

import pexpect

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from transcript import PROMPTS, transcript  # noqa: E402

PROGRAM = ""
WORDS = [b"w%d" % k for k in range(1, 21)]
QUIET = 0.5  # seconds without output that count as the game waiting


class Terminal(unittest.TestCase):
    def setUp(self):
        self.game = pexpect.spawn(PROGRAM, timeout=10, echo=True)
        # The terminal's own side, to reach its settings from outside the game. Opened only
        # while in use: held open, it would keep the game's end of the terminal from closing.
        self.terminal = os.readlink(f"/proc/{self.game.pid}/fd/0")
        self.settings = self.terminal_settings()

    def tearDown(self):
        self.game.close(force=True)

    def terminal_settings(self, new=None):
        fd = os.open(self.terminal, os.O_RDWR | os.O_NOCTTY)
        try:
            if new is not None:
                termios.tcsetattr(fd, termios.TCSANOW, new)
            return termios.tcgetattr(fd)
        finally:
            os.close(fd)

    def expect_exact(self, text):
        self.game.expect_exact(text.replace(b"\n", b"\r\n"))

    def assert_waiting(self):
        """Nothing more is printed: the game is waiting for the player."""
        self.assertEqual(self.game.expect([pexpect.TIMEOUT, pexpect.EOF], timeout=QUIET), 0,
                         self.game.before)

    def answer_all_and_reach_the_pause(self, check_each_wait=False, typed_ahead=b""):
        for prompt, word in zip(PROMPTS, WORDS):
            self.expect_exact(prompt)
            if check_each_wait:
                self.assert_waiting()
            self.game.send(word + b"\r" + (typed_ahead if word == WORDS[-1] else b""))
        self.expect_exact(b"Time is running out.\nPress any key to continue . . . ")
        self.assertTrue(self.game.waitnoecho(timeout=5))

    def test_each_prompt_waits_for_its_answer_and_the_story_for_a_key(self):
        # A key typed before the story showed must not dismiss it unseen.
        self.answer_all_and_reach_the_pause(check_each_wait=True, typed_ahead=b"y")
        self.assert_waiting()
        self.game.send(b"x")
        self.game.expect(pexpect.EOF)
        self.game.wait()
        self.assertEqual(self.game.exitstatus, 0)
        self.assertEqual(self.game.before, b"\r\n")  # the key is not echoed; the line is ended
        self.assertEqual(self.terminal_settings(), self.settings)

    def test_screen_of_a_whole_game(self):
        self.game.send(b" ".join(WORDS) + b"\r")
        self.game.expect_exact(b"Press any key to continue . . . ")
        screen = self.game.before.replace(b"\r\n", b"\n")
        # The typed line is echoed after the first prompt; the other prompts follow on the next line.
        expected = transcript(WORDS).replace(PROMPTS[0], PROMPTS[0] + b" ".join(WORDS) + b"\n", 1)
        self.assertEqual(screen, expected)
        self.game.send(b"\r")
        self.game.expect(pexpect.EOF)

    def test_three_words_on_one_line_answer_three_rows(self):
        self.expect_exact(PROMPTS[0])
        self.game.send(b"one two three\r")
        self.expect_exact(b"one two three\n" + b"".join(PROMPTS[1:4]))
        self.assert_waiting()

    def test_empty_lines_do_not_repeat_the_prompt(self):
        self.expect_exact(PROMPTS[0])
        self.game.send(b"\r\r\r")
        self.assert_waiting()
        self.game.send(b"word\r")
        self.expect_exact(PROMPTS[1])
        self.assertEqual(self.game.before, b"\r\n\r\n\r\nword\r\n")

    def test_ctrl_c_at_the_pause_restores_the_terminal(self):
        self.answer_all_and_reach_the_pause()
        self.game.sendintr()
        self.game.expect(pexpect.EOF)
        self.game.wait()
        self.assertEqual(self.game.signalstatus, signal.SIGINT)
        self.assertEqual(self.terminal_settings(), self.settings)

    def test_continued_after_a_stop_the_wait_resumes(self):
        self.answer_all_and_reach_the_pause()
        os.kill(self.game.pid, signal.SIGSTOP)
        self.terminal_settings(self.settings)  # as a shell leaves it
        os.kill(self.game.pid, signal.SIGCONT)
        self.assertTrue(self.game.waitnoecho(timeout=5))
        self.assert_waiting()
        self.game.send(b"k")
        self.game.expect(pexpect.EOF)
        self.assertEqual(self.terminal_settings(), self.settings)


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
