# Project-wide compiler settings, applied through one INTERFACE target.
add_library(ktdv_warnings INTERFACE)
target_compile_options(ktdv_warnings INTERFACE
  -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local>
  -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual -Wnull-dereference
  -Wimplicit-fallthrough)
if(KTDV_WARNINGS_AS_ERRORS)
  target_compile_options(ktdv_warnings INTERFACE -Werror)
endif()
target_compile_definitions(ktdv_warnings INTERFACE QT_USE_QSTRINGBUILDER)

if(KTDV_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
