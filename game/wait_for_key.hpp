// SPDX-License-Identifier: BSD-2-Clause
// Waiting at a POSIX terminal for one key, as the Windows command "pause" does.
#pragma once

#include <string_view>

// When standard input is a terminal: shows `notice`, waits for one key, then ends
// the line. The key is read from the terminal itself, unechoed and without
// waiting for Enter; keys typed before the notice showed do not count. However
// the wait ends, the terminal keeps its settings: a signal that ends a program
// (Ctrl-C, a hang-up, kill, ...) restores them and ends the line before it ends
// the game, and Ctrl-Z hands the terminal back as it was until the game is
// continued. When standard input is not a terminal, returns at once.
void wait_for_key(std::string_view notice);
