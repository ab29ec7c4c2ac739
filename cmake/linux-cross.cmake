# SPDX-License-Identifier: BSD-2-Clause
# Cross-builds for Linux on another CPU with Debian's crossbuild-essential-<arch>, and runs
# what it builds under qemu-user, so that ctest plays the real thing. FIBBET_CPU names the
# CPU as Debian does (the presets give their own name).
set(fibbet_cpus  # Debian's name, the processor, the GNU triplet, qemu-user's program
  arm64 aarch64 aarch64-linux-gnu qemu-aarch64
  armhf armv7l arm-linux-gnueabihf qemu-arm
  i386 i686 i686-linux-gnu qemu-i386
  s390x s390x s390x-linux-gnu qemu-s390x)
list(FIND fibbet_cpus "${FIBBET_CPU}" at)
math(EXPR row "${at} % 4")
if(at EQUAL -1 OR NOT row EQUAL 0)
  message(FATAL_ERROR "FIBBET_CPU: not a CPU of this toolchain file (arm64, armhf, i386, s390x): ${FIBBET_CPU}")
endif()
list(SUBLIST fibbet_cpus ${at} 4 fibbet_cpu)
list(GET fibbet_cpu 1 CMAKE_SYSTEM_PROCESSOR)
list(GET fibbet_cpu 2 fibbet_triplet)
list(GET fibbet_cpu 3 fibbet_qemu)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FIBBET_CPU)  # the checks' projects read this file too
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
