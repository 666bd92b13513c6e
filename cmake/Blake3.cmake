# BLAKE3 from its official C implementation. Debian ships no library of it,
# but librust-blake3-dev carries the upstream C sources and assembly (CC0 or
# Apache-2.0); they are built from the installed package into a static
# library, never copied into this tree. scripts/install-deps.sh installs it.
enable_language(C ASM)
file(GLOB blake3_source_dirs /usr/share/cargo/registry/blake3-*/c)
list(SORT blake3_source_dirs COMPARE NATURAL)
list(POP_BACK blake3_source_dirs BLAKE3_SOURCE_DIR)
if(NOT EXISTS "${BLAKE3_SOURCE_DIR}/blake3.h")
  message(FATAL_ERROR "The BLAKE3 C sources are missing: install librust-blake3-dev (scripts/install-deps.sh)")
endif()

set(blake3_sources blake3_dispatch.c blake3_portable.c)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64")
  list(APPEND blake3_sources blake3_sse2_x86-64_unix.S blake3_sse41_x86-64_unix.S blake3_avx2_x86-64_unix.S
       blake3_avx512_x86-64_unix.S)
  set(blake3_definitions)
else()
  set(blake3_definitions BLAKE3_NO_SSE2 BLAKE3_NO_SSE41 BLAKE3_NO_AVX2 BLAKE3_NO_AVX512 BLAKE3_USE_NEON=0)
endif()
list(TRANSFORM blake3_sources PREPEND "${BLAKE3_SOURCE_DIR}/")
# blake3.c comes in through engines/blake3_pieces.c, which includes it.
add_library(blake3 STATIC ${PROJECT_SOURCE_DIR}/engines/blake3_pieces.c ${blake3_sources})
target_compile_definitions(blake3 PRIVATE ${blake3_definitions})
target_include_directories(blake3 PRIVATE "${BLAKE3_SOURCE_DIR}")
# Upstream's code, built as upstream builds it: none of our warnings.
target_compile_options(blake3 PRIVATE -w)
set_target_properties(blake3 PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_include_directories(blake3 SYSTEM INTERFACE "${BLAKE3_SOURCE_DIR}")
