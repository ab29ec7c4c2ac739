// SPDX-License-Identifier: BSD-2-Clause
// The twenty questions, and the asking of them.
#pragma once

#include "answer_sheet.hpp"
#include "encodings.hpp"

#include <array>
#include <istream>
#include <ostream>
#include <string_view>

// Row k asks for the word that fills slot k. The kind of word is only named, never checked.
// The game's own texts, "Enter a adjective: " included: they stay exactly as they are.
inline constexpr auto prompt_table = std::to_array<std::string_view>({
    "Enter a noun: ",
    "Enter a number: ",
    "Enter a verb ending in \"ing\": ",
    "Enter another verb ending in \"ing\": ",
    "Enter one more verb ending in \"ing\": ",
    "Enter a noun: ",
    "Enter an adjective: ",
    "Enter a plural noun: ",
    "Enter a noun: ",
    "Enter a adjective: ",
    "Enter a noun: ",
    "Enter a adjective: ",
    "Enter a verb: ",
    "Enter the name of a person in the room: ",
    "Enter a noun: ",
    "Enter a noun: ",
    "Enter a noun: ",
    "Enter a noun: ",
    "Enter a silly word: ",
    "Enter a noun: ",
});
static_assert(prompt_table.size() == answer_count, "one prompt for each answer");

// Prints each prompt in turn, flushed so that it shows before the game waits,
// and reads one word for it from `in`, whose words come in `encoding`.
void collect_answers(answer_sheet& answers, std::istream& in, std::ostream& out, const text_encoding& encoding);
