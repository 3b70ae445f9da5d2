#include "inspect/frame_view.h"

namespace {

struct ViewName {
    const char* name;
    FrameView view;
};

constexpr ViewName kViewNames[] = {
    {"depth", FrameView::depth},       {"normal", FrameView::normal},
    {"bumped-normal", FrameView::bumpedNormal}, {"texcoord", FrameView::texcoord},
    {"mip-level", FrameView::mipLevel}, {"ambient", FrameView::ambient},
    {"diffuse", FrameView::diffuse},   {"specular", FrameView::specular},
    {"overdraw", FrameView::overdraw}, {"polygons", FrameView::polygons}};

}  // namespace

const char* frameViewName(FrameView view)
{
    for (const ViewName& v : kViewNames)
        if (v.view == view) return v.name;
    return "picture";
}

bool parseFrameView(const std::string& name, FrameView& view)
{
    for (const ViewName& v : kViewNames)
        if (name == v.name) {
            view = v.view;
            return true;
        }
    return false;
}

std::string frameViewNames()
{
    std::string names;
    for (const ViewName& v : kViewNames) names += (names.empty() ? "" : ", ") + std::string(v.name);
    return names;
}
