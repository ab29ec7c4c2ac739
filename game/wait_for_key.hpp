// SPDX-License-Identifier: BSD-2-Clause
// Waiting at a POSIX terminal for one key, as the Windows command "pause" does.
#pragma once

#include <csignal>
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

// Room for every signal number of the systems the game is built for: Linux has 64,
// illumos 74, FreeBSD 128.
inline constexpr int signal_slots = 129;

// The highest signal number there is: NSIG - 1, or SIGRTMAX where that is higher (FreeBSD).
[[nodiscard]] int last_signal() noexcept;

// Whether the C library lets a program set an action for `sig`: not for the numbers it
// keeps for itself (glibc's 32 and 33, OpenBSD's SIGTHR). The wait leaves those alone.
// `current` receives the action `sig` has.
[[nodiscard]] bool can_set_action(int sig, struct sigaction& current) noexcept;

// The wait ends the game by every signal whose default action is `ends`, real-time
// signals included, and hands the terminal back for Ctrl-Z.
[[nodiscard]] default_action default_action_of(int sig) noexcept;
