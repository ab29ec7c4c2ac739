// SPDX-License-Identifier: BSD-2-Clause
#include "platform.hpp"

#include "posix_io.hpp"
#include "stream_buffers.hpp"
#include "wait_for_key.hpp"

#include <csignal>
#include <string_view>
#include <unistd.h>

namespace {

// What the Windows command "pause" shows, for the wait that stands in for it.
constexpr std::string_view press_any_key = "Press any key to continue . . . ";

}  // namespace

standard_streams open_standard_streams() noexcept
{
    // Output that cannot be written (a closed pipe, a file at its size limit) is
    // a failed write like any other, not the end of the game.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    static input_buffer in(fd_source{STDIN_FILENO});  // static: fixed blocks, off the stack
    static output_buffer out(fd_sink{STDOUT_FILENO});
    return {in, out, utf8_encoding};  // the game reads no locale settings
}

void pause_before_exit(std::ostream& out)
{
    out.flush();  // all of the story shows before the wait
    wait_for_key(press_any_key);  // a POSIX shell has no "pause"
}
