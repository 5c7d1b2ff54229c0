#include "sim/softbody.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iostream>

#include "sim/lifetime.h"

namespace {

std::size_t nodeCount(int nx, int ny, int nz) {
    if (nx <= 0 || ny <= 0 || nz <= 0) return 0;
    return std::size_t(nx) * std::size_t(ny) * std::size_t(nz);
}

// The number of springs initSprings makes, so that one body's springs fit in
// one block that is never reallocated.
std::size_t springCount(int nx, int ny, int nz) {
    if (nodeCount(nx, ny, nz) == 0) return 0;
    std::size_t x = std::size_t(nx), y = std::size_t(ny), z = std::size_t(nz);
    std::size_t edges = (x - 1) * y * z + x * (y - 1) * z + x * y * (z - 1);
    std::size_t cells = 4 * (x - 1) * (y - 1) * (z - 1);
    std::size_t faces = 2 * ((x - 1) * (y - 1) * z + x * (y - 1) * (z - 1) + (x - 1) * y * (z - 1));
    return edges + cells + faces;
}

}  // namespace

SoftBody::SoftBody(int cellsX, int cellsY, int cellsZ, double spacing, double stiffness,
                   double damping, double nodeMass) {
    std::cerr << "wobble: initialing members...\n";
    this->cellsX = cellsX;
    this->cellsY = cellsY;
    this->cellsZ = cellsZ;
    nodesX = cellsX + 1;
    nodesY = cellsY + 1;
    nodesZ = cellsZ + 1;
    this->spacing = spacing;
    this->stiffness = stiffness;
    this->damping = damping;
    this->nodeMass = nodeMass;
    gravityOn = false;
    floorY = -1.0;
    wallXMin = -4.0;
    wallXMax = 4.0;

    // Sized with empty slots; the real nodes fill them below.
    for (int i = 0; i < nodesX; ++i) {
        nodes.emplace_back();
        for (int j = 0; j < nodesY; ++j) {
            nodes.back().emplace_back(std::size_t(std::max(0, nodesZ)), nullptr);
        }
    }

    std::cerr << "wobble: initialize nodes array with actual nodes...\n";
    // One block per body in lattice order keeps a step's memory walk short.
    MassNode* block = foreverBlock<MassNode>(nodeCount(nodesX, nodesY, nodesZ));
    std::size_t next = 0;
    double ex = cellsX * spacing;
    double ey = cellsY * spacing;
    double ez = cellsZ * spacing;
    // Coordinates advance by repeated addition, not by index times spacing,
    // and that rounding is part of the body's shape.
    double x = -ex / 2.0;
    for (int i = 0; i < nodesX; ++i) {
        double y = -ey / 2.0;
        for (int j = 0; j < nodesY; ++j) {
            double z = -ez / 2.0;
            for (int k = 0; k < nodesZ; ++k) {
                nodes[i][j][k] = new (block + next++) MassNode(Vector3(x, y, z), nodeMass);
                z += spacing;
            }
            y += spacing;
        }
        x += spacing;
    }

    std::cerr << "initializing springs...\n";
    initSprings();
    std::cerr << "initializing faces...\n";
    std::cerr << "wobble has been created\n";
}

SoftBody& SoftBody::operator=(const SoftBody& other) {
    if (this == &other) return *this;
    nodesX = other.nodesX;
    nodesY = other.nodesY;
    nodesZ = other.nodesZ;
    cellsX = other.cellsX;
    cellsY = other.cellsY;
    cellsZ = other.cellsZ;
    spacing = other.spacing;
    nodeMass = other.nodeMass;
    stiffness = other.stiffness;
    damping = other.damping;
    gravityOn = other.gravityOn;
    nodes = other.nodes;
    springs = other.springs;
    floorY = other.floorY;
    wallXMax = other.wallXMax;
    wallXMin = other.wallXMin;
    return *this;
}

void SoftBody::enableGravity() {
    gravityOn = true;
}

void SoftBody::fixNode(int i, int j, int k) {
    nodes[i][j][k]->fix();
}

void SoftBody::setNodeMass(int i, int j, int k, double m) {
    nodes[i][j][k]->mass = m;
}

