// SPDX-License-Identifier: BSD-2-Clause
//
// fibbet: greets the player, asks for twenty words by their kind without showing
// the story they go into, then prints a mock career advertisement with the words
// in its blanks and waits for the player to acknowledge it. Arguments are ignored;
// nothing that fails to read or write changes the exit status, which is always 0.

#include "answer_sheet.hpp"
#include "platform.hpp"
#include "prompts.hpp"
#include "story.hpp"

#include <array>
#include <istream>
#include <ostream>
#include <string_view>

namespace {

constexpr auto greeting = std::to_array<std::string_view>({
    "Let's play a game of Verizoz.\n",
    "All you have to do is supply the words I ask for.\n",
    "Let's begin.\n",
});

}  // namespace

int main()
{
    const standard_streams streams = open_standard_streams();
    std::istream in(&streams.in);
    std::ostream out(&streams.out);
    for (const std::string_view line : greeting) {
        out << line;
    }
    answer_sheet answers{};
    collect_answers(answers, in, out, streams.encoding);
    print_story(answers, out);
    pause_before_exit(out);
    return 0;
}
