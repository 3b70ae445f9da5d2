#pragma once

#include <string>

// What --show draws instead of the picture: one value of the software frame per pixel.
enum class FrameView {
    picture,  // no view: the picture itself
    depth,
    normal,
    bumpedNormal,
    texcoord,
    mipLevel,
    ambient,
    diffuse,
    specular,
    overdraw,
    polygons
};

// The name --show takes, and back; false for a name that is none of them.
const char* frameViewName(FrameView view);
bool parseFrameView(const std::string& name, FrameView& view);

// Every name, comma-separated, for the help and for messages.
std::string frameViewNames();
