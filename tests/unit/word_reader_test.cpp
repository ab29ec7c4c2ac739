// SPDX-License-Identifier: BSD-2-Clause
#include "word_reader.hpp"

#include "console_text.hpp"
#include "encodings.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#ifndef _WIN32
#include "posix_io.hpp"
#include "stream_buffers.hpp"
#endif

namespace {

using namespace std::string_literals;

// Hands out the input in the given pieces, one per refill, as a terminal hands out
// its lines, and counts the pieces taken.
class in_pieces : public std::streambuf {
public:
    explicit in_pieces(std::vector<std::string> pieces) : pieces_(std::move(pieces)) {}
    std::size_t pieces_taken = 0;

protected:
    int_type underflow() override
    {
        if (pieces_taken == pieces_.size()) {
            return traits_type::eof();
        }
        std::string& piece = pieces_[pieces_taken++];
        setg(piece.data(), piece.data(), piece.data() + piece.size());
        return traits_type::to_int_type(piece.front());
    }

private:
    std::vector<std::string> pieces_;
};

std::vector<std::string> pieces_of(const std::string& text, std::size_t size)
{
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < text.size(); at += size) {
        pieces.push_back(text.substr(at, size));
    }
    return pieces;
}

// Reads words from `in` until it ends (at most a game's worth).
std::vector<std::string> words_of(std::istream& in, const text_encoding& encoding)
{
    std::vector<std::string> words;
    answer slot;
    for (std::size_t row = 0; row < answer_count; ++row) {
        read_word(in, slot, encoding);
        if (slot.length == 0) {
            break;
        }
        // Nothing of a longer word read before stays behind the zero.
        EXPECT_EQ(std::string(slot.bytes.data() + slot.length, slot.bytes.size() - slot.length),
                  std::string(slot.bytes.size() - slot.length, '\0'));
        words.emplace_back(slot.text());
    }
    return words;
}

struct reading_case {
    const char* name;
    std::string input;
    std::vector<std::string> words;
    text_encoding encoding = utf8_encoding;
};

void PrintTo(const reading_case& c, std::ostream* out)
{
    *out << c.name;
}

const std::string a30(30, 'a');
const std::string euro = "\xE2\x82\xAC";
const std::string grin = "\xF0\x9F\x98\x80";
const std::string e_acute = "\xC3\xA9";

// Windows code pages by their numbers and their lead bytes, as GetCPInfo gives them.
const text_encoding single_byte = encoding_of_code_page(1252, lead_byte_ranges{});  // 1252, 850, ...
const text_encoding shift_jis = encoding_of_code_page(932, lead_byte_ranges{0x81, 0x9F, 0xE0, 0xFC});
const text_encoding gbk = encoding_of_code_page(936, lead_byte_ranges{0x81, 0xFE});  // 936, 949, 950
const text_encoding gb18030 = encoding_of_code_page(gb18030_code_page, lead_byte_ranges{});
// Input from a pipe, with no console: its words come in the ANSI code page, here UTF-8.
const text_encoding ansi_utf8 = encoding_of_code_page(words_code_page_of(0, utf8_code_page), lead_byte_ranges{});
// "watashi wa nihongo o benkyou shite imasu" in code page 932: nineteen characters of two bytes.
const std::string japanese =
    "\x82\xED\x82\xBD\x82\xB5\x82\xCD\x82\xC9\x82\xD9\x82\xF1\x82\xB2\x82\xF0"
    "\x82\xD7\x82\xF1\x82\xAB\x82\xE5\x82\xA4\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB7";

// Words of 1 to 17 bytes, so that white space falls at every place in a piece of the input.
const std::vector<std::string> growing = [] {
    std::vector<std::string> words;
    for (char c = 'a'; c <= 'q'; ++c) {
        words.emplace_back(static_cast<std::size_t>(c - 'a' + 1), c);
    }
    return words;
}();

std::string joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& w : words) {
        text += w + (w.size() % 2 == 0 ? "\t" : "\r\n");
    }
    return text;
}

class read_word_test : public testing::TestWithParam<reading_case> {};

