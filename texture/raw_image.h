#pragma once

#include "texture/raw_image_format.h"
#include "texture/texture.h"

// Reads the environment image from `path`, or, when it is null, from "sphere.raw", then
// "../sphere.raw", then `thirdPlace` when the program gives one (its installed copy, say). Only a
// regular file is read, and never with a blocking open. When no file can be read it says so in
// one line on standard error and returns makeEnvironmentImage(); a short file is reported with its
// byte count and leaves the missing texels black.
Texture loadRawImage(const char* path = nullptr, const char* thirdPlace = nullptr);
