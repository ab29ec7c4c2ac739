# SPDX-License-Identifier: BSD-2-Clause
# Linux on i386 (crossbuild-essential-i386), run under qemu-i386 (qemu-user).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(fibbet_triplet i686-linux-gnu)
set(fibbet_qemu qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
