// SPDX-License-Identifier: BSD-2-Clause
#include "console_buffers.hpp"

#include "windows_console.hpp"

#include <algorithm>
#include <string_view>
#include <windows.h>

namespace {

// The console's calls take wchar_t, which is UTF-16 on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

void* console_behind(DWORD standard_handle) noexcept
{
    const HANDLE handle = GetStdHandle(standard_handle);
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0 ? handle : nullptr;
}

// Writes all of `units`, going on from where a partial write stopped; false if the console cannot be written.
bool write_all(void* console, const char16_t* units, std::size_t size) noexcept
{
    while (size > 0) {
        DWORD written = 0;
        if (WriteConsoleW(console, reinterpret_cast<const wchar_t*>(units), static_cast<DWORD>(size), &written,
                          nullptr) == 0 ||
            written == 0) {
            return false;
        }
        units += written;
        size -= written;
    }
    return true;
}

}  // namespace

console_input::console_input() noexcept : console_(console_behind(STD_INPUT_HANDLE)) {}

console_input::int_type console_input::underflow()
{
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    std::size_t got = 0;
    while (got == 0 && !ended_) {
        bool succeeded = false;
        const std::size_t read = read_line(succeeded);
        const console_read outcome = console_read_of(succeeded, read, GetLastError() == ERROR_OPERATION_ABORTED);
        if (outcome == console_read::interrupted) {
            continue;
        }
        if (outcome == console_read::ended) {
            ended_ = true;
        } else {
            const std::size_t kept = ctrl_z_.apply(std::span(units_.data(), read));
            got = utf8_.convert({units_.data(), kept}, block_.data());
            ended_ = ctrl_z_.ended();
        }
        if (ended_) {
            got += utf8_.finish(block_.data() + got);
        }
    }
    if (got == 0) {
        return traits_type::eof();
    }
    setg(block_.data(), block_.data(), block_.data() + got);
    return traits_type::to_int_type(block_.front());
}

std::size_t console_input::read_line(bool& succeeded) noexcept
{
    DWORD read = 0;
    SetLastError(0);
    succeeded = ReadConsoleW(console_, reinterpret_cast<wchar_t*>(units_.data()), static_cast<DWORD>(units_.size()),
                             &read, nullptr) != 0;
    if (succeeded && read > 0) {
        line_open_ = units_[read - 1] != u'\n';
    }
    return read;
}

void console_input::drop_typed_ahead() noexcept
{
    bool succeeded = true;
    while (line_open_ && succeeded) {
        if (read_line(succeeded) == 0) {
            break;  // Ctrl-C, or the console has nothing
        }
    }
    if (console_ != nullptr) {
        FlushConsoleInputBuffer(console_);
    }
}

console_output::console_output(unsigned code_page) noexcept
    : console_(console_behind(STD_OUTPUT_HANDLE)), code_page_(code_page), encoding_(code_page_encoding(code_page))
{
    setp(block_.data(), block_.data() + block_.size());
}

int console_output::sync()
{
    const auto decode = [this](std::string_view text, char16_t* out) -> std::size_t {
        if (text.empty()) {
            return 0;  // MultiByteToWideChar fails on it
        }
        // At most one unit per byte, in every code page the game writes. What is not a character of the code page
        // becomes U+FFFD: since Windows Vista the call drops nothing unless asked to fail (MB_ERR_INVALID_CHARS).
        const int units = MultiByteToWideChar(code_page_, 0, text.data(), static_cast<int>(text.size()),
                                              reinterpret_cast<wchar_t*>(out), static_cast<int>(text.size()));
        return static_cast<std::size_t>(std::max(units, 0));
    };
    std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    bool written = true;
    for (;;) {
        const console_chunk chunk = console_chunk_of(pending, encoding_, units_, decode);
        if (chunk.bytes == 0) {
            break;  // all written, or a cut character whose rest is still to come
        }
        written = write_all(console_, units_.data(), chunk.units) && written;
        pending.remove_prefix(chunk.bytes);
    }
    const auto kept = std::copy(pending.begin(), pending.end(), block_.begin());
    setp(block_.data(), block_.data() + block_.size());
    pbump(static_cast<int>(kept - block_.begin()));
    return written ? 0 : -1;
}
