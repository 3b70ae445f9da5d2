#include "render_tool/option_values.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "render_tool/render_request.h"

namespace {

// strtol and strtof skip leading blanks and take a '+', which would make " 3" a scene number while
// "3 " is not one; a number here starts with a digit, a minus sign or a decimal point.
bool startsLikeANumber(const char* text)
{
    return text && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '.');
}

}  // namespace

bool parseInt(const char* text, long low, long high, int& out)
{
    if (!startsLikeANumber(text)) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

// Finite numbers only: an infinite or NaN angle would make every matrix NaN. strtof's range error
// is not consulted: on overflow it returns an infinity, which the finiteness test refuses, while on
// underflow (1e-40) it returns the nearest subnormal or zero, which is the number asked for.
bool parseFloat(const char* text, float& out)
{
    if (!startsLikeANumber(text)) return false;
    char* end = nullptr;
    const float value = std::strtof(text, &end);
    if (*end != '\0' || !std::isfinite(value)) return false;
    out = value;
    return true;
}

bool parseSize(const char* text, int& width, int& height)
{
    if (!text) return false;
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    const std::string w(text, x);
    return parseInt(w.c_str(), 1, kMaxRenderSide, width) && parseInt(x + 1, 1, kMaxRenderSide, height);
}

bool parseFloatList(const std::string& text, size_t count, float* out)
{
    size_t start = 0;
    for (size_t k = 0; k < count; ++k) {
        const size_t comma = k + 1 < count ? text.find(',', start) : text.size();
        if (comma == std::string::npos) return false;
        if (!parseFloat(text.substr(start, comma - start).c_str(), out[k])) return false;
        start = comma + 1;
    }
    return true;
}

bool parseLight(const std::string& text, Light& light)
{
    float v[6];
    if (!parseFloatList(text, 6, v)) return false;
    light = {Vec3(v[0], v[1], v[2]), Color(v[3], v[4], v[5], 1)};
    return true;
}

bool parsePixel(const std::string& text, int& x, int& y)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return parseInt(text.substr(0, comma).c_str(), 0, kMaxRenderSide - 1, x) &&
           parseInt(text.c_str() + comma + 1, 0, kMaxRenderSide - 1, y);
}
