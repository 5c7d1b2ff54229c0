#pragma once

#include <vector>

#include "sim/softbody.h"

// The scene. Its own body part is the simulated box; in multi-body mode it
// steps and draws the bodies of `bodies` instead.
class World : public SoftBody {
  public:
    std::vector<SoftBody*> bodies;  // not owned; they live for the process
    bool multiBody = false;
    double timeStep = 0.005;

    World();
    World(const World&) = default;
    World& operator=(const World& other);
    ~World() = default;

    void step();
    void stepBy(double dt);
    void setUpRopes();
    // Defined by the view library: the sim library has no OpenGL.
    void draw();
};
