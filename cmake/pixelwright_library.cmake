# How every Pixelwright target is compiled, set on the targets rather than globally, so that a
# library added by find_package or another project is built as its own authors meant.
add_library(pixelwright_build_options INTERFACE)
target_compile_features(pixelwright_build_options INTERFACE cxx_std_17)
# -Wno-psabi: the renderer's lane vectors pass only between inlined functions, so the note that
# their calling convention differs with the instruction set never applies.
target_compile_options(pixelwright_build_options INTERFACE -Wall -Wextra -Wno-psabi)
# The pictures depend on every float rounding the source writes down: no fused multiply-adds and
# no vectoriser that may keep an unrounded double in place of a rounded float.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(pixelwright_build_options INTERFACE
    -ffp-contract=off -fno-tree-slp-vectorize -fno-tree-vectorize)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  target_compile_options(pixelwright_build_options INTERFACE -ffp-contract=off -fno-slp-vectorize -fno-vectorize)
endif()
# Every browser the page is meant for runs 128-bit SIMD, which the lane kernels use as they use SSE.
if(EMSCRIPTEN)
  target_compile_options(pixelwright_build_options INTERFACE -msimd128)
endif()
if(PIXELWRIGHT_SANITIZE)
  target_compile_options(pixelwright_build_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(pixelwright_build_options INTERFACE -fsanitize=address,undefined)
  # The instrumentation leaves GCC's may-be-uninitialized analysis reporting false positives
  # inside the standard library (std::regex); the normal build still checks for the real ones.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(pixelwright_build_options INTERFACE -Wno-maybe-uninitialized)
  endif()
  # The sanitizers' settings, in every executable (a static library would leave out an object
  # nothing calls).
  add_library(pixelwright_sanitizer_defaults OBJECT ${PROJECT_SOURCE_DIR}/cmake/sanitizer_defaults.cpp)
  target_compile_options(pixelwright_sanitizer_defaults PRIVATE -Wall -Wextra)
  target_link_libraries(pixelwright_build_options INTERFACE $<TARGET_OBJECTS:pixelwright_sanitizer_defaults>)
endif()

# pixelwright_library(NAME SOURCES file... [PUBLIC target...] [PRIVATE target...])
# One folder's library. Includes are written from the repository root ("raster/edge.h"); PUBLIC
# names what the folder's own headers include, PRIVATE what only its sources use.
function(pixelwright_library name)
  cmake_parse_arguments(arg "" "" "SOURCES;PUBLIC;PRIVATE" ${ARGN})
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_PUBLIC} PRIVATE pixelwright_build_options ${arg_PRIVATE})
endfunction()

# pixelwright_program(NAME [AT_TOP] source... LINKS target...)
# AT_TOP puts the program in the build folder itself (build/pixelwright-render), where the README,
# the scripts and a person look for it, rather than in its source folder's.
function(pixelwright_program name)
  cmake_parse_arguments(arg "AT_TOP" "" "LINKS" ${ARGN})
  add_executable(${name} ${arg_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE pixelwright_build_options ${arg_LINKS})
  if(arg_AT_TOP)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  endif()
endfunction()
