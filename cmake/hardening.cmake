# SPDX-License-Identifier: BSD-2-Clause
# The OpenSSF "Compiler Options Hardening Guide for C and C++", for Linux and its kin:
# each flag where the compiler or linker takes it (-fcf-protection is x86's only),
# and none that the environment's own flags already decide (a distribution's
# fortify level, say, wins without a redefinition warning).
include(CheckCXXCompilerFlag)
include(CheckCXXSourceCompiles)
include(CheckLinkerFlag)

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
fibbet_harden_compile(-D_GLIBCXX_ASSERTIONS "_GLIBCXX_ASSERTIONS")
# Fortifying needs the optimiser; some compilers (Ubuntu's GCC) already fortify when it runs.
set(CMAKE_REQUIRED_FLAGS -O2)
check_cxx_source_compiles("#include <cstdio>\n#ifdef _FORTIFY_SOURCE\n#error\n#endif\nint main() {}"
                          FIBBET_COMPILER_LEAVES_FORTIFY)
unset(CMAKE_REQUIRED_FLAGS)
if(FIBBET_COMPILER_LEAVES_FORTIFY AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_options($<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-D_FORTIFY_SOURCE=3>)
endif()
fibbet_harden_link(-Wl,-z,relro,-z,now "-z,(no)?relro|-z,(lazy|now)")
fibbet_harden_link(-Wl,-z,noexecstack "-z,(no)?execstack")
