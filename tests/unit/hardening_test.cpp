// SPDX-License-Identifier: BSD-2-Clause
// The hardened build's C++ library checks what it is asked to index: libstdc++'s
// assertions, or libc++'s own checks, whichever the build found.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>

namespace {

#ifdef FIBBET_LIBRARY_CHECKS
TEST(hardening, an_index_past_the_end_stops_the_program)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::array<char, 1> one{};
    volatile std::size_t past_the_end = one.size();  // out of the compiler's sight
    EXPECT_DEATH(static_cast<void>(one[past_the_end]), "");
}
#endif

}  // namespace
