#include "scene/demo_scenes.h"

#include <cstdio>

#include "scene/shape_generators.h"
#include "texture/raw_image.h"
#include "texture/ring_texture.h"
#include "texture/tile_texture.h"

// The order of the steps matters: primitives are drawn, and identified by index, in the order
// they are opened.

namespace {

Color hsv(float h, float s, float v) { return Color(0, 0, 0, 1).fromHsv(h, s, v, 1); }

}  // namespace

void buildScene1(Scene& scene)
{
    scene.clear();
    scene.lightingEnabled = true;
    scene.flatShading = true;
    scene.setAmbient(Color(0.25f, 0.25f, 0.25f, 1));
    scene.addLight(1, 2, 3, Color(0.7f, 0.7f, 0.7f, 1));
    MatrixStack& model = scene.modelStack;

    model.push();
    scene.setMaterial(hsv(0.3f, 1, 0.8f), hsv(0, 1, 0), 0);
    model.translate(-0.5f, 0, 0);
    addBox(scene, 0.5, 0.5, 1);
    model.pop();

    model.push();
    scene.setMaterial(hsv(0, 1, 0.9f), Color(0, 0, 0, 1), 0);
    model.translate(0.5f, 0, 0);
    addCylinder(scene, 0.25, 1, 12);
    model.pop();

    model.push();
    model.translate(0, 0.5f, -0.5f);
    model.rotateX(90);
    scene.setMaterial(hsv(0.5f, 1, 0.8f), Color(0, 0, 0, 1), 0);
    addLetterA(scene);
    model.pop();

    model.push();
    model.translate(0, 0, -0.5f);
    scene.setMaterial(hsv(0, 0, 0.5f), Color(0, 0, 0, 1), 0);
    addRectangle(scene, 2, 4);
    model.pop();
}

void buildScene2(Scene& scene)
{
    scene.clear();
    scene.lightingEnabled = true;
    scene.flatShading = false;
    scene.setAmbient(Color(0.2f, 0.2f, 0.2f, 1));
    scene.addLight(100, 0, 30, Color(0.8f, 0.8f, 0.8f, 1));
    scene.addLight(0, 100, 80, Color(0.5f, 0.5f, 0.5f, 1));
    MatrixStack& model = scene.modelStack;

    model.push();
    scene.setMaterial(hsv(0, 1, 0.7f), hsv(0, 0, 0.8f), 30);
    model.translate(0.5f, -0.5f, 0);
    addSphereOctant(scene, 0.5, 12);
    model.pop();

    model.push();
    // A specular brighter than white, used unclamped.
    scene.setMaterial(hsv(0.66f, 1, 0.9f), hsv(0, 0, 1.5f), 120);
    model.translate(-0.5f, 0.5f, 0);
    addSphereOctant(scene, 0.5, 12);
    model.pop();

    model.push();
    scene.setMaterial(hsv(0.33f, 1, 0.7f), hsv(0, 0, 0), 0);
    model.translate(-0.5f, -0.5f, 0);
    addSphereOctant(scene, 0.5, 12);
    model.pop();
}

void buildScene3(Scene& scene)
{
    scene.clear();
    scene.lightingEnabled = false;
    scene.flatShading = false;
    const Texture* tiles = scene.ownTexture(makeTileTexture(256, 256));
    const Texture* rings = scene.ownTexture(makeRingTexture(256, 256));
    scene.setAmbient(Color(0.4f, 0.4f, 0.4f, 1));
    scene.addLight(100, 80, 50, Color(0.8f, 0.8f, 0.8f, 1));
    scene.addLight(-100, -80, -50, Color(0.8f, 0.8f, 0.8f, 1));
    MatrixStack& model = scene.modelStack;

    scene.setTextures(tiles, nullptr, nullptr);
    model.push();
    model.translate(-0.6f, 0, 0);
    scene.setMaterial(hsv(0.083f, 0.75f, 0.8f), Color(0, 0, 0, 1), 0);
    addRectangle(scene, 1, 1);
    model.pop();

    scene.setTextures(rings, nullptr, nullptr);
    model.push();
    model.translate(0.6f, 0, 0);
    scene.setMaterial(hsv(0.125f, 0.7f, 0.8f), Color(0, 0, 0, 1), 0);
    addRectangle(scene, 1, 1);
    model.pop();
}

void buildScene4(Scene& scene)
{
    scene.clear();
    scene.lightingEnabled = false;
    scene.flatShading = false;
    const Texture* tiles = scene.ownTexture(makeTileTexture(256, 256));
    const Texture* bumps = scene.ownTexture(makeTileBumpMap(256, 256));
    scene.setAmbient(Color(0.4f, 0.4f, 0.4f, 1));
    scene.addLight(0, -100, 80, Color(0.8f, 0.8f, 0.8f, 1));
    scene.setTextures(tiles, bumps, nullptr);

    scene.modelStack.push();
    scene.setMaterial(hsv(0.083f, 0.75f, 0.8f), hsv(0, 0, 1), 100);
    addRectangle(scene, 1, 1);
    scene.modelStack.pop();
}

void buildScene5(Scene& scene, const char* spherePath, const char* thirdPlace)
{
    scene.clear();
    scene.lightingEnabled = false;
    scene.flatShading = false;
    const Texture* image = scene.ownTexture(loadRawImage(spherePath, thirdPlace));
    scene.setAmbient(Color(0.4f, 0.4f, 0.4f, 1));
    scene.addLight(0, -100, 80, Color(0.8f, 0.8f, 0.8f, 1));
    // The image serves only as an environment map.
    scene.setTextures(nullptr, nullptr, image);

    scene.modelStack.push();
    scene.setMaterial(hsv(0.66f, 1, 0.9f), Color(1.5f, 1.5f, 1.5f, 1), 120);
    addTorus(scene, 48, 48);
    scene.modelStack.pop();
}

void buildScene(Scene& scene, int sceneNumber, const char* spherePath, const char* thirdPlace)
{
    std::printf("Creating scene: %d\n", sceneNumber);
    std::fflush(stdout);
    switch (sceneNumber) {
    case 1: buildScene1(scene); break;
    case 2: buildScene2(scene); break;
    case 3: buildScene3(scene); break;
    case 4: buildScene4(scene); break;
    case 5: buildScene5(scene, spherePath, thirdPlace); break;
    default: break;
    }
}
