# KW_SOURCE_DATE_EPOCH: the one time stamp that lands in the released files (the program's PE
# header, the zip's entries, the package's members), so that a commit builds the same bytes
# anywhere. SOURCE_DATE_EPOCH from the environment wins; else the last commit's time when
# building from git; else the date of the newest entry of x11/debian/changelog, which a source
# tree without git history still has.
if(DEFINED ENV{SOURCE_DATE_EPOCH} AND NOT "$ENV{SOURCE_DATE_EPOCH}" STREQUAL "")
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  set(epoch "")
  find_package(Git QUIET)
  if(GIT_FOUND AND EXISTS ${PROJECT_SOURCE_DIR}/.git)
    execute_process(COMMAND ${GIT_EXECUTABLE} log -1 --format=%ct
                    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(epoch STREQUAL "")
    file(STRINGS ${PROJECT_SOURCE_DIR}/x11/debian/changelog trailer REGEX "^ -- .*>  " LIMIT_COUNT 1)
    string(REGEX REPLACE ".*>  " "" date "${trailer}")
    execute_process(COMMAND date -u -d "${date}" +%s OUTPUT_VARIABLE epoch
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be seconds since 1970, not '${epoch}'")
endif()
set(KW_SOURCE_DATE_EPOCH ${epoch})
message(STATUS "Time stamp of the released files: ${KW_SOURCE_DATE_EPOCH}")
