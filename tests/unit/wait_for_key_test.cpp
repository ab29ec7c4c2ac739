// SPDX-License-Identifier: BSD-2-Clause
#include "wait_for_key.hpp"

#include "child_process.hpp"

#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int cannot_be_sent = 2;

// What `sig` really does to a program that has set no action for it: raised in a
// child of its own, in a process group of its own (where a stop is not dropped),
// which dumps no core. Nothing when the system cannot send it (qemu-user keeps some
// for itself), or when the C library lets no program set an action for it, as the
// wait does not (one that make or ninja started with it ignored stays so).
std::optional<default_action> observed_default(int sig)
{
    struct sigaction now {};
    if (sigaction(sig, nullptr, &now) != 0) {
        return std::nullopt;  // a number the system does not have: no child to fork
    }
    const pid_t child = fork();
    if (child == 0) {
        setpgid(0, 0);
        const rlimit no_core{0, 0};
        setrlimit(RLIMIT_CORE, &no_core);
        if (std::signal(sig, SIG_DFL) == SIG_ERR) {
            _exit(cannot_be_sent);
        }
        sigset_t only{};
        sigemptyset(&only);
        sigaddset(&only, sig);
        sigprocmask(SIG_UNBLOCK, &only, nullptr);
        // Not raise(): the C library refuses to raise the numbers it keeps for itself.
        _exit(kill(getpid(), sig) == 0 ? 0 : cannot_be_sent);
    }
    int status = 0;
    waitpid(child, &status, WUNTRACED);
    if (WIFSTOPPED(status)) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return default_action::stops;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == cannot_be_sent) {
        return std::nullopt;
    }
    return WIFSIGNALED(status) && WTERMSIG(status) == sig ? default_action::ends : default_action::ignored;
}

// The wait handles exactly the signals that end a program, whatever their number:
// checked against what each signal it looks at does to a real one.
TEST(default_action_of, agrees_with_what_every_signal_does_to_a_program)
{
    if (!fork_works()) {
        GTEST_SKIP() << "fork() does not work on this system";
    }
    for (int sig = 1; sig < signal_slots; ++sig) {
        const default_action said = default_action_of(sig);
        const std::optional<default_action> seen = observed_default(sig);
        if (!seen) {
            continue;
        }
        switch (said) {
        case default_action::cannot_be_caught:
            EXPECT_TRUE(sig == SIGKILL || sig == SIGSTOP) << sig;
            EXPECT_EQ(seen, sig == SIGKILL ? default_action::ends : default_action::stops) << sig;
            break;
        case default_action::continues:
            EXPECT_EQ(sig, SIGCONT);
            EXPECT_EQ(seen, default_action::ignored) << sig;  // continuing a running program changes nothing
            break;
        default:
            EXPECT_EQ(seen, said) << "signal " << sig << ": " << strsignal(sig);
        }
    }
}

extern "C" void noted(int /*sig*/) {}

// The highest signal number the system has (SIGRTMAX on Linux): the last one the wait handles.
int highest_signal()
{
    struct sigaction action {};
    int sig = signal_slots - 1;
    while (sigaction(sig, nullptr, &action) != 0) {
        --sig;
    }
    return sig;
}

// Once the wait is over, every signal does what it did before it: in a child whose
// standard input and output are a terminal of its own, a key ends the wait.
TEST(wait_for_key, puts_back_the_action_of_every_signal_it_handles)
{
    if (!fork_works()) {
        GTEST_SKIP() << "fork() does not work on this system";
    }
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(grantpt(terminal), 0);
    ASSERT_EQ(unlockpt(terminal), 0);
    const std::array<int, 6> changed{SIGINT, SIGTERM, SIGTSTP, SIGCONT, SIGUSR1, highest_signal()};
    const pid_t child = fork();
    if (child == 0) {
        const int player = open(ptsname(terminal), O_RDWR | O_NOCTTY);
        dup2(player, STDIN_FILENO);
        dup2(player, STDOUT_FILENO);
        for (const int sig : changed) {
            std::signal(sig, noted);
        }
        wait_for_key("?");
        for (const int sig : changed) {
            struct sigaction now {};
            if (sigaction(sig, nullptr, &now) != 0 || now.sa_handler != noted) {
                _exit(sig);  // the signal whose action was not put back
            }
        }
        _exit(0);
    }
    // The key, again and again: one typed before the wait has begun does not count.
    int status = 0;
    for (int tries = 0; tries < 500 && waitpid(child, &status, WNOHANG) == 0; ++tries) {
        const ssize_t typed = write(terminal, "k", 1);  // fails only once the child is gone
        static_cast<void>(typed);
        usleep(10'000);
    }
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    }
    close(terminal);
    EXPECT_TRUE(WIFEXITED(status)) << "the wait did not end";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "not put back: signal " << WEXITSTATUS(status);
}

}  // namespace
