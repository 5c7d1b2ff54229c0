#include "sim/spring.h"

#include <cmath>
#include <iostream>

Spring::Spring(MassNode* first, MassNode* second, double restLength, double stiffness,
               double damping)
    : first(first),
      second(second),
      restLength(restLength),
      stiffness(stiffness),
      damping(damping),
      forceOnFirst(0.0, 0.0, 0.0),
      forceOnSecond(0.0, 0.0, 0.0) {}

void Spring::computeForces() {
    double length = std::sqrt(first->position.distanceSquared(second->position));
    double f = stiffness * (restLength - length);
    // The direction is (second - first) / its length, and that length is the
    // one just taken: each difference is the exact negation of the one
    // squared above, so the sum of squares and its root are the same bits.
    // Taking the root once gives the very direction unitTowards would.
    Vector3 u = second->position - first->position;
    Vector3 d = length != 0.0 ? Vector3(u.x / length, u.y / length, u.z / length)
                              : Vector3(0.0, 0.0, 0.0);
    // Each end is damped by its own absolute velocity, not the relative one.
    forceOnFirst = -(d * f) - first->velocity * damping;
    forceOnSecond = d * f - second->velocity * damping;
}

void Spring::print() const {
    std::cerr << "[";
    first->position.print();
    second->position.print();
    std::cerr << "]";
}
