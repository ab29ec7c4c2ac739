# SPDX-License-Identifier: BSD-2-Clause
# The .rpm, made by `cpack -G RPM`: fibbet-<version>-1.<arch>.rpm, as Fedora and
# its kin package a game. Included by install.cmake before CPack.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
string(SUBSTRING "${PROJECT_DESCRIPTION}" 0 1 first)
string(SUBSTRING "${PROJECT_DESCRIPTION}" 1 -1 rest)
string(TOUPPER "${first}" first)
set(CPACK_RPM_PACKAGE_SUMMARY "${first}${rest}")  # capitalised, as RPM summaries are
set(CPACK_RPM_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RPM_PACKAGE_LICENSE BSD-2-Clause)
set(CPACK_RPM_PACKAGE_GROUP Amusements/Games)
set(CPACK_PACKAGE_RELOCATABLE OFF)  # CPack's default would let rpm move the game out of /usr
# The folders that the system owns stay the system's; the package owns only its own.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/${FIBBET_INSTALL_GAMESDIR} /usr/share/man /usr/share/man/man6)
set(CPACK_RPM_USER_FILELIST "%license /usr/${CMAKE_INSTALL_DOCDIR}/LICENSE")
# The same bytes from two builds: SOURCE_DATE_EPOCH for the build time and every file's date, no build host.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define packager ${CPACK_PACKAGE_CONTACT}
%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none")

# The changelog, from Debian's form to RPM's: each entry's date, maintainer and
# version on its heading, then its items.
file(STRINGS packaging/changelog debian_lines)
set(rpm_changelog "")
set(items "")
foreach(line IN LISTS debian_lines)
  if(line MATCHES "^fibbet \\(([^)]+)\\)")
    set(version ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  \\* (.*)")
    string(APPEND items "- ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^    (.*)")
    string(APPEND items "  ${CMAKE_MATCH_1}\n")
  elseif(line MATCHES "^ -- (.+)  ([A-Z][a-z][a-z]), ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) ")
    string(APPEND rpm_changelog "* ${CMAKE_MATCH_2} ${CMAKE_MATCH_4} ${CMAKE_MATCH_3} ${CMAKE_MATCH_5} "
           "${CMAKE_MATCH_1} - ${version}-${CPACK_RPM_PACKAGE_RELEASE}\n${items}\n")
    set(items "")
  endif()
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/rpm-changelog "${rpm_changelog}")
set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_BINARY_DIR}/rpm-changelog)
