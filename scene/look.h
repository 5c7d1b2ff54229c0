#pragma once

// How the scene is looked at: the window's camera, its lights and the colours
// of what it draws. The window hands these to OpenGL and wobble2rib writes
// them as RIB, so a rendered frame shows what the window shows; change the
// look here and both follow. Nothing here needs OpenGL.

#include "sim/vector3.h"

namespace look {

// The orthographic view volume in eye coordinates, as glOrtho takes it. The
// near plane lies behind the eye, so the camera also sees what is behind it.
struct ViewVolume {
    double left, right, bottom, top, nearPlane, farPlane;
};
inline constexpr ViewVolume kVolume = {-5, 5, -8, 2, -10, 20};

// The camera, as gluLookAt takes it: from slightly below the centre, so the
// view looks a little upwards.
inline const Vector3 kEye(2, 3, 5), kCentre(0, 4, 0), kUp(0, 1, 0);

struct Light {
    float position[4];  // w = 1: a point fixed in the scene, never a direction
    float ambient[4], diffuse[4], specular[4];
    bool on;
    // Intensity of the light in a renderer that shades by its own rules, where
    // the window's dim colours and additive blending do not carry over.
    float intensity;
};

// The third light is configured but never switched on: the program has
// always looked this way, and users know it by that look.
inline constexpr Light kLights[3] = {
    {{-3, 1, 2, 1}, {0.35f, 0.15f, 0.35f, 0.5f}, {0.15f, 0.45f, 0.45f, 0.5f}, {1, 1, 1, 0.5f},
     true, 0.9f},
    {{1, -1, 3, 1}, {0.01f, 0.01f, 0.01f, 0.5f}, {0.01f, 0.01f, 0.01f, 0.5f}, {1, 1, 1, 0.5f},
     true, 0.6f},
    {{0, 0, -3, 1}, {0.1f, 0.1f, 0.1f, 0.5f}, {0.1f, 0.1f, 0.1f, 0.5f}, {1, 1, 1, 0.5f},
     false, 0},
};

// The surface's highlight; its ambient and diffuse colour is the body's.
inline constexpr float kSpecular[4] = {1, 1, 1, 0.5f};
inline constexpr int kShininess = 128;

inline constexpr float kBoxColour[3] = {1, 0, 0};
inline constexpr float kSpringColour[3] = {1, 1, 1};

// Every spring is drawn turned by this rotation (degrees about an axis, as
// glRotatef takes it), relative to where the box's faces would put its nodes.
struct Rotation {
    float degrees, x, y, z;
};
inline constexpr Rotation kSpringTilt = {15, 1, 1, 0};

}  // namespace look
