# Included after project() by the tsan preset (CMAKE_PROJECT_INCLUDE). Build steps that run
# a program of this build (the demo's sample document) run it with the suppressions the
# tsan test preset uses: Qt's own thread hand-offs would otherwise fail the build. A report
# from our own code still fails it (the program exits 66).
set_property(GLOBAL PROPERTY RULE_LAUNCH_CUSTOM
  "${CMAKE_COMMAND} -E env TSAN_OPTIONS=suppressions=${CMAKE_CURRENT_LIST_DIR}/tsan.supp:exitcode=66")
