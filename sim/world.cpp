#include "sim/world.h"

#include "sim/lifetime.h"

World::World() : SoftBody(), bodies(), multiBody(false) {
    // The start-up box. The heap body is never destroyed: this world (and every
    // copy of it) shares its nodes and springs.
    SoftBody* body = new SoftBody(3, 3, 3, 0.5, 2000.0, 0.02, 0.55);
    keepForever(body);
    SoftBody::operator=(*body);
    timeStep = 0.005;
    enableGravity();
}

World& World::operator=(const World& other) {
    if (this == &other) return *this;
    SoftBody::operator=(other);
    bodies = other.bodies;
    multiBody = other.multiBody;
    timeStep = other.timeStep;
    return *this;
}

void World::step() {
    if (multiBody) {
        for (SoftBody* body : bodies) {
            body->computeAndStep(timeStep);
        }
    } else {
        computeAndStep(timeStep);
    }
}

void World::stepBy(double dt) {
    computeAndStep(dt);
}

void World::setUpRopes() {
    multiBody = true;
    int k = 40;
    for (int n = 0; n < 20; ++n) {
        SoftBody* rope = new SoftBody(6, 0, 0, 1.0, double(k), 0.01, 1.0);
        keepForever(rope);
        // Hangs from its end at x = -3.
        rope->fixNode(0, 0, 0);
        rope->enableGravity();
        bodies.push_back(rope);
        k = k + 1;
    }
}
