#include "web/page_renderer.h"

emscripten::val handOut(const RgbImage& image, std::vector<uint8_t>& rgba)
{
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    rgba.resize(pixels * 4);
    for (size_t i = 0; i < pixels; ++i) {
        rgba[i * 4 + 0] = image.pixels[i * 3 + 0];
        rgba[i * 4 + 1] = image.pixels[i * 3 + 1];
        rgba[i * 4 + 2] = image.pixels[i * 3 + 2];
        rgba[i * 4 + 3] = 255;
    }
    emscripten::val out = emscripten::val::object();
    out.set("width", image.width);
    out.set("height", image.height);
    out.set("rgba", emscripten::val(emscripten::typed_memory_view(rgba.size(), rgba.data())));
    return out;
}
