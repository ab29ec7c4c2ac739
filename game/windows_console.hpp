// SPDX-License-Identifier: BSD-2-Clause
// What the game asks of the Windows console.
#pragma once

#include "encodings.hpp"

// The code page of words that do not come from the console itself: the console's
// input code page, `console_code_page`, for input redirected from a file, or the ANSI
// one, `ansi`, when there is no console (GetConsoleCP gives 0).
[[nodiscard]] constexpr unsigned words_code_page_of(unsigned console_code_page, unsigned ansi) noexcept
{
    return console_code_page != 0 ? console_code_page : ansi;
}

// The code page of words read from a pipe or a file, by the rule above.
[[nodiscard]] unsigned words_code_page() noexcept;

// The rule that cuts words in `code_page`: UTF-8's for a code page Windows does not know.
[[nodiscard]] text_encoding code_page_encoding(unsigned code_page) noexcept;
