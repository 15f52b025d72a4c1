# Fails when a file under src/ includes from a floor above its own, from a
# folder that has no floor, or anything beyond src/ and res/ (the e2e
# harness above all). Both #include "..." and #include <...> are read; a
# system header (a name without a folder or one of no area) is let through.
# Run by the build (CMakeLists.txt, tabiro_layers):
#   cmake -DSOURCE_DIR=<tree> -DFLOORS=<floor/floor/...> -DSTAMP=<file> -P check_layers.cmake
# FLOORS lists the floors lowest first, one area each, so that no two areas
# can include each other.
string(REPLACE "/" ";" _floors "${FLOORS}")
set(_rank 0)
foreach(area IN LISTS _floors)
  if(DEFINED _floor_of_${area})
    message(FATAL_ERROR "Area ${area} stands twice in the floors")
  endif()
  set(_floor_of_${area} ${_rank})
  math(EXPR _rank "${_rank} + 1")
endforeach()

file(GLOB_RECURSE _files RELATIVE ${SOURCE_DIR}/src ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp)
set(_faults "")
foreach(file IN LISTS _files)
  string(REGEX MATCH "^[^/]+" _own "${file}")
  if(NOT DEFINED _floor_of_${_own})
    list(APPEND _faults "src/${file}: folder src/${_own}/ has no floor")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/src/${file} _includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  foreach(line IN LISTS _includes)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[\"<]([^\">]*)[\">].*" "\\1" _path "${line}")
    set(_quoted FALSE)
    if(line MATCHES "include[ \t]*\"")
      set(_quoted TRUE)
    endif()
    set(_area "")
    if(_path MATCHES "^([^/]+)/")
      set(_area ${CMAKE_MATCH_1})
    endif()
    if(DEFINED _floor_of_${_area})
      if(_floor_of_${_area} GREATER _floor_of_${_own})
        list(APPEND _faults "src/${file} includes ${_path}: ${_area} is a floor above ${_own}")
      endif()
    elseif(_quoted AND _path MATCHES "/")
      list(APPEND _faults "src/${file} includes ${_path}: outside src/")
    elseif(_quoted AND NOT EXISTS ${SOURCE_DIR}/res/${_path})
      list(APPEND _faults "src/${file} includes ${_path}: neither in src/ nor in res/")
    endif()
  endforeach()
endforeach()

if(_faults)
  string(REPLACE ";" "\n  " _report "${_faults}")
  message(FATAL_ERROR "Includes against the floors (README, Source tree):\n  ${_report}")
endif()
file(TOUCH ${STAMP})
