// SPDX-License-Identifier: BSD-2-Clause
// The game on Windows. A console is read and written through its wide interface,
// so that every character a player can type reaches the story, whatever the
// console's code page; its words are then UTF-8. A pipe or a file is bytes, as the
// C runtime's text mode reads and writes them ("\n" as CR LF, Ctrl-Z the end), in
// the code page they come in.
#include "platform.hpp"

#include "console_text.hpp"
#include "encodings.hpp"
#include "stream_buffers.hpp"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <io.h>
#include <span>
#include <string_view>
#include <windows.h>

namespace {

// The console's calls take wchar_t, which is UTF-16 on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

// The console behind a standard handle, or nullptr for a pipe or a file.
HANDLE console_behind(DWORD standard_handle) noexcept
{
    const HANDLE handle = GetStdHandle(standard_handle);
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0 ? handle : nullptr;
}

// Writes all of `units`, going on from where a partial write stopped; false if the console cannot be written.
bool write_all(HANDLE console, std::u16string_view units) noexcept
{
    while (!units.empty()) {
        DWORD written = 0;
        if (WriteConsoleW(console, reinterpret_cast<const wchar_t*>(units.data()), static_cast<DWORD>(units.size()),
                          &written, nullptr) == 0 ||
            written == 0) {
            return false;
        }
        units.remove_prefix(written);
    }
    return true;
}

// The UTF-8 of `units`, written to `into`; returns its bytes. A lone surrogate becomes
// U+FFFD: since Windows Vista the call drops nothing unless asked to fail
// (WC_ERR_INVALID_CHARS).
std::size_t utf8_of(std::u16string_view units, std::span<char> into) noexcept
{
    if (units.empty()) {
        return 0;  // WideCharToMultiByte fails on it
    }
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(units.data()), static_cast<int>(units.size()),
                            into.data(), static_cast<int>(into.size()), nullptr, nullptr);
    return static_cast<std::size_t>(std::max(bytes, 0));
}

// Reads the console in its own line mode, so that it still echoes and edits the
// line, and hands the game UTF-8. A line keeps its CR LF: the game takes both for
// white space.
class console_source {
public:
    static constexpr std::size_t units_per_read = 4096;
    // UTF-8 takes at most three bytes for a unit (four for a pair), the one held included.
    static constexpr std::size_t block_size = 3 * (units_per_read + 1);

    explicit console_source(HANDLE console) noexcept : console_(console) {}

    std::size_t read(std::span<char> into) noexcept
    {
        std::size_t got = 0;
        while (got == 0 && !ended_) {
            bool succeeded = false;
            const std::size_t read = read_line(succeeded);
            const console_read outcome = console_read_of(succeeded, read, GetLastError() == ERROR_OPERATION_ABORTED);
            if (outcome == console_read::interrupted) {
                continue;
            }
            std::size_t units = held_;
            if (outcome == console_read::ended) {
                ended_ = true;
            } else {
                units += ctrl_z_.apply(std::span(units_.data() + held_, read));
                ended_ = ctrl_z_.ended();
            }
            // A high surrogate that ends a read waits for its pair, which starts the next one.
            held_ = !ended_ && units > 0 && IS_HIGH_SURROGATE(units_[units - 1]) ? 1 : 0;
            got = utf8_of({units_.data(), units - held_}, into);
            if (held_ != 0) {
                units_[0] = units_[units - 1];
            }
        }
        return got;
    }

    // Drops what the player typed that the game did not read, so that it does not end
    // the pause: the keys not yet read, and the rest of a line longer than the last
    // read, which the console holds for the next one (all typed, so this never waits).
    // FlushConsoleInputBuffer clears only the keys. Out of line mode, as a program that
    // read keys one by one may leave the console, it holds no line: a read would wait.
    void drop_typed_ahead() noexcept
    {
        DWORD mode = 0;
        bool reading = GetConsoleMode(console_, &mode) != 0 && (mode & ENABLE_LINE_INPUT) != 0;
        while (line_open_ && reading && read_line(reading) > 0) {
        }
        FlushConsoleInputBuffer(console_);
    }

private:
    // Reads what the console has of a line into units_, after the unit held; returns
    // how many units, with `succeeded` false when the console cannot be read.
    std::size_t read_line(bool& succeeded) noexcept
    {
        char16_t* const into = units_.data() + held_;
        DWORD read = 0;
        SetLastError(0);
        succeeded = ReadConsoleW(console_, reinterpret_cast<wchar_t*>(into), units_per_read, &read, nullptr) != 0;
        if (succeeded && read > 0) {
            line_open_ = into[read - 1] != u'\n';
        }
        return read;
    }

