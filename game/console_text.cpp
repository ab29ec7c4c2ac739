// SPDX-License-Identifier: BSD-2-Clause
#include "console_text.hpp"

#include <array>

namespace {

constexpr char32_t replacement_character = 0xFFFD;
constexpr char32_t last_code_point = 0x10FFFF;

constexpr bool is_high_surrogate(char32_t u) noexcept
{
    return u >= 0xD800 && u <= 0xDBFF;
}

constexpr bool is_low_surrogate(char32_t u) noexcept
{
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Writes `c`, a code point that is not a surrogate, as UTF-8; returns the bytes written.
std::size_t put_utf8(char32_t c, char* out) noexcept
{
    const auto byte = [](char32_t bits) { return static_cast<char>(static_cast<unsigned char>(bits)); };
    if (c < 0x80) {
        out[0] = byte(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = byte(0xC0 | (c >> 6));
        out[1] = byte(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = byte(0xE0 | (c >> 12));
        out[1] = byte(0x80 | ((c >> 6) & 0x3F));
        out[2] = byte(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = byte(0xF0 | (c >> 18));
    out[1] = byte(0x80 | ((c >> 12) & 0x3F));
    out[2] = byte(0x80 | ((c >> 6) & 0x3F));
    out[3] = byte(0x80 | (c & 0x3F));
    return 4;
}

// The well-formed UTF-8 character at the start of `text` and its size, or U+FFFD and
// one byte (Unicode's table of well-formed sequences: no overlong form, no surrogate).
struct decoded {
    char32_t code_point;
    std::size_t size;
};

// Unicode's well-formed sequences of more than one byte, by their lead bytes: no
// overlong form (a code point below `least`), nothing past U+10FFFF, no surrogate.
struct sequence {
    unsigned char first_lead;
    unsigned char last_lead;
    std::size_t size;
    unsigned char lead_bits;
    char32_t least;
};
constexpr std::array<sequence, 3> sequences{{
    {0xC2, 0xDF, 2, 0x1F, 0x80},
    {0xE0, 0xEF, 3, 0x0F, 0x800},
    {0xF0, 0xF4, 4, 0x07, 0x10000},
}};

decoded next_utf8(std::string_view text) noexcept
{
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    for (const sequence& s : sequences) {
        if (lead < s.first_lead || lead > s.last_lead || text.size() < s.size) {
            continue;
        }
        char32_t c = lead & s.lead_bits;
        for (std::size_t i = 1; i < s.size; ++i) {
            if ((at(i) & 0xC0U) != 0x80U) {
                return {replacement_character, 1};
            }
            c = (c << 6) | (at(i) & 0x3FU);
        }
        if (c < s.least || c > last_code_point || is_high_surrogate(c) || is_low_surrogate(c)) {
            return {replacement_character, 1};
        }
        return {c, s.size};
    }
    return {replacement_character, 1};
}

}  // namespace

std::size_t ctrl_z_rule::apply(std::span<char16_t> units) noexcept
{
    std::size_t kept = 0;
    for (const char16_t unit : units) {
        if (ended_) {
            break;
        }
        if (dropping_ && unit != u'\r' && unit != u'\n') {
            continue;
        }
        dropping_ = false;
        if (unit == ctrl_z) {
            ended_ = at_line_start_;
            dropping_ = true;
            continue;
        }
        units[kept++] = unit;
        at_line_start_ = unit == u'\n';
    }
    return kept;
}

std::size_t utf8_from_utf16::convert(std::u16string_view units, char* out) noexcept
{
    std::size_t written = 0;
    for (const char16_t unit : units) {
        if (carriage_return_) {
            carriage_return_ = false;
            if (unit != u'\n') {
                out[written++] = '\r';
            }
        }
        if (high_surrogate_ != 0) {
            const char32_t high = high_surrogate_;
            high_surrogate_ = 0;
            if (is_low_surrogate(unit)) {
                written += put_utf8(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00U), out + written);
                continue;
            }
            written += put_utf8(replacement_character, out + written);
        }
        if (is_high_surrogate(unit)) {
            high_surrogate_ = unit;
        } else if (unit == u'\r') {
            carriage_return_ = true;
        } else {
            written += put_utf8(is_low_surrogate(unit) ? replacement_character : unit, out + written);
        }
    }
    return written;
}

std::size_t utf8_from_utf16::finish(char* out) noexcept
{
    std::size_t written = 0;
    if (high_surrogate_ != 0) {
        written = put_utf8(replacement_character, out);
    } else if (carriage_return_) {
        out[written++] = '\r';
    }
    high_surrogate_ = 0;
    carriage_return_ = false;
    return written;
}

std::size_t utf16_from_utf8(std::string_view text, char16_t* out) noexcept
{
    std::size_t units = 0;
    while (!text.empty()) {
        const decoded next = next_utf8(text);
        text.remove_prefix(next.size);
        if (next.code_point < 0x10000) {
            out[units++] = static_cast<char16_t>(next.code_point);
        } else {
            const char32_t above = next.code_point - 0x10000;
            out[units++] = static_cast<char16_t>(0xD800 + (above >> 10));
            out[units++] = static_cast<char16_t>(0xDC00 + (above & 0x3FF));
        }
    }
    return units;
}
