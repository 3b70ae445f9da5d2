#include "app/inspection_view.h"

namespace {

struct ViewName {
    const char* name;
    InspectionView view;
};

constexpr ViewName kViewNames[] = {
    {"depth", InspectionView::depth},       {"normal", InspectionView::normal},
    {"bumped-normal", InspectionView::bumpedNormal}, {"texcoord", InspectionView::texcoord},
    {"mip-level", InspectionView::mipLevel}, {"ambient", InspectionView::ambient},
    {"diffuse", InspectionView::diffuse},   {"specular", InspectionView::specular},
    {"overdraw", InspectionView::overdraw}, {"polygons", InspectionView::polygons}};

}  // namespace

const char* inspectionViewName(InspectionView view)
{
    for (const ViewName& v : kViewNames)
        if (v.view == view) return v.name;
    return "picture";
}

bool parseInspectionView(const std::string& name, InspectionView& view)
{
    for (const ViewName& v : kViewNames)
        if (name == v.name) {
            view = v.view;
            return true;
        }
    return false;
}

std::string inspectionViewNames()
{
    std::string names;
    for (const ViewName& v : kViewNames) names += (names.empty() ? "" : ", ") + std::string(v.name);
    return names;
}
