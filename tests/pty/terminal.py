# SPDX-License-Identifier: BSD-2-Clause
"""The game at a real terminal: what it waits for, what shows on screen, and the terminal it leaves behind.

Usage: terminal.py COMMAND...   (the game, or an emulator and the game)
"""
import array
import ctypes
import fcntl
import os
import re
import resource
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import termios
import time
import unittest

import pexpect

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from needs import needs  # noqa: E402
from transcript import GREETING, PROMPTS, transcript  # noqa: E402

PROGRAM = []
WORDS = [b"w%d" % k for k in range(1, 21)]
QUIET = 0.5  # seconds without output that count as the game waiting


# How each signal that ends a process reaches the game at the wait: from the keyboard, or sent by another
# program. Those sent include one that a fault raises, and real-time signals up to the last there is.
ENDING_SIGNALS = [
    (signal.SIGINT, lambda game: game.sendintr()),
    (signal.SIGQUIT, lambda game: game.sendcontrol("\\")),
    (signal.SIGTERM, None),
    (signal.SIGHUP, None),
    (signal.SIGUSR1, None),
    (signal.SIGABRT, None),
    (signal.SIGSEGV, None),
] + ([(signal.SIGRTMIN + 1, None), (signal.SIGRTMAX, None)] if hasattr(signal, "SIGRTMIN") else [])

# Keys that end the wait and leave nothing behind: an arrow's escape sequence, a letter of two bytes, the
# flow-control keys, which stop and start the output elsewhere, and Ctrl-V, the BSDs' literal next.
KEYS = [b"\x1b[A", "é".encode(), b"\x13", b"\x11", b"\x16"]


def out_of_line_mode():
    """The terminal as a program that polled it may leave it: each read returns at once, with nothing if no key waits."""
    mode = termios.tcgetattr(0)
    mode[3] &= ~termios.ICANON
    mode[6][termios.VMIN], mode[6][termios.VTIME] = 0, 0
    termios.tcsetattr(0, termios.TCSANOW, mode)


# Modes the game may find the terminal in, and play the same in.
MODES = [("line mode", lambda: None), ("out of line mode, reads that return at once", out_of_line_mode)]


def comes_true(condition, timeout):
    """Whether `condition()` holds within `timeout` seconds, asked every 20 ms."""
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            return False
        time.sleep(0.02)
    return True


# What qemu-user adds on screen when the program it runs is ended by a signal.
EMULATOR_SAYS = re.compile(rb"qemu: uncaught target signal \d+ \([^)]*\) - core dumped\r\n")

LIBC = ctypes.CDLL(None, use_errno=True)
LIBC.ptsname.restype = ctypes.c_char_p
LIBC.ptsname.argtypes = [ctypes.c_int]


def cpu_of_children():
    """Seconds of CPU that the children this test has waited for have used."""
    usage = resource.getrusage(resource.RUSAGE_CHILDREN)
    return usage.ru_utime + usage.ru_stime


def plain_start(*then):
    """The game starts as from a plain shell, whatever the tests inherited: every signal at its default action,
    none blocked, no core files; then whatever `then` sets up."""
    def start():
        for sig in signal.valid_signals():
            if sig not in (signal.SIGKILL, signal.SIGSTOP):
                try:
                    signal.signal(sig, signal.SIG_DFL)
                except (OSError, ValueError):
                    pass  # kept by the C library
        signal.pthread_sigmask(signal.SIG_SETMASK, [])
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        for step in then:
            step()
    return start


