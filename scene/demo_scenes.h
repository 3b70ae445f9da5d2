#pragma once

#include "scene/scene.h"

// Prints "Creating scene: N" and builds scene N; any number other than 1 to 5 adds nothing.
void buildScene(Scene& scene, int sceneNumber);

void buildScene1(Scene& scene);
void buildScene2(Scene& scene);
void buildScene3(Scene& scene);
void buildScene4(Scene& scene);
void buildScene5(Scene& scene);
