# The core's tests compiled to WebAssembly and run by Node. GoogleTest is built from Debian's
# sources with the same compiler: the packaged libraries are native code.
set(PIXELWRIGHT_GOOGLETEST_SOURCES /usr/src/googletest CACHE PATH "GoogleTest's sources (Debian's googletest)")
if(NOT EXISTS ${PIXELWRIGHT_GOOGLETEST_SOURCES}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's sources are missing from ${PIXELWRIGHT_GOOGLETEST_SOURCES}: install googletest")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# Without threads the tests need no shared memory, which Node would have to be told to allow.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${PIXELWRIGHT_GOOGLETEST_SOURCES} ${CMAKE_CURRENT_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# Node 18 and 20 hand emscripten's loader a fetch that cannot read a file path.
find_program(PIXELWRIGHT_NODE NAMES node nodejs REQUIRED)
set(node_command ${PIXELWRIGHT_NODE} --no-experimental-fetch)

configure_file(support/node_runtime.js.in node_runtime.js @ONLY)

# pixelwright_run_under_node(TARGET SOURCE...): the test program as a script for Node, with the
# source tree and the PIXELWRIGHT_* variables of the test's environment (support/node_runtime.js.in);
# it exits with the tests' status. Emscripten catches exceptions only in code compiled for it, which
# then runs several times slower, so only the sources that expect a throw are; GoogleTest itself
# is, and reports any other exception as a failure.
function(pixelwright_run_under_node target)
  foreach(source ${ARGN})
    file(READ ${source} text)
    if(text MATCHES "(EXPECT|ASSERT)_(NO_|ANY_)?THROW")
      set_source_files_properties(${source} PROPERTIES COMPILE_OPTIONS -fexceptions)
    endif()
  endforeach()
  set(runtime ${CMAKE_CURRENT_BINARY_DIR}/node_runtime.js)
  # -O1 after the build type's -O3 spares the link-time optimiser's heaviest passes: 2 s a link
  # rather than 18, with the tests as fast (the compiled code is the same).
  target_link_options(${target} PRIVATE -O1 -sENVIRONMENT=node -lnodefs.js -sEXIT_RUNTIME=1 -sALLOW_MEMORY_GROWTH=1
    -sDISABLE_EXCEPTION_CATCHING=0 --pre-js ${runtime})
  set_target_properties(${target} PROPERTIES CROSSCOMPILING_EMULATOR "${node_command}" LINK_DEPENDS ${runtime})
endfunction()
