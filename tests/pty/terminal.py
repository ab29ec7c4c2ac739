# SPDX-License-Identifier: BSD-2-Clause
"""The game at a real terminal: what it waits for, what shows on screen, and the terminal it leaves behind.

Usage: terminal.py PROGRAM
"""
import array
import fcntl
import os
import shlex
import signal
import subprocess
import sys
import termios
import unittest

import pexpect

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from transcript import PROMPTS, transcript  # noqa: E402

PROGRAM = ""
WORDS = [b"w%d" % k for k in range(1, 21)]
QUIET = 0.5  # seconds without output that count as the game waiting


# How each signal that ends a process reaches the game at the wait: from the keyboard, or sent by another program.
ENDING_SIGNALS = [
    (signal.SIGINT, lambda game: game.sendintr()),
    (signal.SIGQUIT, lambda game: game.sendcontrol("\\")),
    (signal.SIGTERM, None),
    (signal.SIGHUP, None),
    (signal.SIGUSR1, None),
]

# Keys that send several bytes at once: an arrow's escape sequence, a letter of two bytes.
LONG_KEYS = [b"\x1b[A", "é".encode()]


class Terminal(unittest.TestCase):
    def setUp(self):
        self.start()

    def start(self, preexec_fn=None, env=None):
        self.game = pexpect.spawn(PROGRAM, timeout=10, echo=True, preexec_fn=preexec_fn, env=env)
        # The terminal's own side, to reach its settings from outside the game. Opened only
        # while in use: held open, it would keep the game's end of the terminal from closing.
        self.terminal = os.readlink(f"/proc/{self.game.pid}/fd/0")
        self.settings = self.terminal_settings()

    def tearDown(self):
        self.game.close(force=True)

    def restart(self, preexec_fn=None, env=None):
        self.tearDown()
        self.start(preexec_fn, env)

    def open_terminal(self):
        return os.open(self.terminal, os.O_RDWR | os.O_NOCTTY)

    def terminal_settings(self, new=None):
        fd = self.open_terminal()
        try:
            if new is not None:
                termios.tcsetattr(fd, termios.TCSANOW, new)
            return termios.tcgetattr(fd)
        finally:
            os.close(fd)

    def assert_ended(self, by_signal=None):
        """The game has ended, with status 0 or killed by `by_signal`, and left the terminal as it was."""
        self.game.expect(pexpect.EOF)
        self.game.wait()
        if by_signal:
            self.assertEqual(self.game.signalstatus, by_signal)
        else:
            self.assertEqual(self.game.exitstatus, 0)
        self.assertEqual(self.terminal_settings(), self.settings)

    def expect_exact(self, text):
        self.game.expect_exact(text.replace(b"\n", b"\r\n"))

    def assert_waiting(self):
        """Nothing more is printed: the game is waiting for the player."""
        self.assertEqual(self.game.expect([pexpect.TIMEOUT, pexpect.EOF], timeout=QUIET), 0,
                         self.game.before)

    def answer_all_and_reach_the_pause(self, check_each_wait=False, typed_ahead=b""):
        if not check_each_wait:
            self.game.send(b" ".join(WORDS) + b"\r")
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
        self.assert_ended()
        self.assertEqual(self.game.before, b"\r\n")  # the key is not echoed; the line is ended

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

    def test_a_signal_at_the_pause_restores_the_terminal_then_ends_the_game(self):
        for sig, send in ENDING_SIGNALS:
            with self.subTest(sig.name):
                self.restart()
                self.answer_all_and_reach_the_pause()
                if send:
                    send(self.game)
                else:
                    os.kill(self.game.pid, sig)
                self.assert_ended(by_signal=sig)
                self.assertEqual(self.game.before, b"\r\n")

    def test_ctrl_c_ignored_by_whoever_started_the_game_stays_ignored(self):
        self.restart(preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_IGN))
        self.answer_all_and_reach_the_pause()
        self.game.sendintr()
        self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()

    def test_a_key_of_several_bytes_ends_the_wait_and_leaves_none_of_them(self):
        for key in LONG_KEYS:
            with self.subTest(key):
                self.restart()
                self.answer_all_and_reach_the_pause()
                # Held open, the terminal keeps what nobody has read yet, for the next program.
                held = self.open_terminal()
                try:
                    self.game.send(key)
                    self.game.wait()
                    self.assertEqual(self.game.exitstatus, 0)
                    pending = array.array("i", [0])
                    fcntl.ioctl(held, termios.FIONREAD, pending)
                    self.assertEqual(pending[0], 0, "bytes left unread at the terminal")
                finally:
                    os.close(held)

    def test_continue_signals_while_the_key_is_pressed_leave_the_terminal_as_it_was(self):
        # Built with AddressSanitizer, the game's leak check at exit stops it with a SIGSTOP, which a continue
        # signal in flight cancels: the check would then wait for ever. Leaks are memcheck's to find.
        no_leak_check = dict(os.environ, ASAN_OPTIONS="detect_leaks=0")
        for _ in range(10):
            self.restart(env=no_leak_check)
            self.answer_all_and_reach_the_pause()
            flood = subprocess.Popen(["sh", "-c", f"while kill -CONT {self.game.pid} 2>/dev/null; do :; done"])
            try:
                self.game.expect([pexpect.TIMEOUT], timeout=0.05)
                self.game.send(b"k")
                self.game.expect_exact(b"\r\n")  # the wait is over: the line is ended
            finally:
                flood.kill()
                flood.wait()
            self.assert_ended()

    def test_ctrl_z_at_the_pause_hands_the_terminal_back_until_fg(self):
        # Under a shell with job control: a bare spawn's process group is orphaned, and the kernel drops its
        # stops. dash, because it leaves the terminal as the stopped game left it; bash would set its own.
        self.tearDown()
        self.game = shell = pexpect.spawn("dash", ["-i"], timeout=10,
                                          env={"PATH": os.environ["PATH"], "PS1": "shell$ ", "TERM": "dumb"})
        shell.expect_exact("shell$ ")
        self.terminal = os.readlink(f"/proc/{shell.pid}/fd/0")
        self.settings = self.terminal_settings()
        shell.sendline(shlex.quote(PROGRAM))
        shell.send(b" ".join(WORDS) + b"\r")
        shell.expect_exact(b"Press any key to continue . . . ")
        self.assertTrue(shell.waitnoecho(timeout=5))
        shell.sendcontrol("z")
        shell.expect_exact("shell$ ")
        shell.sendline("stty -a")
        shell.expect_exact("shell$ ")
        self.assertRegex(shell.before, rb"(?<!-)\bicanon\b")
        self.assertRegex(shell.before, rb"(?<!-)\becho\b")
        shell.sendline("fg")
        self.assertTrue(shell.waitnoecho(timeout=5))
        self.assert_waiting()
        shell.send(b"k")
        shell.expect_exact("shell$ ")
        self.assertEqual(self.terminal_settings(), self.settings)
        shell.sendline("echo status=$?")
        shell.expect(rb"status=(\d+)")
        self.assertEqual(shell.match.group(1), b"0")

    def test_continued_after_a_stop_the_wait_resumes(self):
        self.answer_all_and_reach_the_pause()
        os.kill(self.game.pid, signal.SIGSTOP)
        self.terminal_settings(self.settings)  # as a shell leaves it
        os.kill(self.game.pid, signal.SIGCONT)
        self.assertTrue(self.game.waitnoecho(timeout=5))
        self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()


if __name__ == "__main__":
    PROGRAM = sys.argv.pop(1)
    unittest.main(verbosity=2)
