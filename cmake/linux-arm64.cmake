# SPDX-License-Identifier: BSD-2-Clause
# Linux on arm64 (crossbuild-essential-arm64), run under qemu-aarch64 (qemu-user).
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(fibbet_triplet aarch64-linux-gnu)
set(fibbet_qemu qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
