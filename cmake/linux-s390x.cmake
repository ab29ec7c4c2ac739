# SPDX-License-Identifier: BSD-2-Clause
# Linux on s390x (crossbuild-essential-s390x), run under qemu-s390x (qemu-user).
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(fibbet_triplet s390x-linux-gnu)
set(fibbet_qemu qemu-s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
