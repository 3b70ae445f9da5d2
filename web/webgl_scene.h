#pragma once

#include <GLES3/gl3.h>

#include <vector>

#include "fixed_function/fixed_material.h"
#include "fixed_function/polygon_fans.h"
#include "fixed_function/texture_use.h"
#include "scene/scene.h"

// One scene's vertices and textures in the WebGL context, uploaded once per scene build (and
// again when mip-mapping is switched), not per frame.
struct WebGlTexture {
    GLuint name = 0;  // 0: untextured
    TextureUse use = TextureUse::none;
    int lastLevel = 0;
};

struct WebGlScene {
    bool built = false;
    bool mipmapping = true;  // what the textures were built for
    GLuint vertexArray = 0;
    GLuint buffer = 0;
    std::vector<FanBatch> batches;
    std::vector<FixedMaterial> materials;  // per primitive
    std::vector<WebGlTexture> textures;    // per primitive
};

// The context must be current. Releases what an earlier upload left.
void uploadWebGlScene(WebGlScene& uploaded, const Scene& scene);
void releaseWebGlScene(WebGlScene& uploaded);