class Terminal(unittest.TestCase):
    def setUp(self):
        self.start()

    def start(self, *setup, env=None, command=None):
        command = command or PROGRAM
        self.game = pexpect.spawn(command[0], command[1:], timeout=10, echo=True, preexec_fn=plain_start(*setup),
                                  env=env)
        # The terminal's own side, to reach its settings from outside the game. Opened only
        # while in use: held open, it would keep the game's end of the terminal from closing.
        self.terminal = LIBC.ptsname(self.game.child_fd).decode()
        self.settings = self.terminal_settings()

    def tearDown(self):
        self.game.close(force=True)

    def restart(self, *setup, env=None, command=None):
        self.tearDown()
        self.start(*setup, env=env, command=command)

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

    def wait_no_echo(self, timeout=5):
        """Whether the terminal stops echoing within `timeout` seconds. Asked through the terminal's own side, not
        pexpect's: on illumos the other side is no terminal."""
        return comes_true(lambda: not self.terminal_settings()[3] & termios.ECHO, timeout)

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
        self.expect_exact(PROMPTS[0])  # typed before, the words would be echoed before the game set the terminal
        if not check_each_wait:
            self.game.send(b" ".join(WORDS) + b"\r")
        for prompt, word in zip(PROMPTS, WORDS):
            if prompt is not PROMPTS[0]:
                self.expect_exact(prompt)
            if check_each_wait:
                self.assert_waiting()
                self.game.send(word + b"\r" + (typed_ahead if word == WORDS[-1] else b""))
        self.expect_exact(b"Time is running out.\nPress any key to continue . . . ")
        self.assertTrue(self.wait_no_echo())

    def test_each_prompt_waits_for_its_answer_and_the_story_for_a_key(self):
        # A key typed before the story showed must not dismiss it unseen.
        self.answer_all_and_reach_the_pause(check_each_wait=True, typed_ahead=b"y")
        self.assert_waiting()
        self.game.send(b"x")
        self.assert_ended()
        self.assertEqual(self.game.before, b"\r\n")  # the key is not echoed; the line is ended

    def test_screen_of_a_whole_game(self):
        for name, mode in MODES:
            with self.subTest(name):
                self.restart(mode)
                self.expect_exact(PROMPTS[0])
                screen = self.game.before + self.game.after
                self.game.send(b" ".join(WORDS) + b"\r")
                self.game.expect_exact(b"Press any key to continue . . . ")
                screen = (screen + self.game.before).replace(b"\r\n", b"\n")
                # The typed line is echoed after the first prompt; the other prompts follow on the next line.
                expected = transcript(WORDS).replace(PROMPTS[0], PROMPTS[0] + b" ".join(WORDS) + b"\n", 1)
                self.assertEqual(screen, expected)
                self.game.send(b"\r")
                self.assert_ended()

    def test_a_hang_up_at_a_prompt_ends_the_input_even_out_of_line_mode(self):
        # With SIGHUP ignored by whoever started the game, a terminal that has gone reads as the end of the input,
        # even where an empty read is otherwise waited through. (In line mode a hang-up ends the input so on Linux too.)
        self.restart(out_of_line_mode, lambda: signal.signal(signal.SIGHUP, signal.SIG_IGN))
        self.expect_exact(PROMPTS[0])
        self.game.ptyproc.fileobj.close()  # the terminal's other side closes: a hang-up
        self.assertTrue(comes_true(lambda: not self.game.isalive(), 10), "the game still runs after the hang-up")
        self.assertEqual(self.game.exitstatus, 0)

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

    def test_ctrl_d_at_a_prompt_ends_the_input_and_the_story_follows(self):
        self.expect_exact(PROMPTS[0])
        self.game.send(b"one\r")
        self.expect_exact(PROMPTS[1])
        self.game.sendeof()
        self.game.expect_exact(b"Press any key to continue . . . ")
        answers = [b"one"] + [b""] * 19
        screen = (self.game.before).replace(b"\r\n", b"\n")
        self.assertEqual(screen, transcript(answers)[len(GREETING) + len(PROMPTS[0]) + len(PROMPTS[1]):])
        self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()

    def test_a_terminal_left_non_blocking_waits_at_each_prompt_keeps_all_output_and_waits_at_the_pause(self):
        def non_blocking():
            fcntl.fcntl(0, fcntl.F_SETFL, fcntl.fcntl(0, fcntl.F_GETFL) | os.O_NONBLOCK)
        self.tearDown()
        before, started = cpu_of_children(), time.monotonic()
        self.start(non_blocking)
        self.expect_exact(PROMPTS[0])
        self.assert_waiting()
        self.game.send(b" ".join(WORDS[:-1]) + b"\r")
        self.expect_exact(b"".join(PROMPTS[1:]))  # all of them: Ctrl-S would hold back those still to come
        self.game.sendcontrol("s")  # output held: writing the story then says "try again"
        self.game.send(WORDS[-1] + b"\r")
        self.assert_waiting()
        self.game.sendcontrol("q")
        story = transcript(WORDS).rsplit(PROMPTS[-1], 1)[1]
        self.expect_exact(WORDS[-1] + b"\n" + story + b"Press any key to continue . . . ")
        self.assert_waiting()
        os.kill(self.game.pid, signal.SIGCONT)  # a wait cut short by a signal waits again
        self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()
        # Waiting for a key, the game sleeps: it does not ask the terminal again and again. (Under an emulator, the
        # emulator's own start costs more than that.)
        if len(PROGRAM) == 1:
            self.assertLess(cpu_of_children() - before, (time.monotonic() - started) / 10, "seconds of CPU")

    def test_output_to_a_file_the_game_still_waits_for_a_key_at_the_terminal(self):
        with tempfile.NamedTemporaryFile() as out:
            self.restart(lambda: os.dup2(os.open(out.name, os.O_WRONLY), 1))
            self.game.send(b" ".join(WORDS) + b"\r")  # nothing on screen to wait for: the game buffers them
            self.assertTrue(self.wait_no_echo())
            self.assert_waiting()
            self.game.send(b"k")
            self.assert_ended()
            self.assertEqual(out.read(), transcript(WORDS) + b"Press any key to continue . . . \n")

    def test_a_signal_at_the_pause_restores_the_terminal_then_ends_the_game(self):
        for sig, send in ENDING_SIGNALS:
            with self.subTest(getattr(sig, "name", f"signal {sig}")):
                if not isinstance(sig, signal.Signals) and len(PROGRAM) > 1:
                    continue  # an emulator numbers the real-time signals its own way
                self.restart()
                self.answer_all_and_reach_the_pause()
                if send:
                    send(self.game)
                else:
                    os.kill(self.game.pid, sig)
                self.assert_ended(by_signal=sig)
                self.assertEqual(EMULATOR_SAYS.sub(b"", self.game.before), b"\r\n")

    def test_ctrl_c_ignored_or_blocked_by_whoever_started_the_game_stays_so(self):
        # Blocked, Ctrl-C stays pending: the game leaves with the mask it was given, and does not die of it.
        for name, setup in [("ignored", lambda: signal.signal(signal.SIGINT, signal.SIG_IGN)),
                            ("blocked", lambda: signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGINT]))]:
            with self.subTest(name):
                self.restart(setup)
                self.answer_all_and_reach_the_pause()
                self.game.sendintr()
                self.assert_waiting()
                self.game.send(b"k")
                self.assert_ended()

    def test_a_terminal_that_does_not_control_the_game_still_waits_for_a_key(self):
        needs(shutil.which("setsid"), "setsid (util-linux)")
        self.restart(command=["setsid", "-w"] + PROGRAM)  # a session of its own, with the terminal's descriptors
        self.answer_all_and_reach_the_pause()
        self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()

    def test_any_key_ends_the_wait_and_leaves_none_of_its_bytes(self):
        for key in KEYS:
            with self.subTest(key):
                self.restart()
                self.answer_all_and_reach_the_pause()
                # Held open, the terminal keeps what nobody has read yet, for the next program.
                held = self.open_terminal()
                try:
                    self.game.send(key)
                    self.game.expect_exact(b"\r\n")  # the line is ended at once
                    # Not EOF: the terminal held open here keeps it from coming. The exit is what tells.
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
            flood = subprocess.Popen(["sh", "-c", f"kill -CONT {self.game.pid} && echo flooding &&"
                                      f" while kill -CONT {self.game.pid} 2>/dev/null; do :; done"],
                                     stdout=subprocess.PIPE)
            try:
                flood.stdout.readline()  # the key goes in once the flood has begun, however busy the machine
                self.game.send(b"k")
                self.game.expect_exact(b"\r\n")  # the wait is over: the line is ended
            finally:
                flood.kill()
                flood.wait()
                flood.stdout.close()
            self.assert_ended()

    def test_continue_signals_at_every_step_of_the_wait_leave_the_terminal_as_it_was(self):
        # Not left to a flood's luck: a library preloaded into the game sends it a continue signal each time it
        # changes a signal's action, and so at every step of the wait's start and end.
        preload = os.environ.get("FIBBET_CONTINUE_AT_EVERY_SIGACTION")
        if not preload:
            self.skipTest("no preloaded library reaches an emulated, static or sanitized game")
        with tempfile.TemporaryDirectory() as work:
            seen = os.path.join(work, "preloaded")
            self.restart(env=dict(os.environ, LD_PRELOAD=preload, FIBBET_PRELOADED=seen))
            self.answer_all_and_reach_the_pause()
            self.game.send(b"k")
            self.game.expect_exact(b"\r\n")
            self.assert_ended()
            self.assertTrue(os.path.exists(seen), "the library was not preloaded")

    def start_under_a_shell(self, line=None):
        """The game started by an interactive dash (by `line`, or as a job of its own), and at its pause. A shell
        with job control: a bare spawn's process group is orphaned, and the kernel drops its stops. dash, because
        it leaves the terminal as the stopped game left it; bash would set its own."""
        needs(shutil.which("dash"), "dash, a shell with job control")
        self.restart(env={"PATH": os.environ["PATH"], "PS1": "shell$ ", "TERM": "dumb"},
                     command=["dash", "-i"])
        shell = self.game
        shell.expect_exact("shell$ ")
        self.settings = self.terminal_settings()
        shell.sendline(line or shlex.join(PROGRAM))
        self.answer_all_and_reach_the_pause()
        return shell

    def shell_says(self, command):
        self.game.sendline(command)
        self.game.expect_exact("shell$ ")
        return self.game.before

    def test_ctrl_z_hands_the_terminal_back_until_fg_shows_the_notice_again(self):
        game = shlex.join(PROGRAM)
        # How the shell starts the game, and what the shell is told between each Ctrl-Z and fg.
        for start, rounds in [
            (game, [[], []]),  # the second time, through the handler that the first continue set again
            (game, [["bg"]]),  # continued in the background first, where its read stops it until fg
            # Not the leader of its process group: it waits, unechoed, with the notice. (No Ctrl-Z: dash takes the
            # terminal back as soon as sh stops, before the game's handler runs.)
            (f"sh -c {shlex.quote(game + '; true')}", []),
            ("sh -c " + shlex.quote("trap '' CONT; exec " + game), [[]]),  # continue signals ignored
        ]:
            with self.subTest(start=start, rounds=rounds):
                shell = self.start_under_a_shell(start)
                for between in rounds:
                    shell.sendcontrol("z")
                    shell.expect_exact("shell$ ")
                    settings = self.shell_says("stty -a")
                    self.assertRegex(settings, rb"(?<!-)\bicanon\b")
                    self.assertRegex(settings, rb"(?<!-)\becho\b")
                    for command in between:
                        self.shell_says(command)
                    shell.sendline("fg")
                    shell.expect_exact(b"\r\nPress any key to continue . . . ")
                    self.assertTrue(self.wait_no_echo())
                    self.assert_waiting()
                shell.send(b"k")
                shell.expect_exact("shell$ ")
                self.assertEqual(self.terminal_settings(), self.settings)
                self.assertIn(b"status=0", self.shell_says("echo status=$?"))

    def test_a_game_stopped_at_the_pause_ends_by_the_signal_it_is_sent(self):
        # As `kill %1` does in bash: the ending signal, then a continue signal (here from `bg`, so that the shell
        # knows the game runs) to a game that does not own the terminal. Setting it from there would stop it again.
        # Stopped by Ctrl-Z, the game has handed the terminal back; stopped by SIGSTOP, it could not, and the shell
        # has set its own settings since. Continued in the background first, the game stops again only as any
        # program does that reads its terminal there, not for setting the terminal.
        ctrl_z = lambda shell: shell.sendcontrol("z")  # noqa: E731
        sigstop = lambda shell: os.kill(os.tcgetpgrp(shell.child_fd), signal.SIGSTOP)  # noqa: E731
        for name, stop, first in [("Ctrl-Z", ctrl_z, None), ("SIGSTOP", sigstop, None),
                                  ("SIGSTOP, then bg", sigstop, ("bg %1; sleep 1; jobs", b"Stopped (tty input)"))]:
            with self.subTest(name):
                shell = self.start_under_a_shell()
                stop(shell)
                shell.expect_exact("shell$ ")
                self.terminal_settings(self.settings)  # as bash leaves it
                if first:
                    command, says = first
                    self.assertIn(says, self.shell_says(command))
                said = self.shell_says("kill -TERM %1; bg %1; wait %1; echo status=$?")
                self.assertIn(b"status=%d" % (128 + signal.SIGTERM), said)
                self.assertEqual(self.terminal_settings(), self.settings)

    def test_continued_after_a_stop_the_wait_resumes(self):
        self.answer_all_and_reach_the_pause()
        for _ in range(2):  # the second time too
            os.kill(self.game.pid, signal.SIGSTOP)
            self.terminal_settings(self.settings)  # as a shell leaves it
            os.kill(self.game.pid, signal.SIGCONT)
            self.assertTrue(self.wait_no_echo())
            self.assert_waiting()
        self.game.send(b"k")
        self.assert_ended()


if __name__ == "__main__":
    PROGRAM = sys.argv[1:]
    del sys.argv[1:]
    unittest.main(verbosity=2)
