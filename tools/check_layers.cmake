# Fails when a source file includes a header of a layer above its own.
# Layers, lowest first: base, config, aircraft, packages, commands (app/),
# then the command line (app/cli/) and the desktop program (app/desktop/,
# the *_screen files of packages/, and the widgets of ui/, which sit on
# base alone).
#   cmake -DSOURCE_DIR=<repo> -P tools/check_layers.cmake
cmake_minimum_required(VERSION 3.25)

# The layer of a path relative to the repository, or "" when unchecked.
function(layer_of path out)
  if(path MATCHES "^base/")
    set(layer base)
  elseif(path MATCHES "^config/")
    set(layer config)
  elseif(path MATCHES "^aircraft/")
    set(layer aircraft)
  elseif(path MATCHES "^packages/.*_screen\\.(h|cpp)$")
    set(layer desktop)
  elseif(path MATCHES "^packages/")
    set(layer packages)
  elseif(path MATCHES "^app/cli/")
    set(layer cli)
  elseif(path MATCHES "^app/desktop/")
    set(layer desktop)
  elseif(path MATCHES "^app/")
    set(layer commands)
  elseif(path MATCHES "^ui/")
    set(layer ui)
  else()
    set(layer "")
  endif()
  set(${out} ${layer} PARENT_SCOPE)
endfunction()

set(allowed_base base)
set(allowed_config base config)
set(allowed_aircraft ${allowed_config} aircraft)
set(allowed_packages ${allowed_aircraft} packages)
set(allowed_commands ${allowed_packages} commands)
set(allowed_cli ${allowed_commands} cli)
set(allowed_ui base ui)
set(allowed_desktop ${allowed_commands} ui desktop)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/base/*.h ${SOURCE_DIR}/base/*.cpp ${SOURCE_DIR}/config/*.h ${SOURCE_DIR}/config/*.cpp
  ${SOURCE_DIR}/aircraft/*.h ${SOURCE_DIR}/aircraft/*.cpp ${SOURCE_DIR}/packages/*.h ${SOURCE_DIR}/packages/*.cpp
  ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/ui/*.h ${SOURCE_DIR}/ui/*.cpp)
set(upward "")
foreach(source ${sources})
  layer_of(${source} own)
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^#include \"[^\"]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^#include \"([^\"]+)\".*" "\\1" included "${line}")
    layer_of(${included} theirs)
    if(theirs STREQUAL "" OR theirs IN_LIST allowed_${own})
      continue()
    endif()
    string(APPEND upward "  ${source} (${own}) includes ${included} (${theirs})\n")
  endforeach()
endforeach()
if(upward)
  message(FATAL_ERROR "Includes that run against the layers:\n${upward}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources keep to their layers")
