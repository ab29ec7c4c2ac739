// SPDX-License-Identifier: BSD-2-Clause
// The career advertisement that the answers are set into.
#pragma once

#include "answer_sheet.hpp"

#include <cstddef>
#include <ostream>
#include <string_view>

inline constexpr std::string_view story_heading = "-----Career Advertisement-----\n\n";

// Each blank marker takes the next answer, in asking order.
inline constexpr std::string_view blank_marker = "%s";

// The game's own text, "annother" included: it stays exactly as it is.
inline constexpr std::string_view story_template =
    "Seeking a new career?\n"
    "Be a %s or just look like one!\n"
    "In just %s sessions, we can have you %s, %s, and %s like a\n"
    "top-paying %s.\n"
    "Opportunities in this %s field are limited.\n"
    "There is no fee!\n"
    "Just come in for a free consultation.\n"
    "Our expert %s will analyze your %s and determine your\n"
    "potential for success in this %s field.\n"
    "Use your natural %s to earn %s money and\n"
    "have time to %s your dreams too.\n"
    "Just ask %s who came to us looking like a\n"
    "%s out of %s and in just ten days we improved their\n"
    "%s 100 percent.\n"
    "We even corrected their horrible %s.\n"
    "It was just in the nick of time because the %s Squad\n"
    "was ready to ban them from the %s.\n"
    "Don't wait annother day.\n"
    "Time is running out.\n";

[[nodiscard]] constexpr std::size_t count_blanks(std::string_view text) noexcept
{
    std::size_t blanks = 0;
    for (auto at = text.find(blank_marker); at != std::string_view::npos;
         at = text.find(blank_marker, at + blank_marker.size())) {
        ++blanks;
    }
    return blanks;
}
static_assert(count_blanks(story_template) == answer_count, "one blank for each answer");

// Prints the heading and the story with answer k in blank k. Answers are written
// as they are: nothing in them is ever taken for a marker.
void print_story(const answer_sheet& answers, std::ostream& out);
