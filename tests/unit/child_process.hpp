// SPDX-License-Identifier: BSD-2-Clause
// Whether the system runs a second process or thread of a test: not under qemu-i386 7.2,
// whose forked children and threads hang or crash.
#pragma once

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

inline bool fork_works()
{
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    int status = 0;
    for (int tries = 0; tries < 200; ++tries) {  // two seconds
        if (waitpid(child, &status, WNOHANG) == child) {
            return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        }
        usleep(10'000);
    }
    kill(child, SIGKILL);
    waitpid(child, &status, 0);
    return false;
}
