#include "sim/surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "tests/support/capture.h"

namespace {

SoftBody body(int nodesX, int nodesY, int nodesZ) {
    SoftBody b;
    captureStderr([&] { b = SoftBody(nodesX - 1, nodesY - 1, nodesZ - 1, 0.5, 2000.0, 0.02, 0.55); });
    return b;
}

// How often each directed edge occurs among the quads' boundaries.
std::map<std::pair<int, int>, int> directedEdges(const std::vector<SurfaceQuad>& quads) {
    std::map<std::pair<int, int>, int> edges;
    for (const SurfaceQuad& q : quads)
        for (int n = 0; n < 4; ++n) ++edges[{q[n], q[(n + 1) % 4]}];
    return edges;
}

Vector3 quadNormal(const SurfaceQuad& q, const std::vector<Vector3>& p) {
    return (p[q[1]] - p[q[0]]).cross(p[q[2]] - p[q[0]]);
}

}  // namespace

TEST(Surface, ClosedBoxesAreWatertightAndFaceOutwards) {
    const int sizes[][3] = {{2, 2, 2}, {4, 4, 4}, {3, 5, 2}, {2, 3, 4}, {5, 2, 3}};
    for (const auto& s : sizes) {
        SCOPED_TRACE(testing::Message() << s[0] << "x" << s[1] << "x" << s[2]);
        std::vector<SurfaceQuad> quads = outerQuads(s[0], s[1], s[2]);
        const int cx = s[0] - 1, cy = s[1] - 1, cz = s[2] - 1;
        EXPECT_EQ(quads.size(), std::size_t(2 * (cx * cy + cy * cz + cx * cz)));

        // Shared by exactly two quads, walked once each way: one consistent
        // winding over a closed surface.
        for (const auto& [edge, count] : directedEdges(quads)) {
            EXPECT_EQ(count, 1) << edge.first << "-" << edge.second;
            EXPECT_EQ(directedEdges(quads).count({edge.second, edge.first}), 1u)
                << edge.first << "-" << edge.second;
        }

        SoftBody b = body(s[0], s[1], s[2]);
        std::vector<Vector3> p = nodePositions(b);
        for (const SurfaceQuad& q : quads) {
            Vector3 centre = (p[q[0]] + p[q[1]] + p[q[2]] + p[q[3]]) * 0.25;
            Vector3 n = quadNormal(q, p).normalized();
            // The body is centred on the origin: outwards is away from it,
            // straight along one axis.
            EXPECT_GT(n.dot(centre), 0.0);
            EXPECT_DOUBLE_EQ(std::max({std::fabs(n.x), std::fabs(n.y), std::fabs(n.z)}), 1.0);
        }
    }
}

TEST(Surface, ThinLatticesGiveOneSheetOrNothing) {
    // One node thick along x: a 2 x 3 sheet of cells, each cell once, facing +x.
    std::vector<SurfaceQuad> sheet = outerQuads(1, 3, 4);
    ASSERT_EQ(sheet.size(), 6u);
    std::set<std::set<int>> distinct;
    for (const SurfaceQuad& q : sheet) distinct.insert({q[0], q[1], q[2], q[3]});
    EXPECT_EQ(distinct.size(), sheet.size());
    for (const auto& [edge, count] : directedEdges(sheet)) EXPECT_EQ(count, 1);  // one winding
    SoftBody b = body(1, 3, 4);
    std::vector<Vector3> p = nodePositions(b);
    for (const SurfaceQuad& q : sheet) EXPECT_GT(quadNormal(q, p).x, 0.0);
    for (const Vector3& n : vertexNormals(sheet, p)) EXPECT_EQ(n, Vector3(1, 0, 0));

    EXPECT_EQ(outerQuads(3, 1, 2).size(), 2u);
    // A chain, a single node, and lattices with no nodes.
    for (auto [x, y, z] : {std::tuple{7, 1, 1}, {1, 1, 1}, {0, 4, 4}, {-2, 4, 4}})
        EXPECT_TRUE(outerQuads(x, y, z).empty()) << x << "x" << y << "x" << z;
    EXPECT_TRUE(nodePositions(body(-2, 4, 4)).empty());  // a lattice with no nodes
}

TEST(Surface, VertexNormalsAreUnitAndOutwardAtRest) {
    SoftBody b = body(4, 4, 4);
    std::vector<Vector3> p = nodePositions(b);
    std::vector<SurfaceQuad> quads = outerQuads(4, 4, 4);
    std::vector<Vector3> normals = vertexNormals(quads, p);
    ASSERT_EQ(normals.size(), 64u);
    std::set<int> onSurface;
    for (const SurfaceQuad& q : quads) onSurface.insert(q.begin(), q.end());
    EXPECT_EQ(onSurface.size(), 56u);
    for (int v = 0; v < 64; ++v) {
        if (!onSurface.count(v)) {
            EXPECT_EQ(normals[v], Vector3(0, 0, 0)) << v;
            continue;
        }
        EXPECT_NEAR(normals[v].length(), 1.0, 1e-12) << v;
        EXPECT_GT(normals[v].dot(p[v]), 0.0) << v;
    }
    // A corner leans equally into its three faces; a face's middle node
    // points straight out of it.
    const double third = 1.0 / std::sqrt(3.0);
    EXPECT_NEAR((normals[0] + Vector3(third, third, third)).length(), 0.0, 1e-12);
    EXPECT_EQ(normals[(3 * 4 + 1) * 4 + 2], Vector3(1, 0, 0));
}
