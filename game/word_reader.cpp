#include "word_reader.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ios>
#include <string>

namespace {

// The first white-space byte in [from, to), or `to`. A word may be hundreds of
// megabytes long, so the search passes over eight bytes at a time while none of
// them is below '!': all six white-space bytes are.
const char* find_white_space(const char* from, const char* to)
{
    constexpr std::uint64_t each_byte = 0x0101010101010101U;
    constexpr std::uint64_t high_bits = 0x8080808080808080U;
    constexpr std::size_t step = sizeof(std::uint64_t);
    for (; static_cast<std::size_t>(to - from) >= step; from += step) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, from, step);
        if (((eight - each_byte * '!') & ~eight & high_bits) != 0) {  // some byte is below '!'
            const char* const found = std::find_if(from, from + step, is_white_space);
            if (found != from + step) {
                return found;
            }
        }
    }
    return std::find_if(from, to, is_white_space);
}

// Makes sure the reader holds unread bytes; false at the end of the input.
bool fill(word_reader& reader)
{
    if (reader.begin != reader.end) {
        return true;
    }
    // peek waits for the stream to hold at least one byte; readsome then takes
    // only those held, so it never waits for more.
    if (std::char_traits<char>::eq_int_type(reader.in.peek(), std::char_traits<char>::eof())) {
        return false;
    }
    const std::streamsize got =
        reader.in.readsome(reader.bytes.data(), static_cast<std::streamsize>(reader.bytes.size()));
    reader.begin = 0;
    reader.end = got > 0 ? static_cast<std::size_t>(got) : 0;
    return got > 0;
}

}  // namespace

void read_word(word_reader& reader, answer& slot)
{
    slot = answer{};
    const char* const start = reader.bytes.data();

    do {
        if (!fill(reader)) {
            return;
        }
        reader.begin = static_cast<std::size_t>(
            std::find_if_not(start + reader.begin, start + reader.end, is_white_space) - start);
    } while (reader.begin == reader.end);

    std::size_t length = 0;
    bool cut = false;
    while (fill(reader)) {
        const char* const from = start + reader.begin;
        const char* const word_end = find_white_space(from, start + reader.end);
        const auto taken = static_cast<std::size_t>(word_end - from);
        const std::size_t kept = std::min(taken, answer_capacity - length);
        std::copy_n(from, kept, slot.bytes.data() + length);
        length += kept;
        cut = cut || kept < taken;
        reader.begin += taken;
        if (reader.begin != reader.end) {
            break;  // stopped at white space: the word is complete
        }
    }
    if (cut) {
        length = whole_character_length({slot.bytes.data(), length});
    }
    std::fill(slot.bytes.begin() + static_cast<std::ptrdiff_t>(length), slot.bytes.end(), '\0');
    slot.length = length;
}