// Whatever the stream's buffering: the whole text at once, seven bytes at a time
// (words cut inside one piece and going on into the next), no buffer at all, or
// the game's own buffer over a file descriptor.
TEST_P(read_word_test, takes_each_word_as_the_rules_say)
{
    const std::string& input = GetParam().input;
    std::istringstream whole(input);
    EXPECT_EQ(words_of(whole, GetParam().encoding), GetParam().words) << "whole";
    in_pieces sevens(pieces_of(input, 7));
    std::istream in_sevens(&sevens);
    EXPECT_EQ(words_of(in_sevens, GetParam().encoding), GetParam().words) << "seven bytes at a time";
#ifndef _WIN32
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(input.data(), 1, input.size(), file), input.size());
    ASSERT_EQ(std::fflush(file), 0);
    std::rewind(file);
    input_buffer descriptor(fd_source{fileno(file)});
    std::istream from_descriptor(&descriptor);
    EXPECT_EQ(words_of(from_descriptor, GetParam().encoding), GetParam().words) << "file descriptor";
    std::fclose(file);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    words, read_word_test,
    testing::Values(
        reading_case{"empty", "", {}}, reading_case{"only_white_space", " \t\r\n\v\f", {}},
        reading_case{"every_white_space", "a b\tc\nd\r\ne\vf\fg", {"a", "b", "c", "d", "e", "f", "g"}},
        reading_case{"white_space_at_every_offset", joined(growing), growing},
        reading_case{"control_bytes_belong_to_the_word",
                     "abcdefg\x01hijklmn\x1f\x7f\x80op\x00q r"s,
                     {"abcdefg\x01hijklmn\x1f\x7f\x80op\x00q"s, "r"}},
        reading_case{"blank_lines_and_blanks_first", "\n\n\n \t word\n", {"word"}},
        reading_case{"ends_mid_word", "one tw", {"one", "tw"}},
        reading_case{"nul_belongs_to_the_word", "a\0b c"s, {"a\0b"s, "c"}},
        reading_case{"markers_as_typed", "%s %n %% \\ %", {"%s", "%n", "%%", "\\", "%"}},
        reading_case{"exactly_31", std::string(31, 'x') + " y", {std::string(31, 'x'), "y"}},
        reading_case{"32_is_cut_rest_dropped", std::string(32, 'x') + "\ny", {std::string(31, 'x'), "y"}},
        reading_case{"word_of_100_000_bytes", std::string(100'000, 'x') + " next", {std::string(31, 'x'), "next"}},
        reading_case{"white_space_run", std::string(40'000, ' ') + "w", {"w"}},
        reading_case{"two_byte_char_ends_at_31", a30.substr(1) + e_acute + "zz", {a30.substr(1) + e_acute}},
        reading_case{"two_byte_char_straddles_31", a30 + e_acute + "zz", {a30}},
        reading_case{"three_byte_char_ends_at_31", a30.substr(2) + euro + "zz", {a30.substr(2) + euro}},
        reading_case{"three_byte_char_straddles_31_by_two", a30.substr(1) + euro + "z", {a30.substr(1)}},
        reading_case{"three_byte_char_straddles_31_by_one", a30 + euro + "z", {a30}},
        reading_case{"four_byte_char_ends_at_31", a30.substr(3) + grin + "z", {a30.substr(3) + grin}},
        reading_case{"four_byte_char_straddles_31", a30.substr(2) + grin + "z", {a30.substr(2)}},
        reading_case{"lone_lead_byte_at_31_not_cut", a30 + "\xC3 next", {a30 + "\xC3", "next"}},
        reading_case{"stray_continuation_kept", a30 + "\x80\x80", {a30 + "\x80"}},
        reading_case{"lone_lead_byte_in_short_word_kept", "ab\xC3", {"ab\xC3"}},
        reading_case{"invalid_lead_kept", a30 + "\xFF\xFF", {a30 + "\xFF"}},
        reading_case{"cp1252_e_acute_at_31", a30 + "\xE9tude", {a30 + "\xE9"}, single_byte},
        reading_case{"cp932_half_character_dropped", japanese, {japanese.substr(0, 30)}, shift_jis},
        reading_case{
            "cp932_whole_character_kept", a30.substr(1) + "\xEA\xA3x", {a30.substr(1) + "\xEA\xA3"}, shift_jis},
        reading_case{"cp932_katakana_is_one_byte", a30 + "\xC0\xC0", {a30 + "\xC0"}, shift_jis},
        reading_case{"cp932_trail_byte_like_a_lead",
                     std::string(32, '\x81').insert(0, 1, 'a'),
                     {std::string(30, '\x81').insert(0, 1, 'a')},
                     shift_jis},
        reading_case{"cp932_first_lead_byte_at_31", a30 + "\x81\x40", {a30}, shift_jis},
        reading_case{"cp932_second_range_lead_byte_at_31", a30 + "\xEA\xA3", {a30}, shift_jis},
        reading_case{"cp932_nul_is_one_byte", a30 + "\0z"s, {a30 + "\0"s}, shift_jis},
        reading_case{"cp936_last_lead_byte_at_31", a30 + "\xFE\xA1", {a30}, gbk},
        reading_case{"gb18030_0x80_is_one_byte", a30 + "\x80z", {a30 + "\x80"}, gb18030},
        reading_case{"gb18030_last_lead_byte_at_31", a30 + "\xFE\xA1", {a30}, gb18030},
        reading_case{"gb18030_lead_byte_last_of_the_slot", a30 + "\x81\x30\x81\x30", {a30}, gb18030},
        reading_case{"gb18030_four_bytes_with_9_second",
                     a30.substr(3) + "\x81\x39\x81\x30z",
                     {a30.substr(3) + "\x81\x39\x81\x30"},
                     gb18030},
        reading_case{"ansi_utf8_without_a_console", a30 + e_acute, {a30}, ansi_utf8},
        reading_case{"gb18030_four_bytes_cut", a30.substr(2) + "\x81\x30\x81\x30", {a30.substr(2)}, gb18030},
        reading_case{"gb18030_four_bytes_fit",
                     a30.substr(3) + "\x81\x30\x81\x30z",
                     {a30.substr(3) + "\x81\x30\x81\x30"},
                     gb18030},
        reading_case{"gb18030_two_bytes_fit", a30.substr(1) + "\xB0\xA1z", {a30.substr(1) + "\xB0\xA1"}, gb18030}),
    [](const testing::TestParamInfo<reading_case>& param_info) { return std::string(param_info.param.name); });

TEST(read_word, never_asks_for_a_line_it_does_not_need)
{
    in_pieces terminal({"  one two three\n", "four\n"});
    std::istream in(&terminal);
    answer slot;
    for (const char* expected : {"one", "two", "three"}) {
        read_word(in, slot, utf8_encoding);
        EXPECT_EQ(slot.text(), expected);
        EXPECT_EQ(terminal.pieces_taken, 1U);
    }
    read_word(in, slot, utf8_encoding);
    EXPECT_EQ(slot.text(), "four");
}

}  // namespace
