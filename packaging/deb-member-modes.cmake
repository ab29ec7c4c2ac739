# SPDX-License-Identifier: BSD-2-Clause
# Run by CPack once it has made the .deb: gives each member of its ar archive
# (debian-binary, control.tar.gz, data.tar.gz) the mode 100644. CPack takes their
# modes from its own temporary files, and so from the umask of whoever builds;
# the package must be the same bytes whatever that umask.
set(ar_magic_size 8)      # "!<arch>\n"
set(header_size 60)       # name 16, date 12, uid 6, gid 6, mode 8, size 10, "`\n" 2
set(mode_offset 40)
set(size_offset 48)
set(mode_file ${CPACK_TOPLEVEL_DIRECTORY}/deb-member-mode)
file(WRITE ${mode_file} "100644  ")
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(NOT package MATCHES "\\.deb$")
    continue()
  endif()
  file(SIZE ${package} package_size)
  set(at ${ar_magic_size})
  while(at LESS package_size)
    math(EXPR field "${at} + ${size_offset}")
    file(READ ${package} member_size OFFSET ${field} LIMIT 10)
    string(STRIP "${member_size}" member_size)
    math(EXPR field "${at} + ${mode_offset}")
    execute_process(COMMAND dd of=${package} bs=1 seek=${field} conv=notrunc INPUT_FILE ${mode_file}
                    OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
    math(EXPR at "${at} + ${header_size} + ${member_size} + ${member_size} % 2")  # members start at even offsets
  endwhile()
endforeach()
