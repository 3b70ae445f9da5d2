#include "scene/demo_scenes.h"

#include <cstdio>

void buildScene1(Scene& scene) { scene.clear(); }
void buildScene2(Scene& scene) { scene.clear(); }
void buildScene3(Scene& scene) { scene.clear(); }
void buildScene4(Scene& scene) { scene.clear(); }
void buildScene5(Scene& scene) { scene.clear(); }

void buildScene(Scene& scene, int sceneNumber)
{
    std::printf("Creating scene: %d\n", sceneNumber);
    std::fflush(stdout);
    switch (sceneNumber) {
    case 1: buildScene1(scene); break;
    case 2: buildScene2(scene); break;
    case 3: buildScene3(scene); break;
    case 4: buildScene4(scene); break;
    case 5: buildScene5(scene); break;
    default: break;
    }
}
