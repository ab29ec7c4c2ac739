# SPDX-License-Identifier: BSD-2-Clause
"""Wine's server and its own programs, kept up for a whole run of Windows tests."""
import os
import shutil
import subprocess

QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def keep_wine_up(program):
    """Starts Wine's server for good, and its services with it, for `program` (env ... wine GAME), with none of the
    tests' pipes or terminals. Started by a game instead, they hold its pipes open for the seconds the server
    lingers after it, and every game waits that long for its end. Returns the call that stops them."""
    *prefix, wine, _ = program
    server = os.path.join(os.path.dirname(shutil.which(wine) or wine), "wineserver")
    if os.path.exists(server):
        # Wine makes its prefix the first time it runs, and its server can start only in one that is there.
        subprocess.run(prefix + [wine, "cmd", "/c", "exit"], **QUIET)
        # A server that a program before left (ctest runs the units under Wine) is still ending: asked to stay,
        # it would only say that one runs, and then end, and every game would meet a server of its own, or one
        # going away under it. So it goes first, and staying is checked.
        subprocess.run(prefix + [server, "-k"], **QUIET)
        subprocess.run(prefix + [server, "-w"], **QUIET)
        subprocess.run(prefix + [server, "-p"], **QUIET, check=True)
    subprocess.run(prefix + [wine, "cmd", "/c", "exit"], **QUIET)
    return lambda: os.path.exists(server) and subprocess.run(prefix + [server, "-k"], **QUIET)
