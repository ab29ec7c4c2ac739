// SPDX-License-Identifier: BSD-2-Clause
// The twenty answers of one game, in the order in which they are asked.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

inline constexpr std::size_t answer_count = 20;

// A word keeps at most this many bytes.
inline constexpr std::size_t answer_capacity = 31;

struct answer {
    std::array<char, answer_capacity + 1> bytes{};  // zero-terminated
    std::size_t length = 0;  // a word may hold NUL bytes, so the zero alone cannot mark its end

    [[nodiscard]] constexpr std::string_view text() const noexcept { return {bytes.data(), length}; }
};

// Slot k answers row k of the prompt table and fills blank k of the story.
using answer_sheet = std::array<answer, answer_count>;
