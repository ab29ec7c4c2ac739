// SPDX-License-Identifier: BSD-2-Clause
// What the game asks of the Windows console.
#pragma once

#include "encodings.hpp"

// The encoding of the words the player types: the console's input code page, or
// the ANSI code page when there is no console.
[[nodiscard]] text_encoding input_encoding() noexcept;

// Drops the keys that the console holds unread, so that a key typed before the
// story showed does not end the pause. Nothing when the input is not a console.
void discard_typed_keys() noexcept;
