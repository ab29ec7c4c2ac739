# SPDX-License-Identifier: BSD-2-Clause
# Cross-builds for Linux on another CPU with Debian's crossbuild-essential-<arch>, and runs
# what it builds under qemu-user, so that ctest plays the real thing. Included by the
# toolchain file of each CPU, which sets fibbet_triplet, fibbet_qemu and the processor.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${fibbet_triplet}-gcc)  # GoogleTest builds C too
set(CMAKE_CXX_COMPILER ${fibbet_triplet}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${fibbet_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -L: the target's own C library and loader, which Debian's cross packages put there.
find_program(FIBBET_QEMU_${fibbet_qemu} ${fibbet_qemu})
if(FIBBET_QEMU_${fibbet_qemu})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${FIBBET_QEMU_${fibbet_qemu}} -L /usr/${fibbet_triplet})
endif()
