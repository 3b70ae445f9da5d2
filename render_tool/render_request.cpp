#include "render_tool/render_request.h"

namespace {

struct RendererName {
    const char* name;
    RendererChoice choice;
};

constexpr RendererName kRendererNames[] = {
    {"software", RendererChoice::software}, {"opengl", RendererChoice::opengl}, {"both", RendererChoice::both}};

}  // namespace

const char* rendererName(RendererChoice choice)
{
    for (const RendererName& renderer : kRendererNames)
        if (renderer.choice == choice) return renderer.name;
    return "?";
}

bool parseRenderer(const std::string& text, RendererChoice& out)
{
    for (const RendererName& renderer : kRendererNames)
        if (text == renderer.name) {
            out = renderer.choice;
            return true;
        }
    return false;
}