    HANDLE console_;
    bool ended_ = false;
    bool line_open_ = false;  // the last read did not end its line
    std::size_t held_ = 0;  // 1 while units_ starts with a high surrogate from the read before
    ctrl_z_rule ctrl_z_;
    std::array<char16_t, units_per_read + 1> units_{};
};

// Writes the game's text, in `code_page`, to the console. A character cut at the end
// of the block waits there for the rest of it.
struct console_sink {
    static constexpr std::size_t block_size = 4096;
    // WriteConsoleW takes one call's text in a buffer of at most 64 KiB (its documentation):
    // a block and its CRs, 16 KiB, stay well under that.
    static constexpr std::size_t units_per_write = 2 * block_size;

    HANDLE console;
    unsigned code_page;
    text_encoding encoding;
    std::array<char16_t, units_per_write> units{};

    bool write(std::string_view& pending) noexcept
    {
        const auto decode = [this](std::string_view text, char16_t* out) -> std::size_t {
            if (text.empty()) {
                return 0;  // MultiByteToWideChar fails on it
            }
            // At most one unit per byte, in every code page the game writes. What is not a character of the code
            // page becomes U+FFFD: since Windows Vista the call drops nothing unless asked to fail
            // (MB_ERR_INVALID_CHARS).
            const int decoded = MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()),
                                                    reinterpret_cast<wchar_t*>(out), static_cast<int>(text.size()));
            return static_cast<std::size_t>(std::max(decoded, 0));
        };
        bool written = true;
        for (;;) {
            const console_chunk chunk = console_chunk_of(pending, encoding, units, decode);
            if (chunk.bytes == 0) {
                return written;  // all written, or a cut character whose rest is still to come
            }
            written = write_all(console, {units.data(), chunk.units}) && written;
            pending.remove_prefix(chunk.bytes);
        }
    }
};

// A descriptor of the C runtime in text mode, as std::cin and std::cout read and
// write a pipe or a file.
struct crt_source {
    static constexpr std::size_t block_size = std::size_t{64} * 1024;
    int fd;
    [[nodiscard]] std::size_t read(std::span<char> into) const noexcept
    {
        const int got = _read(fd, into.data(), static_cast<unsigned>(into.size()));
        return static_cast<std::size_t>(std::max(got, 0));
    }
};

struct crt_sink {
    static constexpr std::size_t block_size = 4096;
    int fd;
    [[nodiscard]] bool write(std::string_view& pending) const noexcept
    {
        while (!pending.empty()) {
            const int written = _write(fd, pending.data(), static_cast<unsigned>(pending.size()));
            if (written <= 0) {
                pending = {};
                return false;
            }
            pending.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
};

// The rule that cuts words in `code_page`: UTF-8's for a code page Windows does not know.
text_encoding code_page_encoding(unsigned code_page) noexcept
{
    CPINFO info{};
    if (GetCPInfo(code_page, &info) == 0) {
        return utf8_encoding;
    }
    return encoding_of_code_page(code_page, std::to_array(info.LeadByte));
}

// static: fixed blocks, off the stack
input_buffer<console_source>& console_input() noexcept
{
    static input_buffer in(console_source{console_behind(STD_INPUT_HANDLE)});
    return in;
}

}  // namespace

standard_streams open_standard_streams() noexcept
{
    static input_buffer crt_in(crt_source{0});
    static output_buffer crt_out(crt_sink{1});
    const bool console_in = console_behind(STD_INPUT_HANDLE) != nullptr;
    const unsigned code_page = console_in ? utf8_code_page : words_code_page_of(GetConsoleCP(), GetACP());
    const text_encoding encoding = code_page_encoding(code_page);
    std::streambuf* out = &crt_out;
    if (const HANDLE console = console_behind(STD_OUTPUT_HANDLE)) {
        static output_buffer console_out(console_sink{console, code_page, encoding});
        out = &console_out;
    }
    return {console_in ? static_cast<std::streambuf&>(console_input()) : crt_in, *out, encoding};
}

void pause_before_exit(std::ostream& out)
{
    out.flush();  // all of the story shows before the wait
    if (console_behind(STD_INPUT_HANDLE) != nullptr) {
        console_input().source().drop_typed_ahead();  // keys typed ahead do not end the pause
    }
    static_cast<void>(std::system("pause"));  // if it cannot run, the game just ends
}
