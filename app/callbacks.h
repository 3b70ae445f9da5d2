#pragma once

// The toolkit's callbacks. Every one that changes something registers idle, and idle draws one
// frame and unregisters itself, so frames are drawn only on demand and a burst of drags folds
// into the next frame.
void display();
void idle();
void reshape(int width, int height);
void keyboard(unsigned char key, int x, int y);
void mouse(int button, int state, int x, int y);
void motion(int x, int y);

// The scene switch of the number keys and of start-up: build, then prepare for the current viewport.
void switchScene(int sceneNumber);
