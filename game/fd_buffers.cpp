// SPDX-License-Identifier: BSD-2-Clause
#include "fd_buffers.hpp"

#include "posix_io.hpp"

#include <string_view>

fd_input::int_type fd_input::underflow()
{
    if (gptr() < egptr()) {
        return traits_type::to_int_type(*gptr());
    }
    const std::size_t got = read_some(fd_, block_.data(), block_.size());
    if (got == 0) {
        return traits_type::eof();
    }
    setg(block_.data(), block_.data(), block_.data() + got);
    return traits_type::to_int_type(block_.front());
}

int fd_output::sync()
{
    const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(block_.begin(), block_.end());
    return write_all(fd_, pending) ? 0 : -1;
}
