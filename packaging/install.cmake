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

# The source archive: fibbet-<version>.tar.gz, holding exactly the files git tracks.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION})
set(CPACK_FIBBET_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_FIBBET_TRACKED_FILES ${PROJECT_BINARY_DIR}/tracked-files)
set(CPACK_SOURCE_INSTALLED_DIRECTORIES "${CPACK_FIBBET_TRACKED_FILES};/")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/source-archive.cmake)

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

# A game goes where Debian keeps games.
if(APPLE)
  set(games_dir ${CMAKE_INSTALL_BINDIR})
else()
  set(games_dir games)
endif()
# A path below the prefix: typed here, so that a value given untyped on the command line
# (-DFIBBET_INSTALL_GAMESDIR=bin) is kept as it is, not made absolute.
set(games_dir_help "Where the game is installed, below the prefix")
if(DEFINED CACHE{FIBBET_INSTALL_GAMESDIR})
  set_property(CACHE FIBBET_INSTALL_GAMESDIR PROPERTY TYPE PATH)
  set_property(CACHE FIBBET_INSTALL_GAMESDIR PROPERTY HELPSTRING ${games_dir_help})
else()
  set(FIBBET_INSTALL_GAMESDIR ${games_dir} CACHE PATH ${games_dir_help})
endif()
if(IS_ABSOLUTE "${FIBBET_INSTALL_GAMESDIR}")
  message(FATAL_ERROR "FIBBET_INSTALL_GAMESDIR is a path below the prefix (games, bin): ${FIBBET_INSTALL_GAMESDIR}")
endif()
install(TARGETS fibbet RUNTIME DESTINATION ${FIBBET_INSTALL_GAMESDIR})
# The compilers' names and versions say nothing to a player.
if(CMAKE_OBJCOPY)
  install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${FIBBET_INSTALL_GAMESDIR}/fibbet\" COMMAND_ERROR_IS_FATAL ANY)")
endif()

# The licence in Debian's machine-readable form: its copyright line, and its terms
# as a paragraph of their own (continuation lines start with a blank, empty ones are " .").
string(REPLACE "\n\n" "\n.\n" debian_licence_terms "${fibbet_licence_terms}")
string(REPLACE "\n" "\n " debian_licence_terms " ${debian_licence_terms}")
configure_file(packaging/copyright.in copyright @ONLY)

# The changelog names the version it releases: one entry per release, the newest first.
file(STRINGS packaging/changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^fibbet \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog has no entry for ${PROJECT_VERSION} at its top: ${newest_entry}")
endif()

# Manual page and changelog compressed as Debian wants them; -n keeps out the name and time.
configure_file(doc/fibbet.6.in fibbet.6 @ONLY)
configure_file(packaging/changelog changelog COPYONLY)
set(compressed ${PROJECT_BINARY_DIR}/fibbet.6.gz ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${compressed}
                   COMMAND gzip -9nkf fibbet.6 changelog
                   DEPENDS ${PROJECT_BINARY_DIR}/fibbet.6 ${PROJECT_BINARY_DIR}/changelog
                   WORKING_DIRECTORY ${PROJECT_BINARY_DIR})
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/fibbet.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${PROJECT_BINARY_DIR}/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME fibbet)

include(packaging/rpm.cmake)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/deb-member-modes.cmake)
include(CPack)
