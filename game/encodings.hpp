// SPDX-License-Identifier: BSD-2-Clause
// The encodings a player's words come in, and how much of a word cut at a slot's
// capacity to keep so that it ends with a whole character. The bytes kept are never
// changed: a rule only decides where the word ends.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <string_view>

// The bytes that start a character of two in a double-byte code page, as GetCPInfo
// gives them: pairs of first and last, ended by a pair of zeros.
using lead_byte_ranges = std::array<unsigned char, 12>;

struct text_encoding {
    enum class byte_rule {
        utf8,  // Linux and macOS, and Windows' code page 65001
        // A Windows code page: two bytes per character when the first is a lead byte (932,
        // 936, 949, 950), else one (1252, 850, ...: they have no lead bytes).
        code_page,
        gb18030,  // code page 54936: one, two or four bytes
    };
    byte_rule rule = byte_rule::utf8;
    lead_byte_ranges lead_bytes{};  // code_page only
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
    // A lead byte's leading ones give its character's length: 110xxxxx two, 1110xxxx three, 11110xxx four.
    const auto announced = static_cast<std::size_t>(std::countl_one(byte_at(kept, lead)));
    return announced >= 2 && announced <= longest_sequence && kept.size() - lead < announced ? lead : kept.size();
}

// How many bytes the character that starts at `at` takes; more than are left when it was cut.
// Read from the start of the word: in these encodings a trail byte can look like a lead byte.
[[nodiscard]] constexpr std::size_t character_size(std::string_view text, std::size_t at,
                                                   const text_encoding& encoding) noexcept
{
    const unsigned char first = byte_at(text, at);
    if (encoding.rule == text_encoding::byte_rule::gb18030) {
        constexpr unsigned char lead_first = 0x81;
        constexpr unsigned char lead_last = 0xFE;
        if (first < lead_first || first > lead_last) {
            return 1;
        }
        const bool four = at + 1 < text.size() && byte_at(text, at + 1) >= '0' && byte_at(text, at + 1) <= '9';
        return four ? 4 : 2;  // a four-byte character has a digit second
    }
    const lead_byte_ranges& leads = encoding.lead_bytes;
    for (std::size_t i = 0; i < leads.size() && leads[i] != 0; i += 2) {
        if (first >= leads[i] && first <= leads[i + 1]) {
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
    return encoding.rule == text_encoding::byte_rule::utf8 ? encoding_detail::utf8_length(kept)
                                                           : encoding_detail::lead_byte_length(kept, encoding);
}

// Windows code pages that a rule is chosen for by number.
inline constexpr unsigned utf8_code_page = 65001;  // CP_UTF8
inline constexpr unsigned gb18030_code_page = 54936;  // GetCPInfo gives it no lead bytes

// The rule of Windows code page `code_page`, from its lead bytes. A code page with
// none keeps its first 31 bytes: one of a byte per character, or one of the few others
// (UTF-7, the stateful ISO-2022 ones) that have no lead bytes to go by.
[[nodiscard]] constexpr text_encoding encoding_of_code_page(unsigned code_page,
                                                            const lead_byte_ranges& lead_bytes) noexcept
{
    if (code_page == utf8_code_page) {
        return utf8_encoding;
    }
    if (code_page == gb18030_code_page) {
        return {text_encoding::byte_rule::gb18030, {}};
    }
    return {text_encoding::byte_rule::code_page, lead_bytes};
}
