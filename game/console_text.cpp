// SPDX-License-Identifier: BSD-2-Clause
#include "console_text.hpp"

#include <array>

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
    const std::size_t size = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    constexpr std::array<char32_t, 5> lead_bits{0, 0, 0xC0, 0xE0, 0xF0};
    for (std::size_t i = size - 1; i > 0; --i) {
        out[i] = static_cast<char>(static_cast<unsigned char>(0x80 | (c & 0x3F)));
        c >>= 6;
    }
    out[0] = static_cast<char>(static_cast<unsigned char>(lead_bits.at(size) | c));
    return size;
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
