# Runs the demo host with ARGS in a settings folder of its own, emptied and seeded with the
# user's choice bThumbs=False. Fails when the demo fails, or when the settings file no longer
# holds that choice afterwards: options of the demo apply to its run only.
#   cmake -DDEMO=... -DHOME=... "-DARGS=a;b" -P demo_run.cmake
file(REMOVE_RECURSE ${HOME})
set(conf "${HOME}/Tavrin Networks/Tavrin Networks.conf")
file(WRITE ${conf} "[Common]\nbThumbs=False\n")
set(ENV{XDG_CONFIG_HOME} ${HOME})
execute_process(COMMAND ${DEMO} ${ARGS} RESULT_VARIABLE rc OUTPUT_VARIABLE out
                ERROR_VARIABLE out TIMEOUT 100)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "demo failed (${rc}):\n${out}")
endif()
file(STRINGS ${conf} kept REGEX "^bThumbs=")
if(NOT kept STREQUAL "bThumbs=False")
  file(READ ${conf} text)
  message(FATAL_ERROR "the demo changed the user's settings:\n${text}")
endif()
