// SPDX-License-Identifier: BSD-2-Clause
#include "word_reader.hpp"

#include <algorithm>
#include <ios>
#include <streambuf>
#include <string>
#include <string_view>

namespace {

using traits = std::char_traits<char>;

// The six white-space bytes that end a word; every other byte, NUL included, belongs to it.
constexpr std::string_view white_space = " \t\n\v\f\r";

bool at_end(traits::int_type c)
{
    return traits::eq_int_type(c, traits::eof());
}

bool is_white_space(traits::int_type c)
{
    return !at_end(c) && white_space.find(traits::to_char_type(c)) != std::string_view::npos;
}

}  // namespace

// Works as the stream's own extractors do: a sentry, then the bytes straight from
// the stream's buffer, one at a time. The buffer is asked for more only when it
// holds no byte still to be looked at, so a word at the end of a terminal's line
// never waits for the next line.
void read_word(std::istream& in, answer& slot, const text_encoding& encoding)
{
    slot = answer{};
    const std::istream::sentry ready(in, true);  // true: the white space is skipped below, by the game's own rule
    if (!ready) {
        return;
    }
    std::streambuf& source = *in.rdbuf();
    std::size_t length = 0;
    bool cut = false;
    traits::int_type c = source.sgetc();
    while (is_white_space(c)) {
        c = source.snextc();
    }
    for (; !at_end(c) && !is_white_space(c); c = source.snextc()) {
        if (length < answer_capacity) {
            slot.bytes[length++] = traits::to_char_type(c);
        } else {
            cut = true;  // the rest of a long word is read and dropped
        }
    }
    if (cut) {
        length = whole_character_length({slot.bytes.data(), length}, encoding);
        std::fill(slot.bytes.begin() + static_cast<std::ptrdiff_t>(length), slot.bytes.end(), '\0');
    }
    slot.length = length;
    if (at_end(c)) {
        in.setstate(std::ios_base::eofbit);
    }
}
