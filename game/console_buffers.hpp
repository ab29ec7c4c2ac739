// SPDX-License-Identifier: BSD-2-Clause
// Standard input and output as stream buffers over the Windows console's wide
// interface, each with fixed blocks. The console's own text is UTF-16: read and
// written through ReadConsoleW and WriteConsoleW, every character a player can type
// reaches the story, whatever the console's code page. The game's side is bytes.
#pragma once

#include "block_output.hpp"
#include "console_text.hpp"
#include "encodings.hpp"

#include <array>
#include <cstddef>
#include <streambuf>

// Reads the console behind standard input in its own line mode, so that it still
// echoes and edits the line, and hands the game UTF-8 (console_text.hpp says how).
class console_input : public std::streambuf {
public:
    console_input() noexcept;
    // Whether standard input is a console, not a pipe or a file.
    [[nodiscard]] bool is_console() const noexcept { return console_ != nullptr; }
    // Drops what the player typed that the game did not read, so that it does not end
    // the pause: the keys not yet read, and the rest of a line longer than the last
    // read, which the console holds for the next one (all typed, so this never waits).
    void drop_typed_ahead() noexcept;

protected:
    int_type underflow() override;

private:
    static constexpr std::size_t units_per_read = 4096;
    // Reads into units_ what the console has of a line, in its line mode; returns how
    // many units, with `succeeded` false when the console cannot be read.
    std::size_t read_line(bool& succeeded) noexcept;
    void* console_;
    bool ended_ = false;
    bool line_open_ = false;  // the last read did not end its line
    ctrl_z_rule ctrl_z_;
    utf8_from_utf16 utf8_;
    std::array<char16_t, units_per_read> units_{};
    std::array<char, utf8_from_utf16::room_for(units_per_read)> block_{};
};

// Writes the game's text, in the code page `code_page` it comes in, to the console
// behind standard output, when full or flushed. A character cut at the end of the
// block waits there for the rest of it.
class console_output : public block_output {
public:
    explicit console_output(unsigned code_page) noexcept;
    // Whether standard output is a console, not a pipe or a file.
    [[nodiscard]] bool is_console() const noexcept { return console_ != nullptr; }

protected:
    int sync() override;

private:
    static constexpr std::size_t block_size = 4096;
    // WriteConsoleW takes one call's text in a buffer of at most 64 KiB (its documentation):
    // a block and its CRs, 16 KiB, stay well under that.
    static constexpr std::size_t units_per_write = 2 * block_size;
    void* console_;
    unsigned code_page_;
    text_encoding encoding_;
    std::array<char, block_size> block_{};
    std::array<char16_t, units_per_write> units_{};
};
