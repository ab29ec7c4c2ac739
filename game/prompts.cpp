// SPDX-License-Identifier: BSD-2-Clause
#include "prompts.hpp"

#include "word_reader.hpp"

#include <cstddef>

void collect_answers(answer_sheet& answers, std::istream& in, std::ostream& out, const text_encoding& encoding)
{
    for (std::size_t row = 0; row < answer_count; ++row) {
        out << prompt_table[row] << std::flush;
        read_word(in, answers[row], encoding);
    }
}
