# SPDX-License-Identifier: BSD-2-Clause
# The OpenSSF "Compiler Options Hardening Guide for C and C++", for Linux and its kin:
# each flag where the compiler or linker takes it (-fcf-protection is x86's only),
# and none that the environment's own flags already decide (a distribution's
# fortify level, say, wins without a redefinition warning).
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

# Each flag is checked with warnings as errors: clang takes a flag it cannot use for
# the target (-fstack-clash-protection on OpenBSD, NetBSD, illumos) with only a warning.
set(CMAKE_REQUIRED_FLAGS -Werror)

# Adds `flag` to the compile options, unless the environment's flags match `decided`.
function(fibbet_harden_compile flag decided)
  string(MAKE_C_IDENTIFIER "FIBBET_CXX${flag}" supported)
  if(NOT CMAKE_CXX_FLAGS MATCHES "${decided}")
    check_cxx_compiler_flag(${flag} ${supported})
    if(${supported})
      add_compile_options(${flag})
    endif()
  endif()
endfunction()

function(fibbet_harden_link flag decided)
  string(MAKE_C_IDENTIFIER "FIBBET_LD${flag}" supported)
  if(NOT "${CMAKE_EXE_LINKER_FLAGS}" MATCHES "${decided}")
    check_linker_flag(CXX ${flag} ${supported})
    if(${supported})
      add_link_options(${flag})
    endif()
  endif()
endfunction()

fibbet_harden_compile(-fstack-protector-strong "-f(no-)?stack-protector")
fibbet_harden_compile(-fstack-clash-protection "-f(no-)?stack-clash-protection")
fibbet_harden_compile(-fcf-protection "-f(no-)?cf-protection")
# The C++ library's own checks (an index past the end stops the program): libstdc++'s,
# or libc++'s under the name its version gives them (LLVM 18, LLVM 15, before).
if(NOT FIBBET_LIBCXX)
  set(library_checks 0 -D_GLIBCXX_ASSERTIONS)
else()
  set(library_checks 180000 -D_LIBCPP_HARDENING_MODE=_LIBCPP_HARDENING_MODE_FAST
                     150000 -D_LIBCPP_ENABLE_ASSERTIONS=1
                     0 -D_LIBCPP_DEBUG=0)
endif()
while(library_checks)
  list(POP_FRONT library_checks since flag)
  check_cxx_source_compiles("#include <version>\n#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < ${since}\n#error\n#endif\nint main() {}"
                            FIBBET_LIBRARY_SINCE_${since})
  if(FIBBET_LIBRARY_SINCE_${since})
    fibbet_harden_compile(${flag} "_GLIBCXX_ASSERTIONS|_LIBCPP_(HARDENING_MODE|ENABLE_ASSERTIONS|DEBUG)")
    string(MAKE_C_IDENTIFIER "FIBBET_CXX${flag}" supported)
    set(fibbet_library_checks ${${supported}})  # for the test that proves them
    break()
  endif()
endwhile()
# Fortifying needs the optimiser; some compilers (Ubuntu's GCC) already fortify when it runs.
set(CMAKE_REQUIRED_FLAGS "-O2 -Werror")
check_cxx_source_compiles("#include <cstdio>\n#ifdef _FORTIFY_SOURCE\n#error\n#endif\nint main() {}"
                          FIBBET_COMPILER_LEAVES_FORTIFY)
set(CMAKE_REQUIRED_FLAGS -Werror)
if(FIBBET_COMPILER_LEAVES_FORTIFY AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=3>)
endif()
fibbet_harden_link(-Wl,-z,relro,-z,now "-z,(no)?relro|-z,(lazy|now)")
fibbet_harden_link(-Wl,-z,noexecstack "-z,(no)?execstack")
unset(CMAKE_REQUIRED_FLAGS)
