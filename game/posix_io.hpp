// SPDX-License-Identifier: BSD-2-Clause
// Reading and writing a file descriptor whatever its mode: a call cut short by a
// signal is made again, and one that says "try again" (a non-blocking terminal or
// pipe) waits until the descriptor is ready, as a blocking one would have.
#pragma once

#include <cstddef>
#include <string_view>

// Reads at most `size` bytes into `buffer`. Returns how many (at least one), or 0
// at the end of the input or when it cannot be read.
[[nodiscard]] std::size_t read_some(int fd, char* buffer, std::size_t size) noexcept;

// Writes all of `text`, unless the output cannot be written. Safe in a signal handler.
void write_all(int fd, std::string_view text) noexcept;
