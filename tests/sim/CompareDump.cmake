# Runs kindlewick-sim with one line of tests/sim/golden/runs.txt and compares every file of
# its --dump directory byte for byte with the stored one.
# Usage: cmake -DSIM=... -DGOLDEN=<dir of runs.txt> -DNAME=<run> -DOUT=<scratch dir> -P CompareDump.cmake
file(STRINGS ${GOLDEN}/runs.txt lines REGEX "^${NAME} ")
list(LENGTH lines found)
if(NOT found EQUAL 1)
  message(FATAL_ERROR "run ${NAME}: ${found} lines in ${GOLDEN}/runs.txt")
endif()
string(REGEX REPLACE "^${NAME} +" "" args "${lines}")
separate_arguments(args UNIX_COMMAND "${args}")

file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${SIM} ${args} --dump ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kindlewick-sim ${args}: exit status ${status}")
endif()

set(failed "")
foreach(name heat.bin out.bin back.bin base.bin state.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${GOLDEN}/${NAME}/${name} ${OUT}/${name}
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND failed ${name})
  else()
    message(STATUS "${NAME}/${name}: same bytes")
  endif()
endforeach()
if(failed)
  file(READ ${OUT}/state.txt got)
  message(FATAL_ERROR "${NAME}: ${failed} differ from ${GOLDEN}/${NAME}; state now:\n${got}")
endif()
