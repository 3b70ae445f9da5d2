#include "raster/lanes_request.h"

#include <cstdlib>
#include <cstring>

LanesRequest lanesRequest()
{
    static const LanesRequest asked = [] {
        const char* v = std::getenv("PIXELWRIGHT_LANES");
        if (!v) return LanesRequest::widest;
        if (std::strcmp(v, "reference") == 0) return LanesRequest::reference;
        if (std::strcmp(v, "256") == 0) return LanesRequest::k256;
        if (std::strcmp(v, "portable") == 0) return LanesRequest::portable;
        return LanesRequest::widest;
    }();
    return asked;
}
