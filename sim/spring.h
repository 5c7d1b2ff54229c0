#pragma once

#include "sim/massnode.h"
#include "sim/vector3.h"

// A damped spring between two nodes. It stores the force on each end; the
// nodes collect those forces themselves later in the step.
class Spring {
  public:
    MassNode* first;   // not owned
    MassNode* second;  // not owned
    double restLength;
    double stiffness;
    double damping;
    Vector3 forceOnFirst;
    Vector3 forceOnSecond;

    Spring(MassNode* first, MassNode* second, double restLength, double stiffness, double damping);

    void computeForces();
    // Defined by the view library: the sim library has no OpenGL.
    void draw();
    void print() const;
};
