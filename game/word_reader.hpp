// SPDX-License-Identifier: BSD-2-Clause
// Reading one answer: a run of bytes that are not white space.
#pragma once

#include "answer_sheet.hpp"

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

// How much of a word cut at the slot's capacity to keep: all of it, unless it ends
// with the first bytes of a UTF-8 character whose other bytes were cut off.
[[nodiscard]] constexpr std::size_t whole_character_length(std::string_view kept) noexcept
{
    constexpr std::size_t longest_sequence = 4;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(kept[i]); };

    std::size_t lead = kept.size();
    while (lead > 0 && kept.size() - lead < longest_sequence - 1 && (byte(lead - 1) & 0xC0U) == 0x80U) {
        --lead;
    }
    if (lead == 0) {
        return kept.size();
    }
    --lead;
    std::size_t announced = 1;
    if ((byte(lead) & 0xE0U) == 0xC0U) {
        announced = 2;
    } else if ((byte(lead) & 0xF0U) == 0xE0U) {
        announced = 3;
    } else if ((byte(lead) & 0xF8U) == 0xF0U) {
        announced = 4;
    }
    return kept.size() - lead < announced ? lead : kept.size();
}

// Stores the next word of `in` in `slot`: skips white space, then takes bytes up
// to the next white space or the end of input, leaving that white space unread.
// A word longer than the slot keeps its first bytes (never half a UTF-8 character)
// and the rest of it is dropped. Once the input has ended, or cannot be read, the
// slot is left empty.
void read_word(std::istream& in, answer& slot);
