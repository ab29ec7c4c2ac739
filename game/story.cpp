// SPDX-License-Identifier: BSD-2-Clause
#include "story.hpp"

void print_story(const answer_sheet& answers, std::ostream& out)
{
    out << story_heading;
    std::string_view rest = story_template;
    for (const answer& word : answers) {
        const auto blank = rest.find(blank_marker);  // found: the blanks are counted at compile time
        out << rest.substr(0, blank) << word.text();
        rest.remove_prefix(blank + blank_marker.size());
    }
    out << rest;
}
