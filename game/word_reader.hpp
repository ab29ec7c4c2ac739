// SPDX-License-Identifier: BSD-2-Clause
// Reading one answer: a run of bytes that are not white space.
#pragma once

#include "answer_sheet.hpp"
#include "encodings.hpp"

#include <istream>
#include <string_view>

// Stores the next word of `in` in `slot`, up to the white space after it, which is
// left unread; a word too long keeps its whole characters of `encoding` that fit.
void read_word(std::istream& in, answer& slot, const text_encoding& encoding);
