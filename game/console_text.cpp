// SPDX-License-Identifier: BSD-2-Clause
#include "console_text.hpp"

namespace {

constexpr char32_t replacement_character = 0xFFFD;

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
        } else {
            written += put_utf8(is_low_surrogate(unit) ? replacement_character : unit, out + written);
        }
    }
    return written;
}

std::size_t utf8_from_utf16::finish(char* out) noexcept
{
    const bool held = high_surrogate_ != 0;
    high_surrogate_ = 0;
    return held ? put_utf8(replacement_character, out) : 0;
}
