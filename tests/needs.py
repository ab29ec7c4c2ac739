# SPDX-License-Identifier: BSD-2-Clause
"""What a test needs of the machine: left out where it is missing, unless every test is required."""
import os
import shutil
import subprocess
import unittest


def needs(available, what):
    """Leaves out the calling test, naming what to install, when `available` is false; fails it instead when
    FIBBET_REQUIRE_ALL_TESTS is set (CI)."""
    if not available:
        if os.environ.get("FIBBET_REQUIRE_ALL_TESTS"):
            raise AssertionError(f"missing: {what}")
        raise unittest.SkipTest(f"install {what}")


def gnu_time():
    """The path of a `time` that measures peak memory with -f (GNU time), or None. macOS and the BSDs have a
    /usr/bin/time of their own, without -f; GNU time is gtime there."""
    for path in [shutil.which("time", path="/usr/bin:/usr/local/bin:/opt/homebrew/bin"), shutil.which("gtime")]:
        if path and subprocess.run([path, "-f", "%M", "true"], capture_output=True).stderr.strip().isdigit():
            return path
    return None
