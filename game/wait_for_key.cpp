// SPDX-License-Identifier: BSD-2-Clause
#include "wait_for_key.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <termios.h>
#include <unistd.h>

namespace {

// The signals the wait handles: Ctrl-Z, the continue signal, and those that a
// person or another program sends to end a process. Arriving during the wait,
// these last end the game as they would have, once the terminal is set back.
constexpr std::array wait_signal_numbers{SIGTSTP, SIGCONT, SIGHUP,  SIGINT,    SIGQUIT, SIGTERM,
                                         SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU};

// The terminal's settings as the game found them, and those of the wait. Written
// before the handlers are installed; the handlers only read them.
termios saved_mode{};
termios waiting_mode{};

// Every signal the wait handles. Each handler runs with all of them blocked, so
// no two of them interleave their changes to the terminal.
sigset_t wait_signals{};

void set_action(int sig, void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_mask = wait_signals;
    action.sa_flags = SA_RESTART;
    sigaction(sig, &action, nullptr);
}

// Blocks (SIG_BLOCK) or unblocks (SIG_UNBLOCK) the one signal `sig`.
void mask_one(int how, int sig)
{
    sigset_t only{};
    sigemptyset(&only);
    sigaddset(&only, sig);
    sigprocmask(how, &only, nullptr);
}

// However the wait ends: the terminal gets its settings back, applied `when`,
// and the line its end, so that the shell's prompt starts on a line of its own.
void end_wait(int when)
{
    tcsetattr(STDIN_FILENO, when, &saved_mode);
    static_cast<void>(write(STDOUT_FILENO, "\n", 1));
}

// A signal that ends a program ends the wait, then the game as it would have otherwise.
extern "C" void end_waiting(int sig)
{
    end_wait(TCSANOW);
    set_action(sig, SIG_DFL);
    std::raise(sig);  // held back, as the handler blocks it...
    mask_one(SIG_UNBLOCK, sig);  // ...until here, where it ends the game; the others stay blocked
}

// Ctrl-Z: the shell gets the terminal back as it was, and the wait resumes once
// the game is continued.
extern "C" void suspend_waiting(int /*sig*/)
{
    const int saved_errno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    set_action(SIGTSTP, SIG_DFL);
    std::raise(SIGTSTP);
    mask_one(SIG_UNBLOCK, SIGTSTP);  // stops here until continued
    mask_one(SIG_BLOCK, SIGTSTP);
    set_action(SIGTSTP, suspend_waiting);
    tcsetattr(STDIN_FILENO, TCSANOW, &waiting_mode);
    errno = saved_errno;
}

// Continued after a stop the game could not see coming (SIGSTOP), with the
// terminal perhaps set back by the shell in between.
extern "C" void resume_waiting(int /*sig*/)
{
    const int saved_errno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &waiting_mode);
    errno = saved_errno;
}

using signal_handler = void (*)(int);

signal_handler handler_for(int sig)
{
    switch (sig) {
    case SIGTSTP:
        return suspend_waiting;
    case SIGCONT:
        return resume_waiting;
    default:
        return end_waiting;
    }
}

}  // namespace

void wait_for_key(std::string_view notice)
{
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &saved_mode) != 0) {
        return;  // a file or a pipe: nobody to wait for
    }
    waiting_mode = saved_mode;
    waiting_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    waiting_mode.c_cc[VMIN] = 1;
    waiting_mode.c_cc[VTIME] = 0;

    sigemptyset(&wait_signals);
    for (const int sig : wait_signal_numbers) {
        sigaddset(&wait_signals, sig);
    }

    static_cast<void>(write(STDOUT_FILENO, notice.data(), notice.size()));

    // The terminal and the handlers change only with the wait's signals blocked:
    // one arriving in between would find them half set up, or half put back.
    sigset_t mask_before{};
    sigprocmask(SIG_BLOCK, &wait_signals, &mask_before);
    std::array<struct sigaction, wait_signal_numbers.size()> previous{};
    for (std::size_t i = 0; i < wait_signal_numbers.size(); ++i) {
        const int sig = wait_signal_numbers[i];
        sigaction(sig, nullptr, &previous[i]);
        if (previous[i].sa_handler != SIG_IGN) {  // ignored by whoever started the game: stays ignored
            set_action(sig, handler_for(sig));
        }
    }
    // TCSAFLUSH drops keys typed ahead, unseen.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &waiting_mode);
    sigprocmask(SIG_SETMASK, &mask_before, nullptr);

    char key = 0;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }

    sigprocmask(SIG_BLOCK, &wait_signals, nullptr);
    // TCSAFLUSH again: the rest of a key that sends several bytes (an arrow) is
    // dropped rather than left for the shell.
    end_wait(TCSAFLUSH);
    for (std::size_t i = 0; i < wait_signal_numbers.size(); ++i) {
        sigaction(wait_signal_numbers[i], &previous[i], nullptr);
    }
    sigprocmask(SIG_SETMASK, &mask_before, nullptr);  // a signal held back now acts as it would have
}
