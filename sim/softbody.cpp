#include "sim/softbody.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <map>
#include <new>

#include "sim/lifetime.h"

namespace {

std::size_t nodeCount(int nx, int ny, int nz) {
    if (nx <= 0 || ny <= 0 || nz <= 0) return 0;
    return std::size_t(nx) * std::size_t(ny) * std::size_t(nz);
}

// The three passes of spring creation over lattice indices, in creation
// order: visit(first, second, restLength), each node as (i, j, k).
template <class Visit>
void forEachSpring(int nx, int ny, int nz, double spacing, Visit visit) {
    struct Index {
        int i, j, k;
    };
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            for (int k = 0; k < nz; ++k) {
                if (i < nx - 1) visit(Index{i, j, k}, Index{i + 1, j, k}, spacing);
                if (j < ny - 1) visit(Index{i, j, k}, Index{i, j + 1, k}, spacing);
                if (k < nz - 1) visit(Index{i, j, k}, Index{i, j, k + 1}, spacing);
            }
        }
    }

    double cell = std::sqrt((3.0 * spacing) * spacing);
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            for (int k = 0; k < nz; ++k) {
                if (i < nx - 1 && j < ny - 1 && k < nz - 1) {
                    visit(Index{i, j, k}, Index{i + 1, j + 1, k + 1}, cell);
                    visit(Index{i + 1, j, k}, Index{i, j + 1, k + 1}, cell);
                    visit(Index{i + 1, j, k + 1}, Index{i, j + 1, k}, cell);
                    visit(Index{i, j, k + 1}, Index{i + 1, j + 1, k}, cell);
                }
            }
        }
    }

    double face = std::sqrt((2.0 * spacing) * spacing);
    for (int i = 0; i < nx; ++i) {
        for (int j = 0; j < ny; ++j) {
            for (int k = 0; k < nz; ++k) {
                if (i < nx - 1 && j < ny - 1) {
                    visit(Index{i, j, k}, Index{i + 1, j + 1, k}, face);
                    visit(Index{i + 1, j, k}, Index{i, j + 1, k}, face);
                }
                if (k < nz - 1 && j < ny - 1) {
                    visit(Index{i, j, k}, Index{i, j + 1, k + 1}, face);
                    visit(Index{i, j, k + 1}, Index{i, j + 1, k}, face);
                }
                if (i < nx - 1 && k < nz - 1) {
                    visit(Index{i, j, k}, Index{i + 1, j, k + 1}, face);
                    visit(Index{i, j, k + 1}, Index{i + 1, j, k}, face);
                }
            }
        }
    }
}

// Where each node's springs start in one list of all nodes' springs, in
// lattice order, and one past the last: a node's count is the difference.
std::vector<std::size_t> listStarts(int nx, int ny, int nz) {
    std::vector<std::size_t> starts(nodeCount(nx, ny, nz) + 1, 0);
    auto flat = [&](auto n) { return (std::size_t(n.i) * ny + n.j) * nz + n.k; };
    forEachSpring(nx, ny, nz, 0.0, [&](auto a, auto b, double) {
        ++starts[flat(a) + 1];
        ++starts[flat(b) + 1];
    });
    for (std::size_t n = 1; n < starts.size(); ++n) starts[n] += starts[n - 1];
    return starts;
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
    // A counting pass first, so that the springs fill one block exactly and
    // every node's lists are allocated once, in lattice order, instead of
    // growing and scattering over the heap.
    std::vector<std::size_t> starts = listStarts(nodesX, nodesY, nodesZ);
    std::size_t count = starts.back() / 2;
    std::size_t at = 0;
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k, ++at) {
                MassNode* n = nodes[i][j][k];
                std::size_t more = starts[at + 1] - starts[at];
                n->springs.reserve(n->springs.size() + more);
                n->springEnds.reserve(n->springEnds.size() + more);
            }
        }
    }

    Spring* block = foreverBlock<Spring>(count);
    Spring* next = block;
    springs.reserve(springs.size() + count);
    forEachSpring(nodesX, nodesY, nodesZ, spacing, [&](auto a, auto b, double restLength) {
        MassNode* first = nodes[a.i][a.j][a.k];
        MassNode* second = nodes[b.i][b.j][b.k];
        addSpring(new (next++) Spring(first, second, restLength, stiffness, damping), first,
                  second);
    });
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

namespace {

// The rest of a node's step once its spring forces are in.
void finishNode(MassNode* node, const SoftBody& body, double dt) {
    node->applyPendingForce();
    // Contact tests use the position left by the previous step.
    if (node->position.y <= body.floorY) node->collide(Vector3(0.0, 1.0, 0.0));
    if (node->position.x <= body.wallXMin) node->collide(Vector3(1.0, 0.0, 0.0));
    if (node->position.x >= body.wallXMax) node->collide(Vector3(-1.0, 0.0, 0.0));
    node->integrate(dt);
}

}  // namespace

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
                finishNode(node, *this, dt);
            }
        }
    }
}

void SoftBody::computeAndStep(double dt) {
    if (scatterStep(dt)) return;
    // Nothing the attempt did survives this: the springs compute the same
    // forces again and every node clears its force before gathering.
    computeSpringForces();
    step(dt);
}

