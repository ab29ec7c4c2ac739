// SPDX-License-Identifier: BSD-2-Clause
#include "windows_console.hpp"

#include <cstddef>
#include <windows.h>

namespace {

constexpr UINT gb18030_code_page = 54936;

}  // namespace

text_encoding input_encoding() noexcept
{
    UINT code_page = GetConsoleCP();
    if (code_page == 0) {
        code_page = GetACP();  // no console
    }
    CPINFO info{};
    if (code_page == CP_UTF8 || GetCPInfo(code_page, &info) == 0) {
        return utf8_encoding;
    }
    if (code_page == gb18030_code_page) {
        return {text_encoding::kind::gb18030, {}};
    }
    text_encoding encoding{text_encoding::kind::single_byte, {}};
    // Lead bytes come in pairs of first and last, ended by a pair of zeros.
    for (std::size_t range = 0; range < max_lead_byte_ranges && info.LeadByte[2 * range] != 0; ++range) {
        encoding.rule = text_encoding::kind::double_byte;
        encoding.lead_bytes.at(range) = {info.LeadByte[2 * range], info.LeadByte[2 * range + 1]};
    }
    // Left as single bytes: code pages of one byte per character. The few others (UTF-7, the
    // stateful ISO-2022 ones) have no lead bytes to go by, and keep their first 31 bytes too.
    return encoding;
}

void discard_typed_keys() noexcept
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(input, &mode) != 0) {  // a console, not a pipe or a file
        FlushConsoleInputBuffer(input);
    }
}
