// SPDX-License-Identifier: BSD-2-Clause
#include "fd_input.hpp"

#include "posix_io.hpp"

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
