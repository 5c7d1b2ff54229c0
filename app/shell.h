#pragma once

#include "sim/world.h"

// The one scene of the program. Built during static initialisation, so its
// first body's progress lines appear before main runs.
extern World theWorld;

// GLUT callbacks of the frame loop: one display is exactly one simulation
// step followed by one drawing.
void onDisplay();
void onReshape(int width, int height);
void onKeyboard(unsigned char key, int x, int y);
void onIdle();
