#pragma once

// The OpenGL side of the window: the one-time GL state and the mouse
// callbacks that GLUT calls between frames. Body drawing is defined here too,
// as members of the simulation classes (SoftBody::drawFaces, drawSprings,
// Spring::draw, World::draw).

// Puts the current GL context into the state every frame is drawn in. Call
// once, after the window exists and before the main loop.
void initGraphics();

// A release of the left, right or middle button pushes one side of
// theWorld's box; everything else is ignored.
void onMouse(int button, int state, int x, int y);
void onMotion(int x, int y);
void onPassiveMotion(int x, int y);
