# SPDX-License-Identifier: BSD-2-Clause
# Where the game and its documents go, and the packages made of them: a .deb
# for Debian and its kin, a .zip for Windows.
include(GNUInstallDirs)

set(CPACK_PACKAGE_VENDOR "The fibbet authors")
set(CPACK_PACKAGE_CONTACT "fibbet maintainers <fibbet@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "fibbet greets the player and asks for twenty words, one at a time, each by"
  "its kind: a noun, a number, a verb ending in 'ing', the name of a person"
  "in the room, a silly word. It does not show the story they go into; once it"
  "has them all, it prints a mock career advertisement with the words set into"
  "its blanks, and waits for a key.")
set(CPACK_STRIP_FILES ON)
# Directories the same whatever the umask of whoever builds.
set(directory_permissions OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${directory_permissions})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${directory_permissions})

set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/cpack-generators.cmake)

# The source archive, fibbet-<version>.tar.gz, made with git archive (source-archive.cmake says
# why): by the dist target, and by CPack's own way to a source package, so that a packager who
# takes either gets the same bytes.
set(fibbet_source_archive ${PROJECT_SOURCE_DIR}/packaging/source-archive.cmake)
add_custom_target(dist COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
                               -DARCHIVE=${PROJECT_BINARY_DIR}/${PROJECT_NAME}-${PROJECT_VERSION}.tar.gz
                               -P ${fibbet_source_archive} VERBATIM)
set(CPACK_SOURCE_GENERATOR External)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_FIBBET_SOURCE_DIR ${PROJECT_SOURCE_DIR})

# The changelog names the version it releases: one entry per release, the newest first.
# Its date is the packages' date when SOURCE_DATE_EPOCH does not give one.
file(STRINGS packaging/changelog changelog_lines)
list(GET changelog_lines 0 newest_entry)
if(NOT newest_entry MATCHES "^fibbet \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog has no entry for ${PROJECT_VERSION} at its top: ${newest_entry}")
endif()
include(packaging/changelog-date.cmake)
set(CPACK_FIBBET_CHANGELOG_EPOCH ${fibbet_changelog_epoch})

if(WIN32)
  # One folder: the game, and a README for players and the licence as Windows text files.
  install(TARGETS fibbet RUNTIME DESTINATION .)
  configure_file(packaging/windows-readme.txt README.txt @ONLY NEWLINE_STYLE CRLF)
  configure_file(LICENSE LICENSE.txt @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${PROJECT_BINARY_DIR}/README.txt ${PROJECT_BINARY_DIR}/LICENSE.txt DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()

# A game goes where Linux keeps games (the FHS). Elsewhere, into bin: <prefix>/games is on
# no default PATH of macOS, FreeBSD (login.conf), OpenBSD or NetBSD (dot.profile).
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(games_dir games)
else()
  set(games_dir ${CMAKE_INSTALL_BINDIR})
endif()
# A string, not a path: CMake would make a path given untyped on the command line
# (-DFIBBET_INSTALL_GAMESDIR=bin) absolute.
set(FIBBET_INSTALL_GAMESDIR ${games_dir} CACHE STRING "Where the game is installed, below the prefix")
if(IS_ABSOLUTE "${FIBBET_INSTALL_GAMESDIR}")
  message(FATAL_ERROR "FIBBET_INSTALL_GAMESDIR is a path below the prefix (games, bin): ${FIBBET_INSTALL_GAMESDIR}")
endif()

# What every system takes, and all that `cmake --install` installs: the game (component
# program) and its manual page (component manual). The packages that CPack makes add
# their own files, in components of their own (deb, rpm).
install(TARGETS fibbet RUNTIME DESTINATION ${FIBBET_INSTALL_GAMESDIR} COMPONENT program)
if(CMAKE_EXECUTABLE_FORMAT STREQUAL "ELF" AND CMAKE_OBJCOPY)  # GNU objcopy cannot write Mach-O
  # The compilers' names and versions say nothing to a player.
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FIBBET_INSTALL_GAMESDIR}/fibbet\" COMMAND_ERROR_IS_FATAL ANY)"
          COMPONENT program)
endif()
configure_file(doc/fibbet.6.in fibbet.6 @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/fibbet.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6 COMPONENT manual)

# For the packages that CPack makes: the manual page compressed, as Debian and rpmlint want
# it (-n: no name or time in the header). For the .deb: the licence in Debian's
# machine-readable form (its copyright line, and its terms as a paragraph of their own:
# continuation lines start with a blank, empty ones are " ."), the changelog, compressed,
# and lintian's override. For the .rpm: the licence, which rpm marks as such.
function(fibbet_install_compressed from to component)
  get_filename_component(name ${to} NAME)
  get_filename_component(folder ${to} DIRECTORY)
  set(compressed ${PROJECT_BINARY_DIR}/compressed/${name})
  # Written, then installed as any file is: its mode and its folders' are the same under any umask.
  install(CODE "file(MAKE_DIRECTORY \"${PROJECT_BINARY_DIR}/compressed\")
                execute_process(COMMAND gzip -9nc INPUT_FILE \"${from}\" OUTPUT_FILE \"${compressed}\" COMMAND_ERROR_IS_FATAL ANY)
                file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${folder}\" TYPE FILE FILES \"${compressed}\"
                     PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)"
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()
fibbet_install_compressed(${PROJECT_BINARY_DIR}/fibbet.6 ${CMAKE_INSTALL_MANDIR}/man6/fibbet.6.gz compressed_manual)
string(REPLACE "\n\n" "\n.\n" debian_licence_terms "${fibbet_licence_terms}")
string(REPLACE "\n" "\n " debian_licence_terms " ${debian_licence_terms}")
configure_file(packaging/copyright.in copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT deb EXCLUDE_FROM_ALL)
fibbet_install_compressed(${PROJECT_SOURCE_DIR}/packaging/changelog ${CMAKE_INSTALL_DOCDIR}/changelog.gz deb)
install(FILES tests/packaging/debian/fibbet.lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME fibbet
        COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT rpm EXCLUDE_FROM_ALL)
set(CPACK_FIBBET_BINARY_DIR ${PROJECT_BINARY_DIR})

include(packaging/rpm.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb-member-modes.cmake)
include(CPack)
