# SPDX-License-Identifier: BSD-2-Clause
# Linux on armhf (crossbuild-essential-armhf), run under qemu-arm (qemu-user).
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(fibbet_triplet arm-linux-gnueabihf)
set(fibbet_qemu qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