void SoftBody::initSprings() {
    std::size_t count = springCount(nodesX, nodesY, nodesZ);
    Spring* block = foreverBlock<Spring>(count);
    std::size_t used = 0;
    springs.reserve(springs.size() + count);
    auto make = [&](MassNode* a, MassNode* b, double restLength) {
        // Only a repeated call can outgrow the block; give it storage of its own.
        Spring* slot = used < count ? block + used++ : foreverBlock<Spring>(1);
        addSpring(new (slot) Spring(a, b, restLength, stiffness, damping), a, b);
    };
    auto& n = nodes;

    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) {
                if (i < nodesX - 1) make(n[i][j][k], n[i + 1][j][k], spacing);
                if (j < nodesY - 1) make(n[i][j][k], n[i][j + 1][k], spacing);
                if (k < nodesZ - 1) make(n[i][j][k], n[i][j][k + 1], spacing);
            }
        }
    }

    double cellDiagonal = std::sqrt((3.0 * spacing) * spacing);
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) {
                if (i < nodesX - 1 && j < nodesY - 1 && k < nodesZ - 1) {
                    make(n[i][j][k], n[i + 1][j + 1][k + 1], cellDiagonal);
                    make(n[i + 1][j][k], n[i][j + 1][k + 1], cellDiagonal);
                    make(n[i + 1][j][k + 1], n[i][j + 1][k], cellDiagonal);
                    make(n[i][j][k + 1], n[i + 1][j + 1][k], cellDiagonal);
                }
            }
        }
    }

    double faceDiagonal = std::sqrt((2.0 * spacing) * spacing);
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) {
                if (i < nodesX - 1 && j < nodesY - 1) {
                    make(n[i][j][k], n[i + 1][j + 1][k], faceDiagonal);
                    make(n[i + 1][j][k], n[i][j + 1][k], faceDiagonal);
                }
                if (k < nodesZ - 1 && j < nodesY - 1) {
                    make(n[i][j][k], n[i][j + 1][k + 1], faceDiagonal);
                    make(n[i][j][k + 1], n[i][j + 1][k], faceDiagonal);
                }
                if (i < nodesX - 1 && k < nodesZ - 1) {
                    make(n[i][j][k], n[i + 1][j][k + 1], faceDiagonal);
                    make(n[i][j][k + 1], n[i + 1][j][k], faceDiagonal);
                }
            }
        }
    }
}

void SoftBody::addSpring(Spring* spring, MassNode* first, MassNode* second) {
    springs.push_back(spring);
    first->springs.push_back(spring);
    second->springs.push_back(spring);
    first->springEnds.push_back(1);
    second->springEnds.push_back(2);
}

void SoftBody::printNodes() const {
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) nodes[i][j][k]->print();
        }
    }
}

void SoftBody::printSprings() const {
    std::cerr << springs.size() << " springs: ";
    for (const Spring* s : springs) s->print();
}

void SoftBody::computeSpringForces() {
    for (Spring* s : springs) s->computeForces();
}

void SoftBody::step(double dt) {
    // Spring forces were all computed from the state before the step and no
    // node reads another here, so the visiting order cannot change the result.
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) {
                MassNode* node = nodes[i][j][k];
                node->clearForce();
                if (gravityOn) node->applyGravity();
                node->gatherSpringForces();
                node->applyPendingForce();
                // Contact tests use the position left by the previous step.
                if (node->position.y <= floorY) node->collide(Vector3(0.0, 1.0, 0.0));
                if (node->position.x <= wallXMin) node->collide(Vector3(1.0, 0.0, 0.0));
                if (node->position.x >= wallXMax) node->collide(Vector3(-1.0, 0.0, 0.0));
                node->integrate(dt);
            }
        }
    }
}

void SoftBody::poke(int kind) {
    double h = spacing * 0.5;
    double p = (spacing - h) * stiffness;
    if (kind == 0 || kind == 1) {
        // An empty lattice has no side to push.
        if (nodesX <= 0) return;
        int i = kind == 0 ? 0 : nodesX - 1;
        Vector3 push = kind == 0 ? Vector3(p, 0.0, 0.0) : Vector3(-p, 0.0, 0.0);
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) nodes[i][j][k]->addPendingForce(push);
        }
    } else if (kind == 2) {
        if (nodesY <= 0) return;
        Vector3 push(0.0, p, 0.0);
        for (int i = 0; i < nodesX; ++i) {
            for (int k = 0; k < nodesZ; ++k) nodes[i][0][k]->addPendingForce(push);
        }
    }
}
