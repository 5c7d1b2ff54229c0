#pragma once

#include <vector>

#include "sim/massnode.h"
#include "sim/spring.h"

// A deformable box: a lattice of nodes joined along edges, face diagonals and
// cell diagonals. Nodes and springs live for the whole process and are shared
// by every copy of the body; copies and destruction touch the containers only.
class SoftBody {
  public:
    int nodesX = 0, nodesY = 0, nodesZ = 0;
    int cellsX = 0, cellsY = 0, cellsZ = 0;
    double spacing = 0.0;
    double nodeMass = 0.0;
    double stiffness = 0.0;
    double damping = 0.0;
    bool gravityOn = false;
    std::vector<std::vector<std::vector<MassNode*>>> nodes;  // [x][y][z]
    std::vector<Spring*> springs;                            // creation order
    double floorY = -1.0;
    double wallXMax = 4.0;
    double wallXMin = -4.0;

    SoftBody() = default;
    SoftBody(int cellsX, int cellsY, int cellsZ, double spacing, double stiffness, double damping,
             double nodeMass);
    SoftBody(const SoftBody&) = default;
    SoftBody& operator=(const SoftBody& other);
    ~SoftBody() = default;

    void enableGravity();
    void fixNode(int i, int j, int k);
    void setNodeMass(int i, int j, int k, double m);
    void initSprings();
    void addSpring(Spring* spring, MassNode* first, MassNode* second);
    void printNodes() const;
    void printSprings() const;

    void computeSpringForces();
    void step(double dt);
    void poke(int kind);

    // Defined by the view library: the sim library has no OpenGL.
    void drawFaces();
    void drawSprings();

  private:
    friend class World;
    // computeSpringForces followed by step(dt), with the same result, but in
    // one walk over the springs wherever the body's structure allows it.
    void computeAndStep(double dt);
    bool scatterStep(double dt);
};
