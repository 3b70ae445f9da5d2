#pragma once

// Drains OpenGL's error flags, printing "ERROR: 0x%x" for each pending code to standard output.
void reportPendingGlErrors();
