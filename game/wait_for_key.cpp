// SPDX-License-Identifier: BSD-2-Clause
#include "wait_for_key.hpp"

#include "posix_io.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <termios.h>
#include <unistd.h>

#ifdef NSIG  // not in POSIX, which names no bound
static_assert(NSIG <= signal_slots, "room for every signal");
#endif

default_action default_action_of(int sig) noexcept
{
    switch (sig) {
    case SIGKILL:
    case SIGSTOP:
        return default_action::cannot_be_caught;
    case SIGTSTP:
    case SIGTTIN:
    case SIGTTOU:
        return default_action::stops;
    case SIGCONT:
        return default_action::continues;
    case SIGCHLD:
    case SIGURG:
#ifdef SIGWINCH
    case SIGWINCH:
#endif
#if defined(SIGINFO) && !defined(__linux__)
    case SIGINFO:  // Ctrl-T on the BSDs and macOS; on Linux/Alpha, glibc's SIGINFO is SIGPWR, which ends
#endif
#if defined(__APPLE__) || defined(__FreeBSD__) || defined(__OpenBSD__) || defined(__NetBSD__) || defined(__DragonFly__)
    case SIGIO:  // macOS and the BSDs discard it (XNU signalvar.h, FreeBSD kern_sig.c, signal(3)); Linux's is SIGPOLL
#endif
#if defined(__NetBSD__)
    case SIGPWR:  // NetBSD signal(7): "discard signal"
#endif
#if defined(__sun)
    // illumos signal.h(3HEAD): all "Ignore". The kernel sends SIGFREEZE and SIGTHAW to
    // every process when the machine suspends and resumes.
    case SIGPWR:
    case SIGWAITING:
    case SIGLWP:
    case SIGFREEZE:
    case SIGTHAW:
    case SIGCANCEL:
    case SIGXRES:
    case SIGJVM1:
    case SIGJVM2:
#endif
        return default_action::ignored;
    default:
        return default_action::ends;  // SIGINT, SIGTERM, SIGABRT, ..., and every real-time signal
    }
}

namespace {

// What the handlers need, all written before they are installed: the terminal's
// settings as the game found them, and those of the wait; and the notice.
struct wait_state {
    termios saved_mode{};
    termios waiting_mode{};
    std::string_view notice;
};
wait_state state{};

// Whether the terminal is in the waiting mode, set by the game: not while the
// game is stopped, nor while it runs in the background.
volatile std::sig_atomic_t waiting_mode_set = 0;

// The game's process group is the terminal's foreground group, or the terminal is
// not the one that controls the game: either way, changing its settings does not
// stop the game (SIGTTOU). In the background, the shell owns the settings.
bool owns_terminal() noexcept
{
    const pid_t foreground = tcgetpgrp(STDIN_FILENO);
    return foreground == -1 || foreground == getpgrp();
}

// Sets the waiting mode and shows the notice, unless already done or the terminal
// is not the game's to set.
void take_terminal() noexcept
{
    if (waiting_mode_set != 0 || !owns_terminal()) {
        return;
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &state.waiting_mode);
    tcflow(STDIN_FILENO, TCOON);  // output stopped by Ctrl-S before the wait runs again
    tcflush(STDIN_FILENO, TCIFLUSH);  // keys typed before the notice showed do not count
    // The notice last: once it shows, the game sets nothing more of the terminal, so a
    // stop then (SIGSTOP, and bg) cannot leave it to set the terminal in the background.
    static_cast<void>(write_all(STDOUT_FILENO, state.notice));
    waiting_mode_set = 1;
}

// Ends the line of the notice, so that whatever comes next starts on a line of its
// own, and puts the terminal's settings back, applied `when`. The line end goes out
// first, while flow control is off: Ctrl-S cannot hold it back.
void hand_back_terminal(int when) noexcept
{
    if (waiting_mode_set == 0 || !owns_terminal()) {
        return;
    }
    static_cast<void>(write_all(STDOUT_FILENO, "\n"));
    tcsetattr(STDIN_FILENO, when, &state.saved_mode);
    waiting_mode_set = 0;
}

// An ending handler is reset as it runs: a real fault in it meets the default action.
constexpr int ends_flags = static_cast<int>(static_cast<unsigned>(SA_RESTART) | static_cast<unsigned>(SA_RESETHAND));

void set_action(int sig, void (*handler)(int), int flags = SA_RESTART) noexcept
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigfillset(&action.sa_mask);  // no two handlers interleave their changes to the terminal
    action.sa_flags = flags;
    sigaction(sig, &action, nullptr);
}

// Blocks (SIG_BLOCK) or unblocks (SIG_UNBLOCK) the one signal `sig`.
void mask_one(int how, int sig) noexcept
{
    sigset_t only{};
    sigemptyset(&only);
    sigaddset(&only, sig);
    sigprocmask(how, &only, nullptr);
}

