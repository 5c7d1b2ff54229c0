#pragma once

#include <cmath>

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

    // Inline: the step adds the forces to the nodes straight after.
    void computeForces();
    // Defined by the view library: the sim library has no OpenGL.
    void draw();
    void print() const;
};

inline void Spring::computeForces() {
    Vector3& p1 = first->position;
    const Vector3& p2 = second->position;
    double length = std::sqrt(p1.distanceSquared(p2));
    double f = stiffness * (restLength - length);
    // The direction is (p2 - p1) / its length, and that length is the one
    // just taken: each difference is the exact negation of one squared
    // above, so the sum of squares and its root are the same bits. Taking
    // the root once gives the very direction unitTowards would. Written out
    // in components, in the operand order of the vector formulas.
    double ux = p2.x - p1.x, uy = p2.y - p1.y, uz = p2.z - p1.z;
    double dx = 0.0, dy = 0.0, dz = 0.0;
    if (length != 0.0) {
        dx = ux / length;
        dy = uy / length;
        dz = uz / length;
    }
    // Each end is damped by its own absolute velocity, not the relative one.
    const Vector3& v1 = first->velocity;
    const Vector3& v2 = second->velocity;
    forceOnFirst = Vector3(-(dx * f) - v1.x * damping, -(dy * f) - v1.y * damping,
                           -(dz * f) - v1.z * damping);
    forceOnSecond = Vector3(dx * f - v2.x * damping, dy * f - v2.y * damping,
                            dz * f - v2.z * damping);
}
