#pragma once

#include <array>
#include <vector>

#include "sim/softbody.h"
#include "sim/vector3.h"

// The outer skin of a lattice body, for writers that need it as a mesh. Nodes
// are named by their lattice index (i * nodesY + j) * nodesZ + k, the order
// in which nodePositions lists them.
using SurfaceQuad = std::array<int, 4>;

// The cells of the lattice's outer faces, each wound counter-clockwise as
// seen from outside the body, so that (v1 - v0) x (v2 - v0) points outwards.
// A lattice one node thick along an axis is a sheet: it gets its cells once,
// facing the positive end of that axis, not once per side; a lattice one
// node thick along two or three axes has no faces.
std::vector<SurfaceQuad> outerQuads(int nodesX, int nodesY, int nodesZ);

// Every node's position, in lattice index order.
std::vector<Vector3> nodePositions(const SoftBody& body);

// Smooth unit normals, one per position: each node's adjacent quads weighted
// by their area. A node on no quad gets the zero vector.
std::vector<Vector3> vertexNormals(const std::vector<SurfaceQuad>& quads,
                                   const std::vector<Vector3>& positions);
