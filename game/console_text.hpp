// SPDX-License-Identifier: BSD-2-Clause
// The Windows console's own text is UTF-16; the game's is bytes. These are the rules
// that carry text from one to the other, kept apart from the console's calls so that
// they run, and are tested, on every system.
#pragma once

#include "encodings.hpp"

#include <cstddef>
#include <span>
#include <string_view>

// The code page of words that do not come from the console itself: the console's
// input code page, `console_code_page`, for input redirected from a file, or the ANSI
// one, `ansi`, when there is no console (GetConsoleCP gives 0).
[[nodiscard]] constexpr unsigned words_code_page_of(unsigned console_code_page, unsigned ansi) noexcept
{
    return console_code_page != 0 ? console_code_page : ansi;
}

inline constexpr char16_t ctrl_z = 0x1A;

// Ctrl-Z in what the console reads, as its narrow interface takes it: first on a line,
// it ends the input, and the rest of that line is dropped; later in a line, it ends
// the line there (what follows it, up to the line end, is dropped) and reading goes on.
// A line may come in several reads: the rule carries its place from one to the next.
class ctrl_z_rule {
public:
    // Keeps at the front of `units`, one read, what the game is to read of it; returns how many.
    std::size_t apply(std::span<char16_t> units) noexcept
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
    [[nodiscard]] bool ended() const noexcept { return ended_; }

private:
    bool at_line_start_ = true;
    bool dropping_ = false;  // the rest of a line after its Ctrl-Z
    bool ended_ = false;
};

// What one read of the console gave: text; the end of the input (the console cannot be
// read, or gave nothing); or nothing yet. Ctrl-C makes a read return at once, with
// nothing and ERROR_OPERATION_ABORTED (`aborted`), while the console's handler ends the
// game on another thread: that is not the end of the input.
enum class console_read { text, ended, interrupted };

[[nodiscard]] constexpr console_read console_read_of(bool succeeded, std::size_t units, bool aborted) noexcept
{
    if (!succeeded) {
        return console_read::ended;
    }
    if (units > 0) {
        return console_read::text;
    }
    return aborted ? console_read::interrupted : console_read::ended;
}

// What one write to the console takes of the game's text.
struct console_chunk {
    std::size_t bytes = 0;  // of the text, written out
    std::size_t units = 0;  // of UTF-16, ready in the buffer
};

// Converts the longest beginning of `text` that is made of whole characters of
// `encoding` and fills at most half of `out`, each "\n" as CR LF, as text mode writes
// it. `decode(bytes, units)` turns whole characters into at most one unit per byte,
// and returns how many. What is left (a character cut at the end of `text`, or what
// did not fit) is for the next call; a chunk never ends inside a character, so never
// on a high surrogate.
template <class Decoder>
console_chunk console_chunk_of(std::string_view text, const text_encoding& encoding, std::span<char16_t> out,
                               Decoder&& decode) noexcept
{
    const std::string_view fits = text.substr(0, out.size() / 2);
    const std::string_view whole = fits.substr(0, whole_character_length(fits, encoding));
    std::size_t units = decode(whole, out.data());
    std::size_t line_ends = 0;
    for (std::size_t i = 0; i < units; ++i) {
        line_ends += out[i] == u'\n' ? 1U : 0U;
    }
    // From the end backwards, each LF after its CR: the text only moves towards the end.
    for (std::size_t from = units, to = units + line_ends; from > 0;) {
        out[--to] = out[--from];
        if (out[from] == u'\n') {
            out[--to] = u'\r';
        }
    }
    units += line_ends;
    return {whole.size(), units};
}
