#pragma once

#include "sim/world.h"

// The window's one scene, stepped by the frame loop and pushed by the mouse.
// Built during static initialisation, so its first body's progress lines
// appear before main runs.
extern World theWorld;
