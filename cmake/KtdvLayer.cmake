# ktdv_add_layer(<target> [SHARED]): one library per folder of src/.
#
# The library is built from every source below its folder and exposes exactly one include
# root, a build-tree folder holding a link named after the source folder. A library sees
# its own headers and those of the libraries it links, never those of a layer above it, so
# an upward include fails to compile.
function(ktdv_add_layer target)
  cmake_parse_arguments(L "" "" "" ${ARGN})
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${target} STATIC ${sources})
  set(root ${PROJECT_BINARY_DIR}/include-roots/${folder})
  file(MAKE_DIRECTORY ${root})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC $<BUILD_INTERFACE:${root}>)
  target_link_libraries(${target} PRIVATE ktdv_warnings)
endfunction()
