// SPDX-License-Identifier: BSD-2-Clause
#include "posix_io.hpp"

#include <cerrno>

bool wait_to_retry(int fd, short events) noexcept
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

bool write_all(int fd, std::string_view text) noexcept
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
