// SPDX-License-Identifier: BSD-2-Clause
// Reading and writing a file descriptor whatever its mode: a call cut short by a
// signal is made again, and one that says "try again" (a non-blocking terminal or
// pipe) waits until the descriptor is ready, as a blocking one would have.
#pragma once

#include <cerrno>
#include <cstddef>
#include <poll.h>
#include <span>
#include <string_view>
#include <termios.h>
#include <unistd.h>

// After a call on `fd` failed: waits until `fd` is ready for `events` (POLLIN,
// POLLOUT) when it is non-blocking, and says whether to make the call again.
[[nodiscard]] inline bool wait_to_retry(int fd, short events) noexcept
{
    if (errno == EINTR) {
        return true;  // a handler ran (Ctrl-Z and back, a continue signal): nothing was lost
    }
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
        return false;
    }
    pollfd ready{fd, events, 0};
    while (poll(&ready, 1, -1) < 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Whether `fd` is a terminal whose reads return nothing while no key is waiting: one
// out of line mode with MIN 0, as a program that polled it may have left it.
[[nodiscard]] inline bool reads_nothing_until_typed(int fd) noexcept
{
    termios mode{};
    return tcgetattr(fd, &mode) == 0 && (mode.c_lflag & static_cast<tcflag_t>(ICANON)) == 0 && mode.c_cc[VMIN] == 0;
}

// Reads at most `size` bytes into `buffer`. Returns how many (at least one), or 0
// at the end of the input or when it cannot be read. Inline, so that the compiler
// sees the buffer where it is called and proves the read fits it (_FORTIFY_SOURCE).
[[nodiscard]] inline std::size_t read_some(int fd, char* buffer, std::size_t size) noexcept
{
    for (bool waited_for_a_key = false;;) {
        const ssize_t got = read(fd, buffer, size);
        if (got > 0) {
            return static_cast<std::size_t>(got);
        }
        if (got == 0) {
            // Nothing even after poll() said a key was there: the terminal has hung up. (macOS
            // still gives a hung-up pty's settings then, and poll() says it is ready: tty_dev.c.)
            if (waited_for_a_key || !reads_nothing_until_typed(fd)) {
                return 0;  // the end of the input
            }
            waited_for_a_key = true;
            errno = EAGAIN;  // nothing typed yet: waited for as at a non-blocking terminal
        }
        if (!wait_to_retry(fd, POLLIN)) {
            return 0;
        }
    }
}

// Writes all of `text`; false if the output cannot be written. Safe in a signal handler.
inline bool write_all(int fd, std::string_view text) noexcept
{
    while (!text.empty()) {
        const ssize_t put = write(fd, text.data(), text.size());
        if (put > 0) {
            text.remove_prefix(static_cast<std::size_t>(put));
        } else if (put == 0 || !wait_to_retry(fd, POLLOUT)) {
            return false;
        }
    }
    return true;
}

// A file descriptor as the source of an input_buffer. It reads whole blocks, so that
// reading costs the same whatever the C++ library does with std::cin (libc++ reads it
// through C stdio a byte per call). A read returns what the descriptor has: one line
// of a terminal, so a word at the end of a line answers its prompt at once.
struct fd_source {
    static constexpr std::size_t block_size = std::size_t{64} * 1024;
    int fd;
    [[nodiscard]] std::size_t read(std::span<char> into) const noexcept
    {
        return read_some(fd, into.data(), into.size());
    }
};

// A file descriptor as the sink of an output_buffer. One that says "try again" (a
// terminal left non-blocking, its output held by Ctrl-S) is waited for, so no text is
// lost; one that cannot be written (a closed pipe, a full disk) fails the stream.
struct fd_sink {
    static constexpr std::size_t block_size = 4096;
    int fd;
    [[nodiscard]] bool write(std::string_view& pending) const noexcept
    {
        const bool written = write_all(fd, pending);
        pending = {};
        return written;
    }
};
