#include "import/image_file.h"

#include <stb_image.h>

#include <cstdio>
#include <limits>
#include <memory>

namespace {

struct StbFree {
    void operator()(unsigned char* p) const { stbi_image_free(p); }
};
using Decoded = std::unique_ptr<unsigned char, StbFree>;

bool sizeAllowed(int width, int height, std::string& error)
{
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
        error = "its size " + std::to_string(width) + "x" + std::to_string(height) + " is beyond " +
                std::to_string(kMaxImageSide) + "x" + std::to_string(kMaxImageSide);
        return false;
    }
    return true;
}

// `channelStep` bytes a texel, r, g, b at `order`; rows top first in the source, bottom first out.
Texture fromBytes(const unsigned char* texels, int width, int height, int channelStep, const int order[3])
{
    Texture texture(width, height, 3);
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = texels + static_cast<size_t>(height - 1 - y) * width * channelStep;
        for (int32_t x = 0; x < width; ++x) {
            float* out = texture.texel(x, y);
            for (int c = 0; c < 3; ++c) out[c] = static_cast<float>(row[x * channelStep + order[c]] / 255.0);
        }
    }
    return texture;
}

constexpr int kRgb[3] = {0, 1, 2};
constexpr int kBgr[3] = {2, 1, 0};

}  // namespace

// The size is read from the header first, so an image that claims a huge size is refused before
// anything is allocated for it.
bool decodeImageFile(const std::string& path, Texture& out, std::string& error)
{
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        error = "it cannot be opened";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_file(file.get(), &width, &height, &channels)) {
        error = std::string("it is not an image that can be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    if (!sizeAllowed(width, height, error)) return false;
    const Decoded texels(stbi_load_from_file(file.get(), &width, &height, &channels, 3));
    if (!texels) {
        error = std::string("decoding failed (") + stbi_failure_reason() + ")";
        return false;
    }
    out = fromBytes(texels.get(), width, height, 3, kRgb);
    return true;
}

bool decodeImageBytes(const unsigned char* bytes, size_t size, Texture& out, std::string& error)
{
    if (size > static_cast<size_t>(std::numeric_limits<int>::max())) {
        error = "it is too large";
        return false;
    }
    const int length = static_cast<int>(size);
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(bytes, length, &width, &height, &channels)) {
        error = std::string("it is not an image that can be decoded (") + stbi_failure_reason() + ")";
        return false;
    }
    if (!sizeAllowed(width, height, error)) return false;
    const Decoded texels(stbi_load_from_memory(bytes, length, &width, &height, &channels, 3));
    if (!texels) {
        error = std::string("decoding failed (") + stbi_failure_reason() + ")";
        return false;
    }
    out = fromBytes(texels.get(), width, height, 3, kRgb);
    return true;
}

Texture textureFromBgra(const unsigned char* texels, int width, int height)
{
    return fromBytes(texels, width, height, 4, kBgr);
}
