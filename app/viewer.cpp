#include "app/viewer.h"

#include <GL/freeglut.h>

#include <cstdio>
#include <cstdlib>

#include "app/callbacks.h"
#include "app/process_objects.h"

int runViewer(int argc, char** argv)
{
    // Without a display the toolkit would only say "failed to open display" and exit 1.
    const char* xDisplay = std::getenv("DISPLAY");
    if (!xDisplay || !*xDisplay) {
        std::fprintf(stderr,
                     "pixelwright: no X display (DISPLAY is not set); run it in a desktop session, "
                     "or under a virtual one with: xvfb-run -a -s '-screen 0 1280x1024x24' pixelwright\n");
        return 1;
    }
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(480, 480);
    glutInit(&argc, argv);
    glutCreateWindow("Pixelwright");
    glutDisplayFunc(display);
    glutReshapeFunc(reshape);
    glutKeyboardFunc(keyboard);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutIdleFunc(idle);
    switchScene(viewState.sceneNumber);
    glutMainLoop();
    return 0;
}
