#pragma once

#include "scene/scene.h"

// Prints "Creating scene: N" and builds scene N; any number other than 1 to 5 adds nothing.
// spherePath and thirdPlace are handed to scene 5's image loader (loadRawImage): null looks in
// "sphere.raw", then "../sphere.raw", then thirdPlace.
void buildScene(Scene& scene, int sceneNumber, const char* spherePath = nullptr, const char* thirdPlace = nullptr);

// Each starts with clear. Textures they create are owned by the scene until its next clear.
void buildScene1(Scene& scene);
void buildScene2(Scene& scene);
void buildScene3(Scene& scene);
void buildScene4(Scene& scene);
void buildScene5(Scene& scene, const char* spherePath = nullptr, const char* thirdPlace = nullptr);
