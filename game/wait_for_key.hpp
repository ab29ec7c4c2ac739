// SPDX-License-Identifier: BSD-2-Clause
// Waiting at a POSIX terminal for one key, as the Windows command "pause" does.
#pragma once

#include <string_view>

// When standard input is a terminal: shows `notice`, waits for one key, then ends
// the line. The key is read from the terminal itself, unechoed and without
// waiting for Enter; keys typed before the notice showed do not count, and Ctrl-S
// and Ctrl-Q are keys like any other. However the wait ends, the terminal keeps
// its settings: a signal whose default action ends a program (Ctrl-C, a hang-up,
// kill, ...) restores them and ends the line before it ends the game, and Ctrl-Z
// hands the terminal back as it was until the game is continued in the
// foreground, where the notice shows again. When standard input is not a
// terminal, returns at once.
void wait_for_key(std::string_view notice);

// What a signal does to a program that has not set an action for it.
enum class default_action { ends, stops, continues, ignored, cannot_be_caught };

// The wait ends the game by every signal whose default action is `ends`, real-time
// signals included, and hands the terminal back for Ctrl-Z.
[[nodiscard]] default_action default_action_of(int sig) noexcept;
