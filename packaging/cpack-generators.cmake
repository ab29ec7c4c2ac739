# SPDX-License-Identifier: BSD-2-Clause
# CPack's settings for each kind of package (CPACK_PROJECT_CONFIG_FILE): what it holds,
# of the components that install.cmake defines, and its date.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_FIBBET_CHANGELOG_EPOCH})  # the same bytes from every build of a release
endif()
set(components_DEB program compressed_manual deb)
set(components_RPM program compressed_manual rpm)
if(DEFINED components_${CPACK_GENERATOR})
  set(CPACK_INSTALL_CMAKE_PROJECTS "")
  foreach(component IN LISTS components_${CPACK_GENERATOR})
    list(APPEND CPACK_INSTALL_CMAKE_PROJECTS ${CPACK_FIBBET_BINARY_DIR} ${CPACK_PACKAGE_NAME} ${component} /)
  endforeach()
endif()
if(DEFINED CPACK_INSTALLED_DIRECTORIES)  # the source package (CPackSourceConfig.cmake)
  # The same archive as the dist target's, and no other: CPack's own archivers would take the folder as it lies.
  if(NOT CPACK_GENERATOR STREQUAL "External")
    message(FATAL_ERROR "The source archive is made by `cmake --build <dir> --target dist`, not by CPack's ${CPACK_GENERATOR}")
  endif()
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/source-archive.cmake)
endif()
