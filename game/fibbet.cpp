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
#include "console_buffers.hpp"
#include "windows_console.hpp"

#include <cstdlib>
#else
#include "fd_buffers.hpp"
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

#ifdef _WIN32
void pause_before_exit(std::ostream& out, console_input& console_in);
#else
void pause_before_exit(std::ostream& out);
#endif

}  // namespace

int main()
{
#ifdef _WIN32
    // A console is read and written through its wide interface, so that every
    // character the player can type reaches the story; its words are then UTF-8.
    // A pipe or a file is bytes, as the C runtime's text mode reads and writes them
    // ("\n" as CR LF, Ctrl-Z the end), in the code page they come in. Not in step
    // with C stdio, for speed: the streams read and write whole blocks.
    std::ios_base::sync_with_stdio(false);
    static console_input console_in;  // static: fixed blocks, off the stack
    const unsigned code_page = console_in.is_console() ? utf8_code_page : words_code_page();
    static console_output console_out(code_page);
    std::istream in(console_in.is_console() ? &console_in : std::cin.rdbuf());
    std::ostream out(console_out.is_console() ? &console_out : std::cout.rdbuf());
    const text_encoding encoding = code_page_encoding(code_page);
#else
    // Output that cannot be written (a closed pipe, a file at its size limit) is
    // a failed write like any other, not the end of the game.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    static fd_input input_buffer(STDIN_FILENO);  // static: fixed blocks, off the stack
    static fd_output output_buffer(STDOUT_FILENO);
    std::istream in(&input_buffer);
    std::ostream out(&output_buffer);
    const text_encoding encoding = utf8_encoding;  // the game reads no locale settings
#endif

    for (const std::string_view line : greeting) {
        out << line;
    }
    answer_sheet answers{};
    collect_answers(answers, in, out, encoding);
    print_story(answers, out);
#ifdef _WIN32
    pause_before_exit(out, console_in);
#else
    pause_before_exit(out);
#endif
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
#ifdef _WIN32
void pause_before_exit(std::ostream& out, console_input& console_in)
#else
void pause_before_exit(std::ostream& out)
#endif
{
    out.flush();  // all of the story shows before the wait
#ifdef _WIN32
    console_in.drop_typed_ahead();  // keys typed ahead do not end the pause
    static_cast<void>(std::system(pause_command));  // if it cannot run, the game just ends
#else
    wait_for_key(press_any_key);  // a POSIX shell has no "pause"
#endif
}

}  // namespace