// Lets `sig` do what it does to a program without the wait: its default action,
// held back while the handler blocks it, and taken when it is unblocked here (the
// other signals stay blocked).
void act_by_default(int sig) noexcept
{
    set_action(sig, SIG_DFL);
    std::raise(sig);
    mask_one(SIG_UNBLOCK, sig);
}

extern "C" {

// A signal whose default action ends a program ends the wait, then the game as it
// would have otherwise. The handler is reset as it runs (SA_RESETHAND), and never
// returns: a real fault cannot come back to it.
static void end_waiting(int sig)
{
    hand_back_terminal(TCSANOW);
    act_by_default(sig);
    _exit(0);  // not reached: the default action of `sig` ends the game
}

// Ctrl-Z: the shell gets the terminal back as it was; once the game is continued
// in the foreground, the wait sets its mode again and shows its notice again.
static void suspend_waiting(int sig)
{
    const int saved_errno = errno;
    hand_back_terminal(TCSANOW);
    act_by_default(sig);  // stops here until continued
    mask_one(SIG_BLOCK, sig);
    set_action(sig, suspend_waiting);
    take_terminal();
    errno = saved_errno;
}

// Continued: after a stop the game could not see coming (SIGSTOP), the shell may
// have set the terminal its own way; after one in the background (reading the
// terminal there stops the game), the wait has yet to take the terminal.
static void resume_waiting(int /*sig*/)
{
    const int saved_errno = errno;
    if (waiting_mode_set != 0 && owns_terminal()) {
        tcsetattr(STDIN_FILENO, TCSANOW, &state.waiting_mode);
    }
    take_terminal();
    errno = saved_errno;
}

}  // extern "C"

using signal_handler = void (*)(int);

// The handler the wait sets for `sig`, if any.
signal_handler handler_for(int sig) noexcept
{
    if (sig == SIGTSTP) {
        return suspend_waiting;
    }
    if (sig == SIGCONT) {
        return resume_waiting;
    }
    return default_action_of(sig) == default_action::ends ? end_waiting : nullptr;
}

// The terminal's mode for the wait, from `mode`, the one the game found: one key at a
// time, unechoed.
termios waiting_mode_of(termios mode) noexcept
{
    // IEXTEN off too: with it, the BSDs and macOS take Ctrl-V (and Ctrl-O, NetBSD's Ctrl-Y)
    // for themselves even out of canonical mode (their tty.c), and those keys would not end the wait.
    mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
    mode.c_iflag &= ~static_cast<tcflag_t>(IXON);  // Ctrl-S and Ctrl-Q are keys
    mode.c_cc[VMIN] = 1;
    mode.c_cc[VTIME] = 0;
    return mode;
}

using signal_actions = std::array<struct sigaction, signal_slots>;

// Sets the wait's handlers, keeping in `previous` the actions they replace. A signal
// ignored by whoever started the game stays ignored.
void set_handlers(signal_actions& previous) noexcept
{
    for (int sig = 1; sig < signal_slots; ++sig) {
        const signal_handler handler = handler_for(sig);
        struct sigaction& before = previous.at(static_cast<std::size_t>(sig));
        // Reading fails, and the signal is left alone, for a number the system does not have,
        // or one the C library lets no program set (glibc's 32 and 33, OpenBSD's SIGTHR).
        if (handler != nullptr && sigaction(sig, nullptr, &before) == 0 && before.sa_handler != SIG_IGN) {
            set_action(sig, handler, handler == end_waiting ? ends_flags : SA_RESTART);
        }
    }
}

// Puts back every action set_handlers read: those it left alone are set as they were.
void put_back_actions(const signal_actions& previous) noexcept
{
    for (int sig = 1; sig < signal_slots; ++sig) {
        if (handler_for(sig) != nullptr) {
            sigaction(sig, &previous.at(static_cast<std::size_t>(sig)), nullptr);
        }
    }
}

}  // namespace

void wait_for_key(std::string_view notice)
{
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &state.saved_mode) != 0) {
        return;  // a file or a pipe: nobody to wait for
    }
    state.waiting_mode = waiting_mode_of(state.saved_mode);
    state.notice = notice;

    // The terminal and the handlers change only with every signal blocked: one
    // arriving in between would find them half set up, or half put back.
    sigset_t every_signal{};
    sigfillset(&every_signal);
    sigset_t mask_before{};
    sigprocmask(SIG_BLOCK, &every_signal, &mask_before);
    signal_actions previous{};
    set_handlers(previous);
    take_terminal();  // in the background, the first key read stops the game until fg
    sigprocmask(SIG_SETMASK, &mask_before, nullptr);

    char key = 0;
    static_cast<void>(read_some(STDIN_FILENO, &key, 1));  // a key, or the end of the input

    sigprocmask(SIG_BLOCK, &every_signal, nullptr);
    // TCSAFLUSH: the rest of a key that sends several bytes (an arrow) is dropped
    // rather than left for the shell.
    hand_back_terminal(TCSAFLUSH);
    put_back_actions(previous);
    sigprocmask(SIG_SETMASK, &mask_before, nullptr);  // a signal held back now acts as it would have
}
