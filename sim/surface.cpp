#include "sim/surface.h"

std::vector<SurfaceQuad> outerQuads(int nodesX, int nodesY, int nodesZ) {
    const int count[3] = {nodesX, nodesY, nodesZ};
    auto index = [&](const int at[3]) { return (at[0] * nodesY + at[1]) * nodesZ + at[2]; };
    std::vector<SurfaceQuad> quads;
    if (nodesX < 1 || nodesY < 1 || nodesZ < 1) return quads;  // no nodes, no skin
    for (int a = 0; a < 3; ++a) {
        // (a, b, c) is a cyclic order of the axes, so the unit vectors of b
        // and c cross into that of a: a cell walked b first, then c, faces +a.
        const int b = (a + 1) % 3, c = (a + 2) % 3;
        for (int high = 0; high < 2; ++high) {
            // One node thick: both sides are the same sheet.
            if (count[a] == 1 && !high) continue;
            for (int u = 0; u + 1 < count[b]; ++u) {
                for (int v = 0; v + 1 < count[c]; ++v) {
                    int at[4][3];
                    const int corner[4][2] = {{u, v}, {u + 1, v}, {u + 1, v + 1}, {u, v + 1}};
                    for (int n = 0; n < 4; ++n) {
                        at[n][a] = high ? count[a] - 1 : 0;
                        at[n][b] = corner[n][0];
                        at[n][c] = corner[n][1];
                    }
                    if (high) {
                        quads.push_back({index(at[0]), index(at[1]), index(at[2]), index(at[3])});
                    } else {
                        quads.push_back({index(at[0]), index(at[3]), index(at[2]), index(at[1])});
                    }
                }
            }
        }
    }
    return quads;
}

std::vector<Vector3> nodePositions(const SoftBody& body) {
    std::vector<Vector3> positions;
    // A lattice with a count below one has no nodes, not a huge number of them.
    if (body.nodesX > 0 && body.nodesY > 0 && body.nodesZ > 0)
        positions.reserve(std::size_t(body.nodesX) * body.nodesY * body.nodesZ);
    for (int i = 0; i < body.nodesX; ++i)
        for (int j = 0; j < body.nodesY; ++j)
            for (int k = 0; k < body.nodesZ; ++k) positions.push_back(body.nodes[i][j][k]->position);
    return positions;
}

std::vector<Vector3> vertexNormals(const std::vector<SurfaceQuad>& quads,
                                   const std::vector<Vector3>& positions) {
    std::vector<Vector3> normals(positions.size());
    for (const SurfaceQuad& q : quads) {
        // The cross product of the diagonals is twice the area vector of the
        // quad, also when it is bent out of its plane.
        Vector3 n = (positions[q[2]] - positions[q[0]]).cross(positions[q[3]] - positions[q[1]]);
        for (int v : q) normals[v] += n;
    }
    for (Vector3& n : normals) n = n.normalized();
    return normals;
}
