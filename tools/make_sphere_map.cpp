// Writes the built-in environment image as a raw sphere map: 256 x 256 RGB bytes, row 0 first,
// no header. The file name defaults to "sphere.raw" in the working directory.
#include <cstdio>
#include <vector>

#include "texture/environment_image.h"

int main(int argc, char** argv)
{
    const char* path = argc > 1 ? argv[1] : "sphere.raw";
    const std::vector<unsigned char> bytes = environmentImageBytes();
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        std::perror(path);
        return 1;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    if (std::fclose(file) != 0 || written != bytes.size()) {
        std::fprintf(stderr, "make_sphere_map: could not write all %zu bytes to %s\n", bytes.size(), path);
        return 1;
    }
    std::printf("wrote %zu bytes to %s\n", bytes.size(), path);
    return 0;
}
