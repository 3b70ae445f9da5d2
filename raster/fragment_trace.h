#pragma once

#include <vector>

#include "math/color.h"
#include "math/vec3.h"
#include "raster/lighting.h"

// One light's part in a pixel: the unit vectors to the light and halfway to the eye, and the
// diffuse and specular factors (the latter already raised to the shininess).
struct LightTrace {
    Vec3 toLight;
    Vec3 halfway;
    float diffuse = 0.0f;
    float specular = 0.0f;
};

// What shadeFragment computed for one fragment, as it computed it, for the probes. Reused from
// fragment to fragment, so that its light list only grows.
struct FragmentTrace {
    static constexpr bool kRecords = true;
    static constexpr bool kTerms = true;

    Color textureColour{1.0f, 1.0f, 1.0f, 1.0f};
    bool surfaceKnown = false;  // false when shading stopped before the surface was set up
    Vec3 position;
    Vec3 normal;  // bumped and normalised
    Vec3 toEye;
    std::vector<LightTrace> lights;
    ShadingTerms terms;  // complete only when shading could colour the fragment

    void clear()
    {
        textureColour = Color(1.0f, 1.0f, 1.0f, 1.0f);
        surfaceKnown = false;
        lights.clear();
        terms = ShadingTerms();
    }

    void texture(const Color& c) { textureColour = c; }
    void surface(const Vec3& p, const Vec3& n, const Vec3& e)
    {
        surfaceKnown = true;
        position = p;
        normal = n;
        toEye = e;
    }
    void light(const Vec3& l, const Vec3& h, float d, float r) { lights.push_back({l, h, d, r}); }
};
