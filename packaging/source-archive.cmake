# SPDX-License-Identifier: BSD-2-Clause
# Makes the source archive, fibbet-<version>.tar.gz: the files of the commit checked
# out, as git writes them, whoever makes it (modes, owner, order and dates from the
# commit alone). Both ways to it run this, so that both give the same bytes:
#  - the dist target: cmake -DSOURCE_DIR=... -DARCHIVE=<path> -P source-archive.cmake;
#  - CMake's own source package (cpack --config CPackSourceConfig.cmake, the package_source
#    target), whose External generator runs this with CPack's variables.
if(DEFINED CPACK_GENERATOR)
  set(SOURCE_DIR ${CPACK_FIBBET_SOURCE_DIR})
  set(ARCHIVE ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.tar.gz)
  set(CPACK_EXTERNAL_BUILT_PACKAGES ${ARCHIVE})  # CPack copies it beside the build
endif()
get_filename_component(prefix ${ARCHIVE} NAME)
string(REGEX REPLACE "\\.tar\\.gz$" "" prefix ${prefix})
# Only from the project's own checkout: an unpacked archive inside another repository
# would otherwise archive that one.
execute_process(COMMAND git rev-parse --show-toplevel WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE checkout OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
file(REAL_PATH "${SOURCE_DIR}" source_dir)
if(checkout)
  file(REAL_PATH "${checkout}" checkout)
endif()
if(NOT checkout STREQUAL source_dir)
  message(FATAL_ERROR "The source archive is made from fibbet's git checkout, and ${SOURCE_DIR} is not one")
endif()
execute_process(COMMAND git archive --format=tar.gz --prefix=${prefix}/ -o ${ARCHIVE} HEAD
                WORKING_DIRECTORY ${SOURCE_DIR} COMMAND_ERROR_IS_FATAL ANY)
