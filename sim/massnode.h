#pragma once

#include <vector>

#include "sim/vector3.h"

class Spring;

// One point mass of a body. The body decides when each operation runs within
// a step; the node only knows how to gather, resolve contact and integrate.
class alignas(64) MassNode {
  public:
    Vector3 position;
    Vector3 velocity;
    Vector3 acceleration;
    Vector3 force;
    Vector3 contactForce;
    Vector3 pendingForce;
    double staticFriction;
    double kineticFriction;
    std::vector<Spring*> springs;  // not owned
    std::vector<int> springEnds;   // 1: this node is the spring's first end, 2: its second
    double mass;
    bool fixed;

    MassNode();
    MassNode(Vector3 position, double mass);

    void clearForce();
    void addForce(Vector3 f);
    void applyGravity();
    void gatherSpringForces();
    void applyPendingForce();
    void addPendingForce(Vector3 f);
    void collide(Vector3 n);
    void applyNormalForce(Vector3 n);
    void applyFriction(Vector3 n);
    void reflectVelocity(Vector3 n, double e);
    void integrate(double dt);
    void fix();
    void print() const;
};
