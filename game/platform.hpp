// SPDX-License-Identifier: BSD-2-Clause
// What the game needs of the system it runs on; posix_platform.cpp and
// windows_platform.cpp each give all of it.
#pragma once

#include "encodings.hpp"

#include <ostream>
#include <streambuf>

// Standard input and output as the game reads and writes them, and the encoding
// the words come in.
struct standard_streams {
    std::streambuf& in;
    std::streambuf& out;
    text_encoding encoding;
};

[[nodiscard]] standard_streams open_standard_streams() noexcept;

// Flushes `out`, then keeps the finished story on screen until the player
// acknowledges it.
void pause_before_exit(std::ostream& out);
