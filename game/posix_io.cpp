// SPDX-License-Identifier: BSD-2-Clause
#include "posix_io.hpp"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

// Whether a failed call is worth making again once the descriptor is ready.
bool try_again(int fd, short events)
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

}  // namespace

std::size_t read_some(int fd, char* buffer, std::size_t size) noexcept
{
    for (;;) {
        const ssize_t got = read(fd, buffer, size);
        if (got >= 0) {
            return static_cast<std::size_t>(got);
        }
        if (!try_again(fd, POLLIN)) {
            return 0;
        }
    }
}

void write_all(int fd, std::string_view text) noexcept
{
    while (!text.empty()) {
        const ssize_t put = write(fd, text.data(), text.size());
        if (put > 0) {
            text.remove_prefix(static_cast<std::size_t>(put));
        } else if (put == 0 || !try_again(fd, POLLOUT)) {
            return;
        }
    }
}
