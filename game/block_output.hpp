// SPDX-License-Identifier: BSD-2-Clause
// An output stream buffer over a block of its own, which sync() writes out and empties.
#pragma once

#include <streambuf>

class block_output : public std::streambuf {
protected:
    // The block is full: written out, it takes the byte that did not fit.
    int_type overflow(int_type c) override
    {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            return sputc(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
};
