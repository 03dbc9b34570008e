# selvane_library(<target> <folder under src/> SOURCES ... [PUBLIC deps...] [PRIVATE deps...])
#
# One static library per subsystem folder. Each library gets an include root of its own in the build tree
# holding only its folder (as a link), so "#include "data/DataFile.h"" resolves only in libraries that link
# selvane_data: an include against the layers fails to build. Link PUBLIC only what the library's headers
# expose, PRIVATE everything else.
function(selvane_library target folder)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  if(ARG_SOURCES)
    add_library(${target} STATIC ${ARG_SOURCES})
    set(scope PUBLIC)
  else()
    add_library(${target} INTERFACE)  # headers only
    set(scope INTERFACE)
  endif()
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
  if(ARG_SOURCES)
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC} PRIVATE ${ARG_PRIVATE})
  else()
    target_link_libraries(${target} INTERFACE ${ARG_PUBLIC})
  endif()
endfunction()
