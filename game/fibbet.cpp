// SPDX-License-Identifier: BSD-2-Clause
//
// fibbet: greets the player, asks for twenty words by their kind without showing
// the story they go into, then prints a mock career advertisement with the words
// in its blanks and waits for the player to acknowledge it. Arguments are ignored;
// nothing that fails to read or write changes the exit status, which is always 0.

#include "answer_sheet.hpp"
#include "prompts.hpp"
#include "story.hpp"

#include <array>
#include <iostream>
#include <string_view>

#ifdef _WIN32
#include <cstdlib>
#else
#include "fd_input.hpp"
#include "wait_for_key.hpp"

#include <csignal>
#include <unistd.h>
#endif

namespace {

constexpr auto greeting = std::to_array<std::string_view>({
    "Let's play a game of Verizoz.\n",
    "All you have to do is supply the words I ask for.\n",
    "Let's begin.\n",
});

void pause_before_exit();

}  // namespace

int main()
{
    // Speed only: with libstdc++, std::cout then writes whole blocks instead of
    // going through C stdio.
    std::ios_base::sync_with_stdio(false);
#ifdef _WIN32
    std::istream& in = std::cin;  // the C runtime's text mode: CR LF is a line end, Ctrl-Z the end
#else
    // Output that cannot be written (a closed pipe, a file at its size limit) is
    // a failed write like any other, not the end of the game.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    static fd_input input_buffer(STDIN_FILENO);  // static: a block of 64 KiB, off the stack
    std::istream in(&input_buffer);
#endif

    for (const std::string_view line : greeting) {
        std::cout << line;
    }
    answer_sheet answers{};
    collect_answers(answers, in, std::cout);
    print_story(answers, std::cout);
    pause_before_exit();
    return 0;
}

namespace {

#ifdef _WIN32
constexpr const char* pause_command = "pause";
#else
// What the Windows command "pause" shows, for the wait that stands in for it.
constexpr std::string_view press_any_key = "Press any key to continue . . . ";
#endif

// Keeps the finished story on screen until the player acknowledges it.
void pause_before_exit()
{
    std::cout.flush();  // all of the story shows before the wait
#ifdef _WIN32
    static_cast<void>(std::system(pause_command));  // if it cannot run, the game just ends
#else
    wait_for_key(press_any_key);  // a POSIX shell has no "pause"
#endif
}

}  // namespace
