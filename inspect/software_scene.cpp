#include "inspect/software_scene.h"

#include "raster/prepare_textures.h"
#include "scene/demo_scenes.h"

void buildSoftwareScene(SoftwareScene& software, int sceneNumber, int width, int height, bool mipmapping,
                        const char* spherePath, const char* thirdPlace)
{
    software.scene.clear();
    buildScene(software.scene, sceneNumber, spherePath, thirdPlace);
    software.scene.mipmapping = mipmapping;
    prepareSoftwareScene(software, width, height);
}

void prepareSoftwareScene(SoftwareScene& software, int width, int height)
{
    software.width = width;
    software.height = height;
    prepareTextures(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, width, height);
}

void drawSoftwareFrame(SoftwareScene& software, const CameraPose& pose)
{
    setupCamera(software.scene.projectionStack, software.scene.viewStack, pose, software.width, software.height);
    // renderSoftwareFrame whitens the frame itself; this only gives it the size.
    if (software.frame.width != software.width || software.frame.height != software.height)
        software.frame.reset(software.width, software.height);
    renderSoftwareFrame(software.scene, software.depthBuffer, software.edgeTable, software.mipChains, software.frame,
                        software.path);
}

RgbImage renderSoftwareImage(SoftwareScene& software, const CameraPose& pose)
{
    drawSoftwareFrame(software, pose);
    return topRowFirst(software.frame.rgb, software.width, software.height);
}

size_t polygonCount(const Scene& scene)
{
    size_t count = 0;
    for (const Primitive& p : scene.primitives) count += p.polygons.size();
    return count;
}
