// SPDX-License-Identifier: BSD-2-Clause
// The encodings a player's words come in, and how much of a word cut at a slot's
// capacity to keep so that it ends with a whole character. The bytes kept are never
// changed: a rule only decides where the word ends.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

// The bytes that start a character of two in a double-byte code page, first to last.
struct byte_range {
    unsigned char first = 0;
    unsigned char last = 0;
};

// Windows gives at most six ranges (GetCPInfo's twelve lead bytes).
inline constexpr std::size_t max_lead_byte_ranges = 6;

struct text_encoding {
    enum class kind {
        utf8,  // Linux and macOS, and Windows' code page 65001
        single_byte,  // a Windows code page of one byte per character (1252, 850, ...)
        double_byte,  // one or two bytes per character, two when the first is a lead byte (932, 936, 949, 950)
        gb18030,  // code page 54936: one, two or four bytes
    };
    kind rule = kind::utf8;
    std::array<byte_range, max_lead_byte_ranges> lead_bytes{};  // double_byte only; unused ranges are {0, 0}
};

inline constexpr text_encoding utf8_encoding{};

namespace encoding_detail {

[[nodiscard]] constexpr unsigned char byte_at(std::string_view text, std::size_t i) noexcept
{
    return static_cast<unsigned char>(text[i]);
}

// All of `kept`, unless it ends with the first bytes of a UTF-8 character whose other
// bytes were cut off. Bytes that are not UTF-8 are kept as they are.
[[nodiscard]] constexpr std::size_t utf8_length(std::string_view kept) noexcept
{
    constexpr std::size_t longest_sequence = 4;
    std::size_t lead = kept.size();
    while (lead > 0 && kept.size() - lead < longest_sequence - 1 && (byte_at(kept, lead - 1) & 0xC0U) == 0x80U) {
        --lead;
    }
    if (lead == 0) {
        return kept.size();
    }
    --lead;
    std::size_t announced = 1;
    if ((byte_at(kept, lead) & 0xE0U) == 0xC0U) {
        announced = 2;
    } else if ((byte_at(kept, lead) & 0xF0U) == 0xE0U) {
        announced = 3;
    } else if ((byte_at(kept, lead) & 0xF8U) == 0xF0U) {
        announced = 4;
    }
    return kept.size() - lead < announced ? lead : kept.size();
}

// How many bytes the character that starts at `at` takes; more than are left when it was cut.
// Read from the start of the word: in these encodings a trail byte can look like a lead byte.
[[nodiscard]] constexpr std::size_t character_size(std::string_view text, std::size_t at,
                                                   const text_encoding& encoding) noexcept
{
    const unsigned char first = byte_at(text, at);
    if (encoding.rule == text_encoding::kind::gb18030) {
        constexpr unsigned char lead_first = 0x81;
        constexpr unsigned char lead_last = 0xFE;
        if (first < lead_first || first > lead_last) {
            return 1;
        }
        const bool four = at + 1 < text.size() && byte_at(text, at + 1) >= '0' && byte_at(text, at + 1) <= '9';
        return four ? 4 : 2;  // a four-byte character has a digit second
    }
    for (const byte_range& leads : encoding.lead_bytes) {
        if (leads.first != 0 && first >= leads.first && first <= leads.last) {
            return 2;
        }
    }
    return 1;
}

// The characters of `kept` one by one from its start, up to the first that was cut.
[[nodiscard]] constexpr std::size_t lead_byte_length(std::string_view kept, const text_encoding& encoding) noexcept
{
    std::size_t whole = 0;
    while (whole < kept.size()) {
        const std::size_t size = character_size(kept, whole, encoding);
        if (size > kept.size() - whole) {
            break;
        }
        whole += size;
    }
    return whole;
}

}  // namespace encoding_detail

// How much of `kept`, the first bytes of a longer word, to keep: the longest
// beginning of it made of whole characters of `encoding`.
[[nodiscard]] constexpr std::size_t whole_character_length(std::string_view kept,
                                                           const text_encoding& encoding) noexcept
{
    switch (encoding.rule) {
    case text_encoding::kind::utf8:
        return encoding_detail::utf8_length(kept);
    case text_encoding::kind::double_byte:
    case text_encoding::kind::gb18030:
        return encoding_detail::lead_byte_length(kept, encoding);
    case text_encoding::kind::single_byte:
        return kept.size();
    }
    return kept.size();  // not reached: every rule returns above
}

// Windows code pages that a rule is chosen for by number.
inline constexpr unsigned utf8_code_page = 65001;  // CP_UTF8
inline constexpr unsigned gb18030_code_page = 54936;  // GetCPInfo gives it no lead bytes

// The rule of Windows code page `code_page`, from its lead bytes as GetCPInfo gives them:
// pairs of first and last, ended by a pair of zeros. A code page with none keeps its
// first 31 bytes: one of a byte per character, or one of the few others (UTF-7, the
// stateful ISO-2022 ones) that have no lead bytes to go by.
[[nodiscard]] constexpr text_encoding
encoding_of_code_page(unsigned code_page, std::span<const unsigned char, 2 * max_lead_byte_ranges> lead_bytes) noexcept
{
    if (code_page == utf8_code_page) {
        return utf8_encoding;
    }
    if (code_page == gb18030_code_page) {
        return {text_encoding::kind::gb18030, {}};
    }
    text_encoding encoding{text_encoding::kind::single_byte, {}};
    for (std::size_t range = 0; range < max_lead_byte_ranges && lead_bytes[2 * range] != 0; ++range) {
        encoding.rule = text_encoding::kind::double_byte;
        encoding.lead_bytes.at(range) = {lead_bytes[2 * range], lead_bytes[2 * range + 1]};
    }
    return encoding;
}
