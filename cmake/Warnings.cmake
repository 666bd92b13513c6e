# One place for warnings and sanitizers; every target links zelk_options.
add_library(zelk_options INTERFACE)
target_compile_options(zelk_options INTERFACE
  -Wall -Wextra -Wshadow -Wconversion -Wsign-conversion -Wnon-virtual-dtor
  -Wold-style-cast -Woverloaded-virtual -Wnull-dereference)
target_include_directories(zelk_options INTERFACE ${PROJECT_SOURCE_DIR})
# Error reports name function, file and line of every frame, so a Release
# build keeps the line tables and function entries of the debug information
# (-g1: no variables or types). Source paths in it are relative to the
# source tree: a shipped program names "ui/main_window.cpp", not the build
# machine's folders.
target_compile_options(zelk_options INTERFACE
  $<$<CONFIG:Release,MinSizeRel>:-g1 -fdebug-prefix-map=${PROJECT_SOURCE_DIR}/=>)
if(ZELK_SANITIZE)
  target_compile_options(zelk_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(zelk_options INTERFACE -fsanitize=address,undefined)
endif()
if(ZELK_BUILD_FUZZERS)
  # Coverage for libFuzzer in every library; the fuzz targets add its main.
  target_compile_options(zelk_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(zelk_options INTERFACE -fsanitize=address,undefined)
endif()

# Core libraries link no Qt, so Qt's include paths never reach them: a Qt
# include in core code fails to compile.
function(zelk_core_library name)
  add_library(${name} STATIC ${ARGN})
  target_link_libraries(${name} PUBLIC zelk_options)
endfunction()
