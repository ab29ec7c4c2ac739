#include "word_reader.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

using namespace std::string_literals;

// Reads words from `input` until it ends (at most a game's worth).
std::vector<std::string> words_of(const std::string& input)
{
    std::istringstream in(input);
    word_reader reader{in};
    std::vector<std::string> words;
    answer slot;
    for (std::size_t row = 0; row < answer_count; ++row) {
        read_word(reader, slot);
        if (slot.length == 0) {
            break;
        }
        EXPECT_EQ(slot.bytes[slot.length], '\0');
        words.emplace_back(slot.text());
    }
    return words;
}

struct reading_case {
    const char* name;
    std::string input;
    std::vector<std::string> words;
};

void PrintTo(const reading_case& c, std::ostream* out)
{
    *out << c.name;
}

const std::string a30(30, 'a');
const std::string euro = "\xE2\x82\xAC";
const std::string grin = "\xF0\x9F\x98\x80";

// Words of 1 to 17 bytes, so that white space falls at every place in an eight-byte block.
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

TEST_P(read_word_test, takes_each_word_as_the_rules_say)
{
    EXPECT_EQ(words_of(GetParam().input), GetParam().words);
}

INSTANTIATE_TEST_SUITE_P(
    words, read_word_test,
    testing::Values(reading_case{"empty", "", {}}, reading_case{"only_white_space", " \t\r\n\v\f", {}},
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
                    reading_case{"32_is_cut_rest_dropped", std::string(32, 'x') + " y", {std::string(31, 'x'), "y"}},
                    reading_case{"thousands_cut", std::string(5000, 'x') + "\nnext", {std::string(31, 'x'), "next"}},
                    reading_case{
                        "word_across_many_blocks", std::string(100'000, 'x') + " next", {std::string(31, 'x'), "next"}},
                    reading_case{"white_space_across_blocks", std::string(40'000, ' ') + "w", {"w"}},
                    reading_case{"two_byte_char_split", a30 + "\xC3\xA9", {a30}},
                    reading_case{"three_byte_char_split", a30.substr(1) + euro, {a30.substr(1)}},
                    reading_case{"three_byte_char_split_late", a30 + euro, {a30}},
                    reading_case{"three_byte_char_fits", a30.substr(2) + euro, {a30.substr(2) + euro}},
                    reading_case{"four_byte_char_split", a30.substr(2) + grin, {a30.substr(2)}},
                    reading_case{"four_byte_char_fits", a30.substr(3) + grin + "z", {a30.substr(3) + grin}},
                    reading_case{"stray_continuation_kept", a30 + "\x80\x80", {a30 + "\x80"}},
                    reading_case{"lone_lead_byte_in_short_word_kept", "ab\xC3", {"ab\xC3"}},
                    reading_case{"invalid_lead_kept", a30 + "\xFF\xFF", {a30 + "\xFF"}}),
    [](const testing::TestParamInfo<reading_case>& param_info) { return std::string(param_info.param.name); });

TEST(read_word, a_shorter_word_leaves_no_stale_bytes_in_the_slot)
{
    std::istringstream in(std::string(40, 'x') + " short");
    word_reader reader{in};
    answer slot;
    read_word(reader, slot);
    read_word(reader, slot);
    EXPECT_EQ(slot.text(), "short");
    EXPECT_EQ(std::string(slot.bytes.data() + slot.length, slot.bytes.size() - slot.length),
              std::string(answer_capacity + 1 - 5, '\0'));
}

// Hands out one line per underflow, as a terminal does, and counts the lines asked for.
class line_at_a_time : public std::streambuf {
public:
    explicit line_at_a_time(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::size_t lines_taken = 0;

protected:
    int_type underflow() override
    {
        if (lines_taken == lines_.size()) {
            return traits_type::eof();
        }
        std::string& line = lines_[lines_taken++];
        setg(line.data(), line.data(), line.data() + line.size());
        return traits_type::to_int_type(line.front());
    }

private:
    std::vector<std::string> lines_;
};

TEST(read_word, never_asks_for_a_line_it_does_not_need)
{
    line_at_a_time terminal({"  one two three\n", "four\n"});
    std::istream in(&terminal);
    word_reader reader{in};
    answer slot;
    for (const char* expected : {"one", "two", "three"}) {
        read_word(reader, slot);
        EXPECT_EQ(slot.text(), expected);
        EXPECT_EQ(terminal.lines_taken, 1U);
    }
    read_word(reader, slot);
    EXPECT_EQ(slot.text(), "four");
}

}  // namespace
