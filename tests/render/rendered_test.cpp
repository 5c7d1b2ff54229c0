// wobble2rib's frames rendered by a real RenderMan renderer (label render,
// skipped without one): the renderer says nothing, and the picture shows what
// the window shows, where the window shows it.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "scene/sceneargs.h"
#include "sim/surface.h"
#include "tests/support/childprocess.h"
#include "tests/support/glcamera.h"
#include "tests/support/picture.h"

namespace {

constexpr int kSize = 300;  // the window's
using Colour = std::array<int, 3>;
using Picture = std::vector<Colour>;  // kSize x kSize, row by row from the top left
using Mask = std::vector<bool>;       // the same

// Frame `frame` of wobble2rib with `args`, written as a file in `dir` and
// rendered there without a word from the renderer; the picture.
Picture render(const std::string& dir, std::vector<std::string> args, long frame,
               const std::string& suffix) {
    args.insert(args.end(), {"--image", dir + "/f.%d.tif", "-o", dir + "/f.%d" + suffix});
    ChildOutcome made = runChild(WOBBLE2RIB, args);
    EXPECT_EQ(made.status, 0) << made.err;
    const std::string name = "f." + std::to_string(frame);
    renderQuietly(dir, name + suffix);
    Picture p;
    for (uint32_t v : readPixels(dir + "/" + name + ".tif", kSize, kSize))
        p.push_back({int(TIFFGetR(v)), int(TIFFGetG(v)), int(TIFFGetB(v))});
    EXPECT_EQ(p.size(), std::size_t(kSize * kSize)) << "no picture of the window's size";
    return p;
}

struct Point {
    double x, y;
};

// Where the window draws a node, the springs turned by `model`.
Point onWindow(const Vector3& v, const Mat4& model = identity4()) {
    double scene[3] = {float(v.x), float(v.y), float(v.z)}, pixel[2];
    windowPixel(model, scene, kSize, kSize, pixel);
    return {pixel[0], pixel[1]};
}

// The pixels whose centres the window's projection of the quads covers,
// grown (r > 0) or shrunk (r < 0) by |r| pixels.
Mask cover(const std::vector<SurfaceQuad>& quads, const std::vector<Vector3>& at, int r = 0) {
    auto side = [](Point a, Point b, Point p) {
        return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
    };
    Mask in(kSize * kSize, false);
    for (const SurfaceQuad& q : quads) {
        const Point c[4] = {onWindow(at[q[0]]), onWindow(at[q[1]]), onWindow(at[q[2]]),
                            onWindow(at[q[3]])};
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                for (int t = 1; t < 3; ++t) {
                    const Point p{x + 0.5, y + 0.5};
                    double s[3] = {side(c[0], c[t], p), side(c[t], c[t + 1], p),
                                   side(c[t + 1], c[0], p)};
                    if (std::min({s[0], s[1], s[2]}) >= 0 || std::max({s[0], s[1], s[2]}) <= 0)
                        in[y * kSize + x] = true;
                }
    }
    Mask out(in.size(), r < 0);
    const int d = std::abs(r);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            for (int v = std::max(0, y - d); v <= std::min(kSize - 1, y + d); ++v)
                for (int u = std::max(0, x - d); u <= std::min(kSize - 1, x + d); ++u)
                    if (in[v * kSize + u] == (r >= 0)) out[y * kSize + x] = r >= 0;
    return out;
}

bool isRed(const Colour& c) {
    return c[0] >= 48 && c[0] >= 2 * std::max(c[1], c[2]);
}
bool isDark(const Colour& c) {
    return std::max({c[0], c[1], c[2]}) < 16;
}

// The box as the window draws it: red over at least 80% of its silhouette,
// centred within 2 px of it, on black; and of the faces turned to the
// camera, the one most turned to the window's lights clearly brighter than
// the one least turned to them.
void expectBox(const Picture& p, const World& world) {
    const int ny = world.nodesY, nz = world.nodesZ;
    const std::vector<SurfaceQuad> quads = outerQuads(world.nodesX, ny, nz);
    const std::vector<Vector3> at = nodePositions(world);
    const Mask silhouette = cover(quads, at), near = cover(quads, at, 2);
    long inside = 0, redInside = 0, red = 0, strays = 0;
    double sx = 0, sy = 0, rx = 0, ry = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool in = silhouette[y * kSize + x], r = isRed(p[y * kSize + x]);
            inside += in, redInside += in && r, red += r;
            if (in) sx += x, sy += y;
            if (r) rx += x, ry += y;
            strays += !near[y * kSize + x] && !isDark(p[y * kSize + x]);
        }
    ASSERT_GT(inside, 500);
    ASSERT_GT(red, 0);
    EXPECT_GE(double(redInside) / inside, 0.8) << redInside << " of " << inside;
    EXPECT_LE(std::hypot(rx / red - sx / inside, ry / red - sy / inside), 2.0)
        << "red centroid (" << rx / red << ", " << ry / red << "), silhouette's (" << sx / inside
        << ", " << sy / inside << ")";
    EXPECT_EQ(strays, 0) << "pixels lit away from the box";

