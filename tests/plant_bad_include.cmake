cmake_minimum_required(VERSION 3.25)
# Shows check_layers.cmake failing: copies the tree's sources to WORK, plants one fault at a time
# and expects the check to refuse each, naming the file.
# Run as: cmake -DROOT=<source folder> -DCHECK=<check_layers.cmake> -DWORK=<scratch folder> -P plant_bad_include.cmake
set(plants
  "raster/edge.h|#include \"app/viewer.h\""
  "inspect/frame_view.h|#include \"png/png_file.h\""
  "image/legend.h|#include <GL/gl.h>"
  "texture/mip_chain.h|#include \"texture/texture_sampling.h\"")
foreach(plant ${plants})
  string(REPLACE "|" ";" parts "${plant}")
  list(GET parts 0 file)
  list(GET parts 1 line)
  file(REMOVE_RECURSE "${WORK}")
  foreach(folder math texture scene raster image inspect png import preview platform app render_tool tools bench)
    if(EXISTS "${ROOT}/${folder}")
      file(COPY "${ROOT}/${folder}" DESTINATION "${WORK}" FILES_MATCHING PATTERN "*.h" PATTERN "*.cpp")
    endif()
  endforeach()
  file(APPEND "${WORK}/${file}" "${line}\n")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK} -P ${CHECK} RESULT_VARIABLE status ERROR_VARIABLE output)
  string(REGEX REPLACE "\\.(h|cpp)$" "" stem "${file}")
  string(FIND "${output}" "${stem}" named)
  if(status EQUAL 0 OR named EQUAL -1)
    message(FATAL_ERROR "The layer check passed a tree with ${line} planted in ${file}:\n${output}")
  endif()
  message(STATUS "Refused as it should: ${line} in ${file}")
endforeach()
file(REMOVE_RECURSE "${WORK}")
