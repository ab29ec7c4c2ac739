// SPDX-License-Identifier: BSD-2-Clause
#include "windows_console.hpp"

#include <windows.h>

unsigned words_code_page() noexcept
{
    return words_code_page_of(GetConsoleCP(), GetACP());
}

text_encoding code_page_encoding(unsigned code_page) noexcept
{
    CPINFO info{};
    if (GetCPInfo(code_page, &info) == 0) {
        return utf8_encoding;
    }
    static_assert(sizeof(info.LeadByte) == 2 * max_lead_byte_ranges);
    return encoding_of_code_page(code_page, info.LeadByte);
}
