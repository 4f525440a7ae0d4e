# Fails when a file of a layer includes something outside what the layer may use.
#   LAYER     the target, for the message
#   DIR       the folder the target is built from
#   FILES     the layer's files when it shares DIR with another layer (a ;-list, may be empty:
#             then every .h, .cpp and .rc under DIR)
#   ROOTS     the target's include directories, as the compiler gets them
#   ALLOWED   folders (or files) of the layers below it (a ;-list, may be empty)
#   FORBIDDEN folders of the project that the layer must not reach, even through <...>
#   STANDARD  ON: angle-bracket includes must be C++ standard headers (<cstdint>, <vector>),
#             so no platform header (<windows.h>, <unistd.h>, <X11/...>) gets in
# Quoted includes resolve as the compiler does: next to the file, then under each root; what
# they find must lie inside DIR (or FILES) or ALLOWED.
cmake_minimum_required(VERSION 3.25)

if(FILES)
  set(files ${FILES})
  set(folders ${FILES} ${ALLOWED})
else()
  file(GLOB_RECURSE files ${DIR}/*.h ${DIR}/*.cpp ${DIR}/*.rc)
  set(folders ${DIR} ${ALLOWED})
endif()
set(problems "")

function(kw_inside path folders out)
  set(${out} FALSE PARENT_SCOPE)
  foreach(folder ${folders})
    cmake_path(IS_PREFIX folder "${path}" NORMALIZE inside)
    if(inside)
      set(${out} TRUE PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

foreach(file ${files})
  file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include")
  cmake_path(GET file PARENT_PATH here)
  foreach(line ${lines})
    if(line MATCHES "include[ \t]*\"([^\"]+)\"")
      set(name ${CMAKE_MATCH_1})
      set(found "")
      foreach(root ${here} ${ROOTS})
        if(NOT found AND EXISTS ${root}/${name} AND NOT IS_DIRECTORY ${root}/${name})
          cmake_path(ABSOLUTE_PATH name BASE_DIRECTORY ${root} NORMALIZE OUTPUT_VARIABLE found)
        endif()
      endforeach()
      if(found)
        kw_inside(${found} "${folders}" ok)
      else()
        set(ok FALSE)
      endif()
      if(NOT ok)
        list(APPEND problems "${file}: \"${name}\" is not in ${folders}")
      endif()
    elseif(line MATCHES "include[ \t]*<([^>]+)>")
      set(name ${CMAKE_MATCH_1})
      if(STANDARD AND NOT name MATCHES "^[a-z_]+$")
        list(APPEND problems "${file}: <${name}> is not a standard C++ header")
      endif()
      foreach(root ${FORBIDDEN})
        if(EXISTS ${root}/${name} AND NOT IS_DIRECTORY ${root}/${name})
          list(APPEND problems "${file}: <${name}> comes from ${root}")
        endif()
      endforeach()
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "${LAYER} (${DIR}) includes what it may not:\n  ${text}")
endif()
