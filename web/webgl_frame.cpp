#include "web/webgl_frame.h"

#include "fixed_function/eye_lights.h"
#include "fixed_function/frame_matrices.h"

namespace {

void loadFrameUniforms(const FixedUniforms& u, const FrameMatrices& matrices, const LightTable& lights)
{
    glUniformMatrix4fv(u.modelView, 1, GL_FALSE, matrices.modelView);
    glUniformMatrix4fv(u.modelViewProjection, 1, GL_FALSE, matrices.modelViewProjection);
    glUniformMatrix3fv(u.normalMatrix, 1, GL_FALSE, matrices.normal);
    glUniform1i(u.lightCount, static_cast<GLint>(lights.lights.size()));
    glUniform1i(u.image, 0);
    std::vector<float> directions;
    for (const EyeLight& light : lights.lights)
        directions.insert(directions.end(), {light.direction.x, light.direction.y, light.direction.z});
    if (!directions.empty())
        glUniform3fv(u.lightDirection, static_cast<GLsizei>(lights.lights.size()), directions.data());
}

void loadMaterial(const FixedUniforms& u, const LightTable& lights, const FixedMaterial& material)
{
    const LightProducts products = lightProducts(lights, material);
    std::vector<float> diffuse, specular;
    for (size_t i = 0; i < products.diffuse.size(); ++i) {
        const Color& d = products.diffuse[i];
        const Color& s = products.specular[i];
        diffuse.insert(diffuse.end(), {d.r, d.g, d.b});
        specular.insert(specular.end(), {s.r, s.g, s.b});
    }
    if (!diffuse.empty()) {
        glUniform3fv(u.diffuseProduct, static_cast<GLsizei>(products.diffuse.size()), diffuse.data());
        glUniform3fv(u.specularProduct, static_cast<GLsizei>(products.specular.size()), specular.data());
    }
    const Color& c = products.sceneColour;
    glUniform3f(u.sceneColour, c.r, c.g, c.b);
    glUniform1f(u.shininess, material.shininess);
    glUniform1i(u.separateSpecular, material.separateSpecular);
}

FixedTextureMode textureMode(const WebGlTexture& texture)
{
    if (!texture.name) return kUntextured;
    switch (texture.use) {
    case TextureUse::sphereMap: return kSphereMap;
    case TextureUse::mipLinear: return kMipLinear;
    case TextureUse::nearest: return kNearest;
    default: return kUntextured;
    }
}

void loadTexture(const FixedUniforms& u, const WebGlTexture& texture)
{
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glUniform1i(u.lastLevel, texture.lastLevel);
}

// The state the preview's calls leave for the batch: the colour reset to white per primitive, a
// hole's black colour and diffuse kept to the primitive's end, the offset for the hole alone.
void drawBatches(WebGlContext& context, bool flat, const FrameMatrices& matrices, const LightTable& lights)
{
    const WebGlScene& uploaded = context.scene;
    bool loaded[kTextureModes] = {};
    for (const FanBatch& batch : uploaded.batches) {
        const FixedTextureMode mode = textureMode(uploaded.textures[batch.primitive]);
        const FixedProgram& program = context.programs[flat][lights.lighting][mode];
        const FixedUniforms& u = program.uniforms;
        glUseProgram(program.program);
        if (!loaded[mode]) loadFrameUniforms(u, matrices, lights);
        loaded[mode] = true;
        const FixedMaterial& material = uploaded.materials[batch.primitive];
        loadMaterial(u, lights, batch.blackened ? afterHole(material) : material);
        const float shade = batch.blackened ? 0.0f : 1.0f;
        glUniform3f(u.currentColour, shade, shade, shade);
        loadTexture(u, uploaded.textures[batch.primitive]);
        if (batch.hole) {
            glEnable(GL_POLYGON_OFFSET_FILL);
            glPolygonOffset(0.0f, -100.0f);
        } else {
            glDisable(GL_POLYGON_OFFSET_FILL);
        }
        glDrawArrays(GL_TRIANGLES, static_cast<GLint>(batch.first), static_cast<GLsizei>(batch.count));
    }
    glDisable(GL_POLYGON_OFFSET_FILL);
}

}  // namespace

void drawWebGlFrame(WebGlContext& context, Scene& scene, const CameraPose& pose, int width, int height)
{
    useWebGlContext(context, width, height);
    if (!context.scene.built || context.scene.mipmapping != scene.mipmapping) uploadWebGlScene(context.scene, scene);
    setupCamera(scene.projectionStack, scene.viewStack, pose, width, height);
    glViewport(0, 0, width, height);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glActiveTexture(GL_TEXTURE0);
    glBindVertexArray(context.scene.vertexArray);
    drawBatches(context, scene.flatShading, frameMatrices(scene), eyeSpaceLights(scene));
    glBindVertexArray(0);
}

RgbImage readWebGlFrame(int width, int height, std::vector<uint8_t>& readBack)
{
    const size_t row = static_cast<size_t>(width) * 4;
    readBack.resize(row * height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    RgbImage image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
    // WebGL's rows start at the bottom.
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = &readBack[(height - 1 - y) * row];
        uint8_t* out = &image.pixels[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = in[x * 4 + c];
    }
    return image;
}
