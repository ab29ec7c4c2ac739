// SPDX-License-Identifier: BSD-2-Clause
// Waiting at a POSIX terminal for one key, as the Windows command "pause" does.
#pragma once

#include <csignal>
#include <string_view>

// When standard input is a terminal: shows `notice`, waits for one key, unechoed,
// then ends the line, and leaves the terminal as it was however the wait ends (the
// manual page says what the player sees). Otherwise returns at once.
void wait_for_key(std::string_view notice);

// What a signal does to a program that has not set an action for it.
enum class default_action { ends, stops, continues, ignored, cannot_be_caught };

// Room for every signal number of the systems the game is built for: Linux has 64,
// illumos 74, FreeBSD 128. The wait tries each number; the system refuses those it lacks.
inline constexpr int signal_slots = 129;

// The wait ends the game by every signal whose default action is `ends`, real-time
// signals included, and hands the terminal back for Ctrl-Z.
[[nodiscard]] default_action default_action_of(int sig) noexcept;
