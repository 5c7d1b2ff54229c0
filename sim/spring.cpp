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

void Spring::print() const {
    std::cerr << "[";
    first->position.print();
    second->position.print();
    std::cerr << "]";
}
