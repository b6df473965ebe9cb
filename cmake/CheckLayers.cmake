# Fails when a source under src/ includes a header of a higher layer.
#   cmake -DSOURCE_DIR=<project root> -P cmake/CheckLayers.cmake
# Each folder may include its own headers and those of the layers listed for it; the
# include roots of the build enforce the same rule, this check names the offending line.
cmake_minimum_required(VERSION 3.25)
set(allowed_imaging    imaging)
set(allowed_platform   platform)
set(allowed_interfaces interfaces)
set(allowed_ocr        ocr imaging interfaces)
set(allowed_widgets    widgets imaging platform interfaces)
set(allowed_viewer     viewer widgets ocr imaging platform interfaces ktdocview)
set(allowed_public     viewer widgets ocr imaging platform interfaces ktdocview)
set(layers imaging platform interfaces ocr widgets viewer public)
set(all_folders ${layers} ktdocview)

set(failures "")
foreach(layer ${layers})
  file(GLOB_RECURSE files ${SOURCE_DIR}/src/${layer}/*.h ${SOURCE_DIR}/src/${layer}/*.cpp)
  foreach(f ${files})
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[A-Za-z_]+/")
    foreach(line ${lines})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([A-Za-z_]+)/.*" "\\1" target "${line}")
      if(NOT target IN_LIST all_folders)
        continue()  # a subfolder of the including file's own folder
      endif()
      if(NOT target IN_LIST allowed_${layer})
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${f})
        string(APPEND failures "  ${rel}: ${line}  (${layer} may include: ${allowed_${layer}})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(failures)
  message(FATAL_ERROR "Includes that point up a layer:\n${failures}")
endif()
message(STATUS "layering: every include under src/ points to its own or a lower layer")
