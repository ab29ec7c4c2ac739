# SPDX-License-Identifier: BSD-2-Clause
# CPack's per-generator settings (CPACK_PROJECT_CONFIG_FILE). For the source archive
# (cpack --config CPackSourceConfig.cmake): the files that git tracks, as they
# stand in its index, copied to a folder of their own, so that no build folder or
# other untracked file in the tree goes in.
if(CPACK_GENERATOR STREQUAL "TGZ" AND CPACK_INSTALLED_DIRECTORIES MATCHES "^${CPACK_FIBBET_TRACKED_FILES};")
  file(REMOVE_RECURSE ${CPACK_FIBBET_TRACKED_FILES})
  execute_process(COMMAND git checkout-index --all --prefix=${CPACK_FIBBET_TRACKED_FILES}/
                  WORKING_DIRECTORY ${CPACK_FIBBET_SOURCE_DIR} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "The source archive is made from a git checkout, with git installed")
  endif()
  set(CPACK_PACKAGING_INSTALL_PREFIX "")  # the files at the archive's top, not below /usr
endif()
