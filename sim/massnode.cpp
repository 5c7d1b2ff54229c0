#include "sim/massnode.h"

#include <cmath>

#include "sim/spring.h"

// A placeholder: at the origin, with no mass.
MassNode::MassNode() : MassNode(Vector3(0.0, 0.0, 0.0), 0.0) {}

MassNode::MassNode(Vector3 position, double mass)
    : position(position),
      velocity(0.0, 0.0, 0.0),
      acceleration(0.0, 0.0, 0.0),
      force(0.0, 0.0, 0.0),
      contactForce(0.0, 0.0, 0.0),
      pendingForce(0.0, 0.0, 0.0),
      staticFriction(0.5),
      kineticFriction(0.3),
      mass(mass),
      fixed(false) {}

void MassNode::clearForce() {
    force.clear();
}

void MassNode::addForce(Vector3 f) {
    force += f;
}

void MassNode::applyGravity() {
    force += Vector3(0.0, -9.8 * mass, 0.0);
}

void MassNode::gatherSpringForces() {
    for (std::size_t i = 0; i < springs.size(); ++i) {
        if (springEnds[i] == 1) {
            force += springs[i]->forceOnFirst;
        } else {
            force += springs[i]->forceOnSecond;
        }
    }
}

void MassNode::applyPendingForce() {
    force += pendingForce;
    pendingForce.clear();
}

void MassNode::addPendingForce(Vector3 f) {
    pendingForce += f;
}

void MassNode::collide(Vector3 n) {
    applyNormalForce(n);
    reflectVelocity(n, 1.0);
}

void MassNode::applyNormalForce(Vector3 n) {
    Vector3 normal(0.0, 0.0, 0.0);
    double d = force.dot(n);
    if (d < 0) {
        normal = n * std::fabs(d);
        // Friction works from the previous contact's normal force, so
        // contactForce is updated only afterwards.
        applyFriction(n);
    }
    contactForce = normal;
    force += normal;
}

void MassNode::applyFriction(Vector3 n) {
    Vector3 q = contactForce;
    Vector3 t = (force + q).normalized();
    Vector3 b = t.cross(n);
    double fT = force.dot(t);
    double fB = force.dot(b);
    double vT = velocity.dot(t);
    double vB = velocity.dot(b);
    Vector3 ft = t * fT + b * fB;
    Vector3 vt = t * vT + b * vB;

    Vector3 r;
    // 0.025 length units per second: slower tangential motion may stick.
    if (ft.length() - (q * staticFriction).length() > 0 || vt.length() > 0.025) {
        r = -vt.normalized() * (q * kineticFriction).length();
    } else {
        velocity += -vt;
        r = -ft;
    }
    force += r;
}

void MassNode::reflectVelocity(Vector3 n, double e) {
    double d = velocity.dot(n);
    Vector3 w = n * -d;
    velocity += w;
    velocity += w * e;
}

void MassNode::integrate(double dt) {
    if (fixed) return;
    acceleration = force / mass;
    velocity += acceleration * dt;
    // Uses the velocity just updated; the two terms are summed before adding.
    position += (velocity * dt) + (acceleration * ((0.5 * dt) * dt));
}

void MassNode::fix() {
    fixed = true;
}

void MassNode::print() const {
    position.print();
}
