# Fails when a translation lacks a text of the sources, leaves one unfinished, or holds one
# the sources no longer have: lupdate refreshes a copy of each .ts file, which must then
# hold the same texts, all translated.
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<project root> -DWORK_DIR=<folder> -P cmake/CheckTranslations.cmake
cmake_minimum_required(VERSION 3.25)
file(GLOB ts_files ${SOURCE_DIR}/translations/ktdocview_*.ts)
if(NOT ts_files)
  message(FATAL_ERROR "no translations under ${SOURCE_DIR}/translations")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures "")
foreach(ts ${ts_files})
  get_filename_component(name ${ts} NAME)
  set(copy ${WORK_DIR}/${name})
  file(COPY_FILE ${ts} ${copy})
  execute_process(COMMAND ${LUPDATE} -silent -locations none -no-obsolete -I src -I include src tools
                          -ts ${copy}
                  WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  file(READ ${ts} before)
  file(READ ${copy} after)
  string(REGEX MATCHALL "<message>" messages_before "${before}")
  string(REGEX MATCHALL "<message>" messages_after "${after}")
  list(LENGTH messages_before n_before)
  list(LENGTH messages_after n_after)
  string(REGEX MATCHALL "<source>[^<]*</source>[ \t\r\n]*<translation type=\"unfinished\""
         unfinished "${after}")
  foreach(entry ${unfinished})
    string(REGEX REPLACE "<source>([^<]*)</source>.*" "\\1" text "${entry}")
    string(APPEND failures "  ${name}: not translated: ${text}\n")
  endforeach()
  if(NOT n_before EQUAL n_after)
    string(APPEND failures "  ${name}: holds ${n_before} texts, the sources ${n_after}; "
                           "run the build target update_translations\n")
  endif()
endforeach()
if(failures)
  message(FATAL_ERROR "Translations out of step with the sources:\n${failures}")
endif()
message(STATUS "translations: every text of the sources is translated")
