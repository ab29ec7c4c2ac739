// SPDX-License-Identifier: BSD-2-Clause
// Reading one answer: a run of bytes that are not white space.
#pragma once

#include "answer_sheet.hpp"
#include "encodings.hpp"

#include <cstddef>
#include <istream>
#include <string_view>

// The six white-space bytes that end a word; every other byte, NUL included, belongs to it.
[[nodiscard]] constexpr bool is_white_space(char c) noexcept
{
    switch (c) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
        return true;
    default:
        return false;
    }
}

// Stores the next word of `in` in `slot`: skips white space, then takes bytes up
// to the next white space or the end of input, leaving that white space unread.
// A word longer than the slot keeps its first bytes (never half a character of
// `encoding`) and the rest of it is dropped. Once the input has ended, or cannot be read, the
// slot is left empty.
void read_word(std::istream& in, answer& slot, const text_encoding& encoding);