    // The six faces: the quads whose corners share one lattice index.
    std::map<int, std::vector<SurfaceQuad>> faces;
    auto index = [&](int v, int axis) {
        return axis == 0 ? v / (ny * nz) : axis == 1 ? v / nz % ny : v % nz;
    };
    for (const SurfaceQuad& q : quads)
        for (int axis = 0; axis < 3; ++axis)
            if (index(q[0], axis) == index(q[2], axis))
                faces[2 * axis + (index(q[0], axis) > 0)].push_back(q);
    const Vector3 lights[] = {{-3, 1, 2}, {1, -1, 3}};
    const Vector3 toCamera = (Vector3(2, 3, 5) - Vector3(0, 4, 0)).normalized();
    double brightest = 0, dimmest = 0, mostLit = -1, leastLit = 1e9;
    for (const auto& [key, face] : faces) {
        Vector3 normal, middle;
        for (const SurfaceQuad& q : face) {
            normal = normal + (at[q[1]] - at[q[0]]).cross(at[q[2]] - at[q[0]]);
            middle = middle + (at[q[0]] + at[q[2]]) / (2.0 * face.size());
        }
        normal = normal.normalized();
        const Mask pixels = cover(face, at, -2);  // clear of the edges
        double sum = 0;
        long count = 0;
        for (int i = 0; i < kSize * kSize; ++i)
            if (pixels[i]) sum += p[i][0], ++count;
        if (normal.dot(toCamera) < 0.2 || count < 30) continue;  // hidden or seen edge-on
        double lit = 0;
        for (const Vector3& l : lights) lit += std::max(0.0, normal.dot((l - middle).normalized()));
        if (lit > mostLit) mostLit = lit, brightest = sum / count;
        if (lit < leastLit) leastLit = lit, dimmest = sum / count;
    }
    ASSERT_GT(mostLit, leastLit) << "fewer than two faces to compare";
    EXPECT_GE(brightest, dimmest + 30) << "a face turned to the lights is hardly brighter";
}

// Every spring of every chain, turned as the window turns it, bright all
// along; everything farther than 3 px from a spring black.
void expectChains(const Picture& p, const World& world) {
    const Mat4 tilt = rotation(15, 1, 1, 0);
    Mask near(kSize * kSize, false);
    long samples = 0, dim = 0, strays = 0;
    for (const SoftBody* chain : world.bodies)
        for (const Spring* s : chain->springs) {
            const Point a = onWindow(s->first->position, tilt),
                        b = onWindow(s->second->position, tilt);
            const int steps = 1 + int(2 * std::hypot(b.x - a.x, b.y - a.y));
            for (int n = 0; n <= steps; ++n, ++samples) {
                const int x = int(a.x + (b.x - a.x) * n / steps),
                          y = int(a.y + (b.y - a.y) * n / steps);
                int brightest = 0;
                for (int v = std::max(0, y - 3); v <= std::min(kSize - 1, y + 3); ++v)
                    for (int u = std::max(0, x - 3); u <= std::min(kSize - 1, x + 3); ++u) {
                        near[v * kSize + u] = true;
                        const Colour& c = p[v * kSize + u];
                        if (std::abs(u - x) <= 1 && std::abs(v - y) <= 1)
                            brightest = std::max(brightest, std::min({c[0], c[1], c[2]}));
                    }
                dim += brightest < 128;
            }
        }
    EXPECT_EQ(dim, 0) << "of " << samples << " points along the springs";
    for (int i = 0; i < kSize * kSize; ++i) strays += !near[i] && !isDark(p[i]);
    EXPECT_EQ(strays, 0) << "pixels lit away from the chains";
}

}  // namespace

// The box at frames 0 and 400 in text, binary and gzip, blurred just after a
// push while it moves, and the chains at rest.
TEST(Rendered, FramesShowWhatTheWindowShowsWhereItShowsIt) {
    NEED_RENDERER();
    TempDir dir("wobble2rib-rendered");
    const struct {
        SceneArgs scene;  // frames, every, pokes, ropes
        std::vector<std::string> args;
        std::string suffix;
    } cases[] = {
        {{0, 1, {}, false}, {"--frames", "0"}, ".rib"},
        {{400, 400, {}, false}, {"--frames", "400", "--every", "400"}, ".rib"},
        {{400, 400, {}, false}, {"--frames", "400", "--every", "400", "--binary"}, ".rib"},
        {{400, 400, {}, false}, {"--frames", "400", "--every", "400", "--gzip"}, ".rib.gz"},
        {{130, 130, {{126, 0}}, false},
         {"--frames", "130", "--every", "130", "--poke", "126:0", "--motion-blur"},
         ".rib"},
        {{600, 600, {}, true}, {"--ropes", "--frames", "600", "--every", "600"}, ".rib"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        World world;
        setUpScene(world, c.scene);
        runScene(world, c.scene, [](long, const World&) {});
        const Picture p = render(dir.path, c.args, c.scene.frames, c.suffix);
        if (p.size() != std::size_t(kSize * kSize)) continue;
        (c.scene.ropes ? expectChains : expectBox)(p, world);
    }
}
