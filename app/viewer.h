#pragma once

// Opens the window, builds the first scene and runs the event loop; returns only if the loop does.
int runViewer(int argc, char** argv);
