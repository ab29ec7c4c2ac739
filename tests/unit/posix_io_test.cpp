// SPDX-License-Identifier: BSD-2-Clause
#include "posix_io.hpp"

#include "child_process.hpp"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <fcntl.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// A write far larger than the pipe takes at once, into a non-blocking pipe that is
// drained slowly: the writes come back short, or say "try again", many times over.
TEST(write_all, finishes_every_short_write_before_it_reports_success)
{
    if (!fork_works()) {
        GTEST_SKIP() << "no second thread runs on this system";
    }
    std::array<int, 2> pipe_ends{};
    ASSERT_EQ(pipe(pipe_ends.data()), 0);
    const auto [reader, writer] = pipe_ends;
    fcntl(writer, F_SETFL, fcntl(writer, F_GETFL) | O_NONBLOCK);
    std::string text(std::size_t{1024} * 1024, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char>('a' + i % 26);
    }

    std::string arrived;
    std::thread drain([&arrived, reader = reader] {
        std::array<char, 8192> block{};
        for (ssize_t got = 0; (got = read(reader, block.data(), block.size())) > 0;) {
            arrived.append(block.data(), static_cast<std::size_t>(got));
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    const bool written = write_all(writer, text);
    close(writer);
    drain.join();
    close(reader);
    EXPECT_TRUE(written);
    EXPECT_EQ(arrived.size(), text.size());
    EXPECT_TRUE(arrived == text);
}

}  // namespace
