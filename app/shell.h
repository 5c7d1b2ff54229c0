#pragma once

#include "scene/theworld.h"

// GLUT callbacks of the frame loop: one display is exactly one simulation
// step followed by one drawing.
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onIdle();
