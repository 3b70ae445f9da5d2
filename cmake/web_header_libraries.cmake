# The JSON library is header-only, but its package puts /usr/include on the include path, where the
# host's C library headers would shadow emscripten's own. Offer it from a folder holding only it.
find_path(pixelwright_json_include nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
set(header_libraries ${PROJECT_BINARY_DIR}/header_libraries)
file(MAKE_DIRECTORY ${header_libraries})
file(CREATE_LINK ${pixelwright_json_include}/nlohmann ${header_libraries}/nlohmann SYMBOLIC)
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${header_libraries})
