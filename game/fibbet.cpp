#include "answer_sheet.hpp"
#include "prompts.hpp"
#include "story.hpp"

#include <array>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string_view>

#ifndef _WIN32
#include <cerrno>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

constexpr auto greeting = std::to_array<std::string_view>({
    "Let's play a game of Verizoz.\n",
    "All you have to do is supply the words I ask for.\n",
    "Let's begin.\n",
});

#ifdef _WIN32

constexpr const char* pause_command = "pause";

// Keeps the story on screen until the player acknowledges it: the command
// interpreter's own "pause" shows its notice and waits for a key.
void pause_before_exit()
{
    std::cout.flush();
    static_cast<void>(std::system(pause_command));  // nothing to do if it cannot run
}

#else

// A POSIX shell has no "pause", so the game does what it does: shows the same
// notice and waits for one key, read from the terminal itself so that neither a
// leftover line end nor a key typed ahead can end the wait unseen.
constexpr std::string_view press_any_key = "Press any key to continue . . . ";

// The terminal's own settings and those of the wait. Written before the signal
// handlers are installed; the handlers only read them.
termios saved_mode{};
termios waiting_mode{};

// Signals that end the program while it waits. The terminal gets its settings back
// first; then the signal does what it would have done without the handler.
extern "C" void end_waiting(int sig)
{
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    static_cast<void>(write(STDOUT_FILENO, "\n", 1));
    std::signal(sig, SIG_DFL);
    std::raise(sig);  // blocked in this handler: delivered, by default, when it returns
}

// Ctrl-Z: the shell gets the terminal back as it was, and the wait resumes where it was.
extern "C" void suspend_waiting(int /*sig*/)
{
    const int saved_errno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &saved_mode);
    std::signal(SIGTSTP, SIG_DFL);
    sigset_t stop{};
    sigemptyset(&stop);
    sigaddset(&stop, SIGTSTP);
    sigprocmask(SIG_UNBLOCK, &stop, nullptr);
    std::raise(SIGTSTP);  // stops here until continued
    sigprocmask(SIG_BLOCK, &stop, nullptr);
    std::signal(SIGTSTP, suspend_waiting);
    tcsetattr(STDIN_FILENO, TCSANOW, &waiting_mode);
    errno = saved_errno;
}

// Continued after a stop that the program could not see coming (SIGSTOP).
extern "C" void resume_waiting(int /*sig*/)
{
    const int saved_errno = errno;
    tcsetattr(STDIN_FILENO, TCSANOW, &waiting_mode);
    errno = saved_errno;
}

struct signal_use {
    int sig;
    void (*handler)(int);
};

constexpr auto waiting_signals = std::to_array<signal_use>({
    {SIGINT, end_waiting},
    {SIGQUIT, end_waiting},
    {SIGTERM, end_waiting},
    {SIGHUP, end_waiting},
    {SIGTSTP, suspend_waiting},
    {SIGCONT, resume_waiting},
});

void wait_for_key()
{
    waiting_mode = saved_mode;
    waiting_mode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    waiting_mode.c_cc[VMIN] = 1;
    waiting_mode.c_cc[VTIME] = 0;

    std::array<struct sigaction, waiting_signals.size()> previous{};
    for (std::size_t i = 0; i < waiting_signals.size(); ++i) {
        sigaction(waiting_signals[i].sig, nullptr, &previous[i]);
        if (previous[i].sa_handler == SIG_IGN) {
            continue;  // ignored by whoever started the game: stays ignored
        }
        struct sigaction use {};
        use.sa_handler = waiting_signals[i].handler;
        sigemptyset(&use.sa_mask);
        use.sa_flags = SA_RESTART;
        sigaction(waiting_signals[i].sig, &use, nullptr);
    }

    // TCSAFLUSH drops keys typed ahead; on the way back it drops the rest of a
    // key that sends several bytes, so the shell does not read them.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &waiting_mode);
    char key = 0;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_mode);

    for (std::size_t i = 0; i < waiting_signals.size(); ++i) {
        sigaction(waiting_signals[i].sig, &previous[i], nullptr);
    }
}

void pause_before_exit()
{
    std::cout.flush();
    // Not at a terminal (a file, a pipe): nobody to wait for, and the output stays the story alone.
    if (isatty(STDIN_FILENO) == 0 || tcgetattr(STDIN_FILENO, &saved_mode) != 0) {
        return;
    }
    std::cout << press_any_key << std::flush;
    wait_for_key();
    std::cout << '\n' << std::flush;  // the shell's prompt starts on a line of its own
}

#endif

}  // namespace

// fibbet: greets the player, asks for twenty words by their kind without showing
// the story they go into, then prints a mock career advertisement with the words
// in its blanks and waits for the player to acknowledge it. Arguments are ignored;
// nothing that fails to read or write changes the exit status, which is always 0.
int main()
{
    // The game's streams keep buffers of their own: whole blocks are read and
    // written instead of going through C stdio a byte at a time.
    std::ios_base::sync_with_stdio(false);
#ifndef _WIN32
    std::signal(SIGPIPE, SIG_IGN);  // a closed output is a failed write like any other, not a crash
#endif

    for (const std::string_view line : greeting) {
        std::cout << line;
    }
    answer_sheet answers{};
    collect_answers(answers, std::cin, std::cout);
    print_story(answers, std::cout);
    pause_before_exit();
    return 0;
}
