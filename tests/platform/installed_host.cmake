# Installs the project into a folder of its own, builds examples/host against that installed
# package alone and runs it offscreen on the installed sample document: a package that is
# incomplete or does not compile for a host fails here.
#   cmake -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK_DIR=... -P installed_host.cmake
foreach(v BUILD_DIR SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "installed_host: ${v} is not set")
  endif()
endforeach()

function(step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out
                  TIMEOUT 90)
  if(NOT rc EQUAL 0)
    string(REPLACE ";" " " cmd "${ARGN}")
    message(FATAL_ERROR "installed_host: '${cmd}' failed (${rc}):\n${out}")
  endif()
endfunction()

set(prefix ${WORK_DIR}/prefix)
set(build ${WORK_DIR}/build)
# Same paths every run, so the compiler cache recognises the host's objects.
file(REMOVE_RECURSE ${prefix} ${build})
step(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(launcher)
find_program(ccache ccache)
if(ccache)
  set(launcher -DCMAKE_CXX_COMPILER_LAUNCHER=${ccache})
endif()
step(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/host -B ${build} -G Ninja
     -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH=${prefix}
     -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF ${launcher}
     "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Wpedantic -Werror")
step(${CMAKE_COMMAND} --build ${build})

set(picture ${WORK_DIR}/host.png)
file(REMOVE ${picture})
step(${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=${WORK_DIR}/home
     ${build}/ktdocview_host --permission 24 --picture ${picture}
     ${prefix}/share/ktdocview/sample.tif)
if(NOT EXISTS ${picture})
  message(FATAL_ERROR "installed_host: the host wrote no picture")
endif()
message(STATUS "installed_host: built against ${prefix} and showed the sample")
