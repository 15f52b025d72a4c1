# The floors check on a scratch copy of src/: the tree as it is passes, and
# one include planted against the order, with quotes or angle brackets,
# fails it. Run by ctest (tests/CMakeLists.txt):
#   cmake -DSOURCE_DIR=<tree> -DFLOORS=<floor/floor/...> -DSCRATCH=<dir> -P layers_test.cmake
set(_check ${SOURCE_DIR}/cmake/check_layers.cmake)

function(run_check tree expect_pass what)
  execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} -DFLOORS=${FLOORS}
                          -DSTAMP=${SCRATCH}/stamp -P ${_check}
                  RESULT_VARIABLE _rc OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(expect_pass AND NOT _rc EQUAL 0)
    message(FATAL_ERROR "${what}: the check failed\n${_out}")
  elseif(NOT expect_pass AND _rc EQUAL 0)
    message(FATAL_ERROR "${what}: the check passed")
  endif()
endfunction()

file(REMOVE_RECURSE ${SCRATCH})
file(COPY ${SOURCE_DIR}/src ${SOURCE_DIR}/res DESTINATION ${SCRATCH})
run_check(${SCRATCH} TRUE "the tree as it is")

# An area below including one above, as gps once included guidance.
foreach(include "#include \"guidance/announce.h\"" "#include <guidance/announce.h>")
  file(COPY ${SOURCE_DIR}/src/gps/gps_control.cpp DESTINATION ${SCRATCH}/src/gps)
  file(APPEND ${SCRATCH}/src/gps/gps_control.cpp "${include}\n")
  run_check(${SCRATCH} FALSE "gps_control.cpp with ${include}")
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
