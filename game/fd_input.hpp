// SPDX-License-Identifier: BSD-2-Clause
// Standard input as a stream buffer of the game's own, over the file descriptor.
#pragma once

#include <array>
#include <cstddef>
#include <streambuf>

// Reads whole blocks straight from `fd` into a fixed buffer, so that reading costs
// the same whatever the C++ library does with std::cin (libc++ reads it through C
// stdio a byte per call). A read returns what the descriptor has: one line of a
// terminal, so a word at the end of a line answers its prompt at once. A
// descriptor that says "try again" is waited for; a failed read is the end.
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
