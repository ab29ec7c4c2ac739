// SPDX-License-Identifier: BSD-2-Clause
// Preloaded into the game by the terminal test (LD_PRELOAD): every change of a
// signal's action first sends the game a continue signal, so that one arrives at
// each step of the wait's start and end, where a flood from outside may or may not
// land. Creates the file FIBBET_PRELOADED names, to show that it was loaded.
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

using sigaction_call = int (*)(int, const struct sigaction*, struct sigaction*);

[[gnu::constructor]] void say_loaded()
{
    if (const char* seen = std::getenv("FIBBET_PRELOADED")) {
        close(open(seen, O_WRONLY | O_CREAT, 0644));
    }
}

}  // namespace

extern "C" int sigaction(int sig, const struct sigaction* action, struct sigaction* previous)
{
    static const auto next = reinterpret_cast<sigaction_call>(dlsym(RTLD_NEXT, "sigaction"));
    if (action != nullptr) {
        kill(getpid(), SIGCONT);  // taken before kill returns, unless blocked
    }
    return next(sig, action, previous);
}
