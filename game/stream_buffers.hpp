// SPDX-License-Identifier: BSD-2-Clause
// Standard input and output as stream buffers of the game's own, each with a fixed
// block, over what the system reads and writes: a file descriptor, or the Windows
// console. The block is sized by its source or sink.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <streambuf>
#include <string_view>

// `Source::read(into)` reads what the input has, at most `into.size()` bytes, and
// returns how many: 0 at the end of the input, or when it cannot be read.
template <class Source> class input_buffer : public std::streambuf {
public:
    explicit input_buffer(Source source) noexcept : source_(source) {}
    [[nodiscard]] Source& source() noexcept { return source_; }

protected:
    int_type underflow() override
    {
        if (gptr() == egptr()) {
            const std::size_t got = source_.read(block_);
            if (got == 0) {
                return traits_type::eof();
            }
            setg(block_.data(), block_.data(), block_.data() + got);
        }
        return traits_type::to_int_type(*gptr());
    }

private:
    Source source_;
    std::array<char, Source::block_size> block_{};
};

// `Sink::write(pending)` writes the front of `pending` and removes it, leaving what
// must wait for more (a character cut at the end of the block); it returns false
// when the output cannot be written, which fails the stream.
template <class Sink> class output_buffer : public std::streambuf {
public:
    explicit output_buffer(Sink sink) noexcept : sink_(sink) { setp(block_.data(), block_.data() + block_.size()); }

protected:
    // The block is full: written out, it takes the byte that did not fit.
    int_type overflow(int_type c) override
    {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            return sputc(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }

    int sync() override
    {
        std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        const bool written = sink_.write(pending);
        const auto kept = std::copy(pending.begin(), pending.end(), block_.begin());
        setp(block_.data(), block_.data() + block_.size());
        pbump(static_cast<int>(kept - block_.begin()));
        return written ? 0 : -1;
    }

private:
    Sink sink_;
    std::array<char, Sink::block_size> block_{};
};
