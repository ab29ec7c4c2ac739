// SPDX-License-Identifier: BSD-2-Clause
// Standard input and output as stream buffers of the game's own, over the file
// descriptors, each with a fixed block.
#pragma once

#include "block_output.hpp"

#include <array>
#include <cstddef>
#include <streambuf>

// Reads whole blocks straight from `fd`, so that reading costs the same whatever
// the C++ library does with std::cin (libc++ reads it through C stdio a byte per
// call). A read returns what the descriptor has: one line of a terminal, so a word
// at the end of a line answers its prompt at once. A descriptor that says "try
// again" is waited for; a failed read is the end.
class fd_input : public std::streambuf {
public:
    explicit fd_input(int fd) noexcept : fd_(fd) {}

protected:
    int_type underflow() override;

private:
    static constexpr std::size_t block_size = std::size_t{64} * 1024;
    int fd_;
    std::array<char, block_size> block_{};
};

// Writes whole blocks to `fd` when full or flushed. A descriptor that says "try
// again" (a terminal left non-blocking, its output held by Ctrl-S) is waited for,
// so no text is lost; one that cannot be written (a closed pipe, a full disk)
// fails the stream.
class fd_output : public block_output {
public:
    explicit fd_output(int fd) noexcept : fd_(fd) { setp(block_.begin(), block_.end()); }

protected:
    int sync() override;

private:
    static constexpr std::size_t block_size = 4096;
    int fd_;
    std::array<char, block_size> block_{};
};
