// SPDX-License-Identifier: BSD-2-Clause
#include "console_text.hpp"

#include "encodings.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

const std::u16string ctrl_z_unit = u"\x1A";
const std::string grin = "\xF0\x9F\x98\x80";  // U+1F600, grinning face

struct ctrl_z_case {
    const char* name;
    std::vector<std::u16string> reads;
    std::u16string kept;
    bool ended;
};

void PrintTo(const ctrl_z_case& c, std::ostream* out)
{
    *out << c.name;
}

class ctrl_z_rule_test : public testing::TestWithParam<ctrl_z_case> {};

TEST_P(ctrl_z_rule_test, ends_the_input_first_on_a_line_and_the_line_later_in_it)
{
    ctrl_z_rule rule;
    std::u16string kept;
    for (std::u16string read : GetParam().reads) {
        ASSERT_FALSE(rule.ended()) << "read after the end";
        kept += read.substr(0, rule.apply(read));
    }
    EXPECT_EQ(kept, GetParam().kept);
    EXPECT_EQ(rule.ended(), GetParam().ended);
}

INSTANTIATE_TEST_SUITE_P(
    lines, ctrl_z_rule_test,
    testing::Values(
        ctrl_z_case{"none", {u"one two\r\n", u"three\r\n"}, u"one two\r\nthree\r\n", false},
        ctrl_z_case{"first_ends_the_input_and_its_line", {ctrl_z_unit + u"rest\r\n"}, u"", true},
        ctrl_z_case{"first_on_a_later_line", {u"one\r\n" + ctrl_z_unit + u"rest\r\n"}, u"one\r\n", true},
        ctrl_z_case{"first_on_the_line_of_the_next_read", {u"one\r\n", ctrl_z_unit + u"\r\n"}, u"one\r\n", true},
        ctrl_z_case{"inside_ends_the_line", {u"ab" + ctrl_z_unit + u"cd\r\n", u"ef\r\n"}, u"ab\r\nef\r\n", false},
        ctrl_z_case{"inside_a_line_longer_than_a_read",
                    {u"ab" + ctrl_z_unit + u"cd", u"ef", u"gh\r\n", u"ij\r\n"},
                    u"ab\r\nij\r\n",
                    false},
        ctrl_z_case{"two_inside", {u"a" + ctrl_z_unit + u"b" + ctrl_z_unit + u"\r\n"}, u"a\r\n", false},
        ctrl_z_case{
            "first_after_a_line_it_ended", {u"a" + ctrl_z_unit + u"b\r\n" + ctrl_z_unit + u"\r\n"}, u"a\r\n", true},
        ctrl_z_case{"not_first_when_a_read_ended_inside_the_line",
                    {u"abc", ctrl_z_unit + u"\r\n", u"d\r\n"},
                    u"abc\r\nd\r\n",
                    false}),
    [](const testing::TestParamInfo<ctrl_z_case>& param_info) { return std::string(param_info.param.name); });

struct read_case {
    const char* name;
    bool succeeded;
    std::size_t units;
    bool aborted;
    console_read outcome;
};

void PrintTo(const read_case& c, std::ostream* out)
{
    *out << c.name;
}

class console_read_test : public testing::TestWithParam<read_case> {};

TEST_P(console_read_test, ends_the_input_only_when_the_console_gives_nothing_but_for_ctrl_c)
{
    const read_case& c = GetParam();
    EXPECT_EQ(console_read_of(c.succeeded, c.units, c.aborted), c.outcome);
}

INSTANTIATE_TEST_SUITE_P(reads, console_read_test,
                         testing::Values(read_case{"text", true, 5, false, console_read::text},
                                         read_case{"ctrl_c", true, 0, true, console_read::interrupted},
                                         read_case{"nothing", true, 0, false, console_read::ended},
                                         read_case{"failed", false, 0, false, console_read::ended},
                                         read_case{"failed_as_aborted", false, 0, true, console_read::ended}),
                         [](const testing::TestParamInfo<read_case>& param_info) {
                             return std::string(param_info.param.name);
                         });

// Each byte as the code point of the same number: a decoder with no table, which shows which bytes a chunk took.
std::size_t bytes_as_code_points(std::string_view text, char16_t* out)
{
    for (const char c : text) {
        *out++ = static_cast<unsigned char>(c);
    }
    return text.size();
}

const text_encoding single_byte{text_encoding::byte_rule::code_page, {}};
const text_encoding shift_jis{text_encoding::byte_rule::code_page, {0x81, 0x9F, 0xE0, 0xFC}};

struct chunk_case {
    const char* name;
    std::string text;
    std::size_t room;
    std::u16string units;
    std::size_t bytes;
    text_encoding encoding = utf8_encoding;
};

void PrintTo(const chunk_case& c, std::ostream* out)
{
    *out << c.name;
}

class console_chunk_test : public testing::TestWithParam<chunk_case> {};

TEST_P(console_chunk_test, converts_whole_characters_with_line_ends_as_crlf)
{
    const chunk_case& c = GetParam();
    std::u16string out(c.room, u'\0');
    const console_chunk chunk = console_chunk_of(c.text, c.encoding, out, bytes_as_code_points);
    EXPECT_EQ(out.substr(0, chunk.units), c.units);
    EXPECT_EQ(chunk.bytes, c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    texts, console_chunk_test,
    testing::Values(chunk_case{"line_ends", "a\nb\n\n", 64, u"a\r\nb\r\n\r\n", 5},
                    chunk_case{"utf8_of_every_size", "a\xC3\xA9\xE2\x82\xAC" + grin, 64,
                               u"a\u00C3\u00A9\u00E2\u0082\u00AC\u00F0\u009F\u0098\u0080", 10},
                    chunk_case{"cut_character_waits", "ab\xE2\x82", 64, u"ab", 2},
                    chunk_case{"half_the_room", "abcdefghij", 8, u"abcd", 4},
                    chunk_case{"half_the_room_with_line_ends", "\n\n\n\n\n", 8, u"\r\n\r\n\r\n\r\n", 4},
                    chunk_case{"room_ends_inside_a_character", "abc\xE2\x82\xAC", 8, u"abc", 3},
                    chunk_case{"room_ends_inside_a_pair", "a" + grin, 8, u"a", 1},
                    chunk_case{"only_a_cut_character", "\xF0\x9F", 64, u"", 0},
                    chunk_case{"code_page_line_end", "\xE9\n", 64, u"\u00E9\r\n", 2, single_byte},
                    chunk_case{"code_page_cut_lead_byte_waits", "ab\x82", 64, u"ab", 2, shift_jis},
                    chunk_case{"code_page_room_ends_inside_a_character", "a\x82\xA0\x82\xA0", 8, u"a\u0082\u00A0", 3,
                               shift_jis}),
    [](const testing::TestParamInfo<chunk_case>& param_info) { return std::string(param_info.param.name); });

}  // namespace
