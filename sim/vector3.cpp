#include "sim/vector3.h"

#include <iostream>

void Vector3::print() const {
    std::cerr << "(" << x << "," << y << "," << z << ")";
}