namespace {

// How a body is wired when it is as it was built: for each node, its list of
// springs and ends, all lists one after the other; and each spring's nodes.
// Worked out once per body, from its dimensions and the addresses of its node
// and spring blocks, and kept: blocks are never freed, so the spring block's
// address names the body for good, and whatever a caller changes later shows
// up as a difference.
struct Wiring {
    int nodesX, nodesY, nodesZ;
    std::uintptr_t nodeBase, springBase;
    std::vector<std::size_t> listStart;  // per node, and one past the last
    std::vector<Spring*> listSprings;
    std::vector<int> listEnds;
    std::vector<std::uintptr_t> ends;  // first and second node of each spring
};

std::uintptr_t address(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

void prefetchLines(const void* p, int lines) {
    for (int line = 0; line < lines; ++line) {
        __builtin_prefetch(static_cast<const char*>(p) + 64 * line, 1);
    }
}

// For a body with at least one node.
const Wiring& wiringOf(const SoftBody& body) {
    static std::map<std::uintptr_t, Wiring> bodies;
    int nx = body.nodesX, ny = body.nodesY, nz = body.nodesZ;
    std::uintptr_t nodeBase = address(body.nodes[0][0][0]);
    std::uintptr_t springBase = body.springs.empty() ? 0 : address(body.springs[0]);
    Wiring& wiring = bodies[springBase];
    if (wiring.nodeBase == nodeBase && wiring.nodesX == nx && wiring.nodesY == ny &&
        wiring.nodesZ == nz && !wiring.listStart.empty()) {
        return wiring;
    }

    auto flat = [&](auto n) { return (std::size_t(n.i) * ny + n.j) * nz + n.k; };
    wiring = Wiring{nx, ny, nz, nodeBase, springBase, listStarts(nx, ny, nz), {}, {}, {}};
    std::size_t springCount = wiring.listStart.back() / 2;
    wiring.listSprings.resize(2 * springCount);
    wiring.listEnds.resize(2 * springCount);
    wiring.ends.reserve(2 * springCount);
    std::vector<std::size_t> next(wiring.listStart.begin(), wiring.listStart.end() - 1);
    std::size_t place = 0;
    forEachSpring(nx, ny, nz, 0.0, [&](auto a, auto b, double) {
        std::size_t atFirst = next[flat(a)]++, atSecond = next[flat(b)]++;
        wiring.listSprings[atFirst] = wiring.listSprings[atSecond] =
            reinterpret_cast<Spring*>(springBase + place++ * sizeof(Spring));
        wiring.listEnds[atFirst] = 1;
        wiring.listEnds[atSecond] = 2;
        wiring.ends.push_back(nodeBase + flat(a) * sizeof(MassNode));
        wiring.ends.push_back(nodeBase + flat(b) * sizeof(MassNode));
    });
    return wiring;
}

}  // namespace

// Gathering makes each node read its springs' stored forces back long after
// they were written, which misses the cache on large bodies. Here each spring
// adds its forces to both ends the moment it computes them instead. A node
// then sums exactly the same terms in exactly the same order as its gather
// would, provided its spring list is the body's springs that touch it, in the
// body's order, with the right ends. That holds for a body wired as it was
// built, and that is checked in full every step, walking memory in order.
// Returns false, before any node has moved, for any other body.
bool SoftBody::scatterStep(double dt) {
    std::size_t count = nodeCount(nodesX, nodesY, nodesZ);
    if (count == 0) return false;
    const Wiring& wiring = wiringOf(*this);
    std::size_t springCount = springs.size();
    if (wiring.ends.size() != 2 * springCount) return false;

    Spring* const* wantSprings = wiring.listSprings.data();
    const int* wantEnds = wiring.listEnds.data();
    std::size_t at = 0;
    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k, ++at) {
                MassNode* node = nodes[i][j][k];
                std::size_t from = wiring.listStart[at], listed = wiring.listStart[at + 1] - from;
                // Addresses are compared as integers: a pointer from anywhere
                // else must fail the comparison, not make it undefined.
                if (address(node) != wiring.nodeBase + at * sizeof(MassNode) ||
                    node->springs.size() != listed || node->springEnds.size() < listed ||
                    !std::equal(node->springs.begin(), node->springs.end(), wantSprings + from) ||
                    !std::equal(wantEnds + from, wantEnds + from + listed,
                                node->springEnds.begin())) {
                    return false;
                }
                node->clearForce();
                if (gravityOn) node->applyGravity();
            }
        }
    }

    const std::uintptr_t* ends = wiring.ends.data();
    // A body larger than the caches comes from main memory: ask for it well
    // before use, and the arithmetic of a few springs hides the wait. The
    // lines are the three a spring spans and each end's position, velocity
    // and force.
    bool large = springCount * sizeof(Spring) > (std::size_t(1) << 20);
    for (std::size_t s = 0; s < springCount; ++s) {
        if (large && s + 16 < springCount) {
            prefetchLines(springs[s + 16], 3);
            prefetchLines(springs[s + 8]->first, 3);
            prefetchLines(springs[s + 8]->second, 3);
        }
        Spring* spring = springs[s];
        MassNode* first = spring->first;
        MassNode* second = spring->second;
        if (address(spring) != wiring.springBase + s * sizeof(Spring) ||
            address(first) != ends[2 * s] ||
            address(second) != ends[2 * s + 1]) {
            return false;
        }
        spring->computeForces();
        first->force += spring->forceOnFirst;
        second->force += spring->forceOnSecond;
    }

    for (int i = 0; i < nodesX; ++i) {
        for (int j = 0; j < nodesY; ++j) {
            for (int k = 0; k < nodesZ; ++k) finishNode(nodes[i][j][k], *this, dt);
        }
    }
    return true;
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
