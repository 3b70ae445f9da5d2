#include "inspect/pixel_history.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "texture/texture_sampling.h"

using nlohmann::json;

namespace {

json vec(const Vec3& v) { return json::array({v.x, v.y, v.z}); }
json rgb(const Color& c) { return json::array({c.r, c.g, c.b}); }

// The level of the chain whose texels p points into.
int levelHolding(const MipChain& chain, const float* texel)
{
    for (size_t k = 0; k < chain.size(); ++k) {
        const Texture& level = chain[k];
        const float* first = level.texels.get();
        if (texel >= first && texel < first + static_cast<size_t>(level.width) * level.height * level.channels)
            return static_cast<int>(k);
    }
    return -1;
}

// What the texture lookup did, redone with the sampler's own functions.
json textureLookup(const MipChain& chain, const Fragment& f, const Color& colour)
{
    const float s = f.stOverW.x / f.stOverW.z;
    const float t = f.stOverW.y / f.stOverW.z;
    const float lambda = textureLevel(chain[0], footprintInputs(f));
    SampleTexels where;
    locateSampleAtLevel(chain, s, t, lambda, where);
    json levels = json::array({0});
    if (where.minified) levels = json::array({levelHolding(chain, where.texels[0]), levelHolding(chain, where.texels[1])});
    return {{"s", s},
            {"t", t},
            {"footprint", textureFootprint(footprintInputs(f))},
            {"lambda", lambda},
            {"filter", where.minified ? "two levels" : "bilinear"},
            {"levels", levels},
            {"colour", rgb(colour)}};
}

json eventJson(const PixelEvent& e, const Scene& scene, const std::vector<MipChain>& mipChains)
{
    json j = {{"primitive", e.origin.primitive}, {"polygon", e.origin.polygon}, {"depth", e.depth}, {"passed", e.passed}};
    if (!e.passed) return j;
    j["shaded"] = e.shaded;
    j["normal"] = vec(e.fragment.normal);
    if (const MipChain* chain = primitiveTexture(mipChains, e.origin.primitive)) {
        j["texture"] = textureLookup(*chain, e.fragment, e.trace.textureColour);
        // Said only of a model's texture; the scenes' histories stay as they were.
        if (e.origin.primitive < scene.primitives.size() &&
            scene.primitives[e.origin.primitive].textureRole == TextureRole::surfaceColour)
            j["texture"]["modulates"] = "ambient and diffuse";
    }
    if (!e.trace.surfaceKnown) return j;
    j["bumpedNormal"] = vec(e.trace.normal);
    j["position"] = vec(e.trace.position);
    j["toEye"] = vec(e.trace.toEye);
    json lights = json::array();
    for (size_t i = 0; i < e.trace.lights.size() && i < scene.lights.size(); ++i) {
        const LightTrace& l = e.trace.lights[i];
        lights.push_back({{"toLight", vec(l.toLight)}, {"halfway", vec(l.halfway)}, {"diffuse", l.diffuse},
                          {"specular", l.specular}});
    }
    j["lights"] = lights;
    if (e.shaded) j["colour"] = rgb(e.colour);
    return j;
}

std::string number(const json& v)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", v.get<double>());
    return text;
}

std::string triple(const json& v) { return "(" + number(v[0]) + ", " + number(v[1]) + ", " + number(v[2]) + ")"; }

std::string text(const json& history)
{
    std::string out = "pixel " + std::to_string(history["x"].get<int>()) + "," + std::to_string(history["y"].get<int>()) +
                      ": " + std::to_string(history["fragments"].size()) + " fragment(s) reached it\n";
    int k = 0;
    for (const json& f : history["fragments"]) {
        out += "fragment " + std::to_string(++k) + ": primitive " + std::to_string(f["primitive"].get<int>()) +
               ", polygon " + std::to_string(f["polygon"].get<int>()) + ", depth " + number(f["depth"]) +
               (f["passed"].get<bool>() ? ", passed the depth test\n" : ", failed the depth test\n");
        if (!f["passed"].get<bool>()) continue;
        out += "  normal " + triple(f["normal"]);
        if (f.contains("bumpedNormal")) out += ", bumped and normalised " + triple(f["bumpedNormal"]);
        out += "\n";
        if (f.contains("position")) out += "  position " + triple(f["position"]) + ", to the eye " + triple(f["toEye"]) + "\n";
        if (f.contains("lights")) {
            int n = 0;
            for (const json& l : f["lights"])
                out += "  light " + std::to_string(++n) + ": L " + triple(l["toLight"]) + ", H " + triple(l["halfway"]) +
                       ", d " + number(l["diffuse"]) + ", r " + number(l["specular"]) + "\n";
        }
        if (f.contains("texture")) {
            const json& t = f["texture"];
            std::string levels;
            for (const json& level : t["levels"]) levels += (levels.empty() ? "" : " and ") + std::to_string(level.get<int>());
            out += "  texture at s " + number(t["s"]) + ", t " + number(t["t"]) + ": footprint " + number(t["footprint"]) +
                   " in (s, t) units, lambda " + number(t["lambda"]) + ", " + t["filter"].get<std::string>() +
                   " from level " + levels + ", colour " + triple(t["colour"]) +
                   (t.contains("modulates") ? ", the surface's colour, modulating the ambient and diffuse terms" : "") +
                   "\n";
        }
        out += f.contains("colour") ? "  colour before the display clamps it " + triple(f["colour"]) + "\n"
                                    : "  not shaded: a vector to normalise was zero, or w was 0; no point\n";
    }
    const json& s = history["stored"];
    out += "stored " + std::to_string(s[0].get<int>()) + " " + std::to_string(s[1].get<int>()) + " " +
           std::to_string(s[2].get<int>()) + "\n";
    return out;
}

}  // namespace

std::string describeHistory(const PixelHistory& history, const Scene& scene, const std::vector<MipChain>& mipChains,
                            int x, int y, const uint8_t stored[3], bool asJson)
{
    json fragments = json::array();
    for (const PixelEvent& e : history.events) fragments.push_back(eventJson(e, scene, mipChains));
    const json all = {{"x", x}, {"y", y}, {"fragments", fragments}, {"stored", json::array({stored[0], stored[1], stored[2]})}};
    return asJson ? all.dump(2) + "\n" : text(all);
}
