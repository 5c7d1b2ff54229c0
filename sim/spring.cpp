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
    Vector3 d = first->position.unitTowards(second->position);
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
