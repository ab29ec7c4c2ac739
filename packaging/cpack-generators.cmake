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
if(CPACK_GENERATOR STREQUAL "External")  # the source package: the same archive as the dist target's
  set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/source-archive.cmake)
endif()
