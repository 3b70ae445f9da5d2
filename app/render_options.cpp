#include "app/render_options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// strtol and strtof skip leading blanks and take a '+', which would make " 3" a scene number while
// "3 " is not one; a number here starts with a digit, a minus sign or a decimal point.
bool startsLikeANumber(const char* text)
{
    return text && (std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '-' || text[0] == '.');
}

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

}  // namespace

const char* renderUsage()
{
    return "usage: pixelwright-render --scene N [--renderer software|opengl|both] [--size WxH]\n"
           "                          [--view AZIMUTH ELEVATION ZOOM PANX PANY] [--no-mipmapping]\n"
           "                          [--sphere PATH] [--bench FRAMES] --output FILE.png\n";
}

bool parseRenderOptions(int argc, const char* const* argv, RenderOptions& options, std::string& error)
{
    bool haveScene = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* next = (i + 1 < argc) ? argv[i + 1] : nullptr;
        if (arg == "--scene") {
            if (!parseInt(next, 1, 9, options.sceneNumber)) {
                error = "--scene needs a number from 1 to 9";
                return false;
            }
            haveScene = true;
            ++i;
        } else if (arg == "--renderer") {
            const std::string value = next ? next : "";
            if (value == "software") options.renderer = RendererChoice::software;
            else if (value == "opengl") options.renderer = RendererChoice::opengl;
            else if (value == "both") options.renderer = RendererChoice::both;
            else {
                error = "--renderer needs software, opengl or both";
                return false;
            }
            ++i;
        } else if (arg == "--size") {
            if (!parseSize(next, options.width, options.height)) {
                error = "--size needs WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxRenderSide);
                return false;
            }
            ++i;
        } else if (arg == "--view") {
            float* fields[5] = {&options.pose.azimuth, &options.pose.elevation, &options.pose.zoom,
                                &options.pose.panX, &options.pose.panY};
            for (int k = 0; k < 5; ++k) {
                if (i + 1 + k >= argc || !parseFloat(argv[i + 1 + k], *fields[k])) {
                    error = "--view needs five numbers: AZIMUTH ELEVATION ZOOM PANX PANY";
                    return false;
                }
            }
            i += 5;
        } else if (arg == "--no-mipmapping") {
            options.mipmapping = false;
        } else if (arg == "--sphere") {
            if (!next || !*next) {
                error = "--sphere needs a file path";
                return false;
            }
            options.spherePath = next;
            ++i;
        } else if (arg == "--output") {
            if (!next || !*next) {
                error = "--output needs a file path";
                return false;
            }
            options.output = next;
            ++i;
        } else if (arg == "--bench") {
            if (!parseInt(next, 1, 1000000, options.benchFrames)) {
                error = "--bench needs a frame count from 1 to 1000000";
                return false;
            }
            ++i;
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (!haveScene) {
        error = "--scene is required";
        return false;
    }
    if (options.output.empty() && options.benchFrames == 0) {
        error = "--output is required";
        return false;
    }
    return true;
}
