#include "word_reader.hpp"

#include <algorithm>
#include <ios>
#include <string>

namespace {

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
    const std::streamsize got = reader.in.readsome(reader.bytes.data(), static_cast<std::streamsize>(reader.bytes.size()));
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
        reader.begin = static_cast<std::size_t>(std::find_if_not(start + reader.begin, start + reader.end, is_white_space) - start);
    } while (reader.begin == reader.end);

    std::size_t length = 0;
    bool cut = false;
    while (fill(reader)) {
        const char* const from = start + reader.begin;
        const char* const word_end = std::find_if(from, start + reader.end, is_white_space);
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
