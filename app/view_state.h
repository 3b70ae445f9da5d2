#pragma once

#include "math/camera.h"

// The camera pose the mouse drives, plus the mouse itself and the scene the number keys chose.
struct ViewState : CameraPose {
    int lastX = 0;
    int lastY = 0;
    bool leftDown = false;
    bool middleDown = false;
    bool rightDown = false;
    int sceneNumber = 4;
};
