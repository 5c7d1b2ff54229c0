// wobble2rib's frames rendered by a real RenderMan renderer and looked at:
// the renderer must say nothing, and the picture must show what the window
// shows, where the window shows it. Skipped where no renderer is found.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "scene/sceneargs.h"
#include "sim/surface.h"
#include "tests/support/childprocess.h"
#include "tests/support/glcamera.h"

namespace {

constexpr int kSize = 300;  // the window's

// The command that renders a RIB file named as its last word, in the current
// folder: $WOBBLE_RENDERER, else aqsis when it is on PATH, else none.
std::string renderer() {
    const char* named = std::getenv("WOBBLE_RENDERER");
    if (named && *named) return named;
    std::istringstream path(std::getenv("PATH") ? std::getenv("PATH") : "");
    for (std::string folder; std::getline(path, folder, ':');) {
        if (!folder.empty() && access((folder + "/aqsis").c_str(), X_OK) == 0) return "aqsis";
    }
    return "";
}

#define NEED_RENDERER()     \
    if (renderer().empty()) \
    GTEST_SKIP() << "no renderer: aqsis is not on PATH and WOBBLE_RENDERER names no command"

struct Picture {
    int width = 0, height = 0;
    std::vector<std::array<int, 3>> rgb;  // row by row from the top left
    const std::array<int, 3>& at(int x, int y) const { return rgb[std::size_t(y) * width + x]; }
};

Picture readTiff(const std::string& path) {
    Picture p;
    TIFFSetWarningHandler(nullptr);
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff) {
        ADD_FAILURE() << "no picture " << path;
        return p;
    }
    uint32_t w = 0, h = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
    std::vector<uint32_t> raster(std::size_t(w) * h);
    if (TIFFReadRGBAImageOriented(tiff, w, h, raster.data(), ORIENTATION_TOPLEFT, 0)) {
        p.width = int(w);
        p.height = int(h);
        for (uint32_t v : raster)
            p.rgb.push_back({int(TIFFGetR(v)), int(TIFFGetG(v)), int(TIFFGetB(v))});
    } else {
        ADD_FAILURE() << "cannot read " << path;
    }
    TIFFClose(tiff);
    return p;
}

// wobble2rib's frame `frame` of `args` as a RIB file in `dir`, rendered
// there; fails on any word from the renderer. The picture as read back.
Picture render(const std::string& dir, std::vector<std::string> args, long frame,
               const std::string& suffix = ".rib") {
    std::string name = "frame.%04d";
    args.insert(args.end(),
                {"--image", dir + "/" + name + ".tif", "-o", dir + "/" + name + suffix});
    ChildOutcome made = runChild(WOBBLE2RIB, args);
    EXPECT_EQ(made.status, 0) << made.err;
    char rib[32];
    std::snprintf(rib, sizeof rib, "frame.%04ld", frame);
    ChildOutcome rendered = runInChild([&] {
        if (chdir(dir.c_str()) != 0) _exit(120);
        execl("/bin/sh", "sh", "-c", (renderer() + " \"$1\"").c_str(), "sh",
              (std::string(rib) + suffix).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    });
    EXPECT_EQ(rendered.status, 0);
    EXPECT_EQ(rendered.out + rendered.err, "")
        << "the renderer says something of " << rib << suffix;
    Picture p = readTiff(dir + "/" + rib + ".tif");
    EXPECT_EQ(p.width, kSize);
    EXPECT_EQ(p.height, kSize);
    return p;
}

// The world as wobble2rib has it at the last frame of `args`.
const World& simulate(World& world, const SceneArgs& args) {
    setUpScene(world, args);
    runScene(world, args, [](long, const World&) {});
    return world;
}

struct Point {
    double x, y;
};

Point onWindow(const Vector3& v, const Mat4& model) {
    double scene[3] = {double(float(v.x)), double(float(v.y)), double(float(v.z))}, pixel[2];
    windowPixel(model, scene, kSize, kSize, pixel);
    return {pixel[0], pixel[1]};
}

Mat4 unit() {
    Mat4 m;
    m.m[0] = m.m[5] = m.m[10] = m.m[15] = 1;
    return m;
}

double side(Point a, Point b, Point p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

bool inTriangle(Point a, Point b, Point c, Point p) {
    double s1 = side(a, b, p), s2 = side(b, c, p), s3 = side(c, a, p);
    return (s1 >= 0 && s2 >= 0 && s3 >= 0) || (s1 <= 0 && s2 <= 0 && s3 <= 0);
}

using Mask = std::vector<bool>;  // kSize x kSize, row by row

// The pixels whose centres the window's projection of the quads covers.
Mask cover(const std::vector<SurfaceQuad>& quads, const std::vector<Vector3>& positions) {
    Mask mask(kSize * kSize, false);
    for (const SurfaceQuad& q : quads) {
        Point c[4];
        for (int n = 0; n < 4; ++n) c[n] = onWindow(positions[q[n]], unit());
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x) {
                Point p{x + 0.5, y + 0.5};
                if (inTriangle(c[0], c[1], c[2], p) || inTriangle(c[0], c[2], c[3], p))
                    mask[y * kSize + x] = true;
            }
    }
    return mask;
}

// The mask grown (r > 0) or shrunk (r < 0) by |r| pixels in every direction.
Mask grow(const Mask& m, int r) {
    Mask out(m.size(), r < 0);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            for (int dy = -std::abs(r); dy <= std::abs(r); ++dy)
                for (int dx = -std::abs(r); dx <= std::abs(r); ++dx) {
                    int u = x + dx, v = y + dy;
                    bool set = u >= 0 && v >= 0 && u < kSize && v < kSize && m[v * kSize + u];
                    if (r > 0 && set) out[y * kSize + x] = true;
                    if (r < 0 && !set) out[y * kSize + x] = false;
                }
    return out;
}

bool isRed(const std::array<int, 3>& c) {
    return c[0] >= 48 && c[0] >= 2 * std::max(c[1], c[2]);
}
bool isDark(const std::array<int, 3>& c) {
    return std::max({c[0], c[1], c[2]}) < 16;
}

// The box as the window draws it: red over at least 80% of its silhouette,
// centred within 2 px of it, on black; and of the faces turned to the
// camera, the one most turned to the window's lights brighter than the one
// least turned to them.
void expectBox(const Picture& p, const World& world) {
    ASSERT_EQ(p.width, kSize);
    const std::vector<SurfaceQuad> quads = outerQuads(world.nodesX, world.nodesY, world.nodesZ);
    const std::vector<Vector3> positions = nodePositions(world);
    const Mask silhouette = cover(quads, positions), near = grow(silhouette, 2);
    long inside = 0, redInside = 0, red = 0, strays = 0;
    double sx = 0, sy = 0, rx = 0, ry = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const bool in = silhouette[y * kSize + x], r = isRed(p.at(x, y));
            inside += in, redInside += in && r, red += r;
            if (in) sx += x, sy += y;
            if (r) rx += x, ry += y;
            if (!near[y * kSize + x] && !isDark(p.at(x, y))) ++strays;
        }
    ASSERT_GT(inside, 500);
    ASSERT_GT(red, 0);
    EXPECT_GE(double(redInside) / inside, 0.8) << redInside << " of " << inside;
    EXPECT_LE(std::hypot(rx / red - sx / inside, ry / red - sy / inside), 2.0)
        << "red centroid (" << rx / red << ", " << ry / red << "), silhouette's (" << sx / inside
        << ", " << sy / inside << ")";
    EXPECT_EQ(strays, 0) << "pixels lit away from the box";

    // Each face of the lattice: its quads share the fixed index of their nodes.
    const Vector3 lights[] = {{-3, 1, 2}, {1, -1, 3}};
    const Vector3 toCamera = (Vector3(2, 3, 5) - Vector3(0, 4, 0)).normalized();
    double brightest = -1, dimmest = 1e9, mostLit = -1, leastLit = 1e9;
    for (int face = 0; face < 6; ++face) {
        std::vector<SurfaceQuad> own;
        Vector3 normal, middle;
        for (const SurfaceQuad& q : quads) {
            const int fixedAxis = face / 2, size[3] = {world.nodesX, world.nodesY, world.nodesZ};
            auto index = [&](int v) {
                int i = v / (world.nodesY * world.nodesZ), j = v / world.nodesZ % world.nodesY,
                    k = v % world.nodesZ;
                return fixedAxis == 0 ? i : fixedAxis == 1 ? j : k;
            };
            const int want = face % 2 ? size[fixedAxis] - 1 : 0;
            if (index(q[0]) != want || index(q[1]) != want || index(q[2]) != want) continue;
            own.push_back(q);
            normal = normal +
                     (positions[q[1]] - positions[q[0]]).cross(positions[q[2]] - positions[q[0]]);
            for (int v : q) middle = middle + positions[v] / 4;
        }
        if (own.empty()) continue;
        normal = normal.normalized();
        middle = middle / double(own.size());
        if (normal.dot(toCamera) < 0.2) continue;  // hidden or seen edge-on
        const Mask pixels = grow(cover(own, positions), -2);
        double sum = 0;
        long count = 0;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                if (pixels[y * kSize + x]) sum += p.at(x, y)[0], ++count;
        if (count < 30) continue;
        double lit = 0;
        for (const Vector3& light : lights)
            lit += std::max(0.0, normal.dot((light - middle).normalized()));
        if (lit > mostLit) mostLit = lit, brightest = sum / count;
        if (lit < leastLit) leastLit = lit, dimmest = sum / count;
    }
    ASSERT_GT(mostLit, leastLit) << "fewer than two faces to compare";
    EXPECT_GE(brightest, dimmest + 30) << "a face turned to the lights is hardly brighter";
}

}  // namespace

TEST(Rendered, TheBoxAtFramesZeroAndFourHundredInTextBinaryAndGzip) {
    NEED_RENDERER();
    TempDir dir("wobble2rib-rendered");
    World start, settled;
    SceneArgs zero, fourHundred;
    zero.frames = 0;
    simulate(start, zero);
    simulate(settled, fourHundred);
    const std::vector<std::string> scene = {"--frames", "400", "--every", "400"};
    struct Variant {
        std::vector<std::string> options;
        long frame;
        std::string suffix;
        const World& world;
    };
    const Variant variants[] = {{{}, 0, ".rib", start},
                                {{}, 400, ".rib", settled},
                                {{"--binary"}, 400, ".rib", settled},
                                {{"--gzip"}, 400, ".rib.gz", settled}};
    for (const Variant& v : variants) {
        SCOPED_TRACE("frame " + std::to_string(v.frame) +
                     (v.options.empty() ? "" : " " + v.options[0]));
        std::vector<std::string> args = scene;
        args.insert(args.end(), v.options.begin(), v.options.end());
        expectBox(render(dir.path, args, v.frame, v.suffix), v.world);
    }
}

// Just after a push, while the box moves.
TEST(Rendered, AMotionBlurredFrameShowsTheMovingBox) {
    NEED_RENDERER();
    TempDir dir("wobble2rib-rendered");
    SceneArgs args;
    args.frames = args.every = 130;
    args.pokes = {{126, 0}};
    World world;
    simulate(world, args);
    expectBox(
        render(dir.path, {"--frames", "130", "--every", "130", "--poke", "126:0", "--motion-blur"},
               130),
        world);
}

// Each chain's springs, turned as the window turns them, are bright along
// their whole length; away from every spring the picture is black.
TEST(Rendered, TheRopesAreThinLightCurvesWhereTheWindowDrawsThem) {
    NEED_RENDERER();
    TempDir dir("wobble2rib-rendered");
    SceneArgs args;
    args.ropes = true;
    args.frames = args.every = 600;
    World world;
    simulate(world, args);
    Picture p = render(dir.path, {"--ropes", "--frames", "600", "--every", "600"}, 600);
    ASSERT_EQ(p.width, kSize);

    const Mat4 tilt = rotation(15, 1, 1, 0);
    std::vector<std::pair<Point, Point>> springs;
    for (const SoftBody* chain : world.bodies)
        for (const Spring* s : chain->springs)
            springs.push_back(
                {onWindow(s->first->position, tilt), onWindow(s->second->position, tilt)});
    ASSERT_EQ(springs.size(), 120u);

    long samples = 0, dim = 0;
    for (const auto& [a, b] : springs)
        for (int n = 0; n <= 10; ++n) {
            double x = a.x + (b.x - a.x) * n / 10, y = a.y + (b.y - a.y) * n / 10;
            int brightest = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int u = int(x) + dx, v = int(y) + dy;
                    if (u < 0 || v < 0 || u >= kSize || v >= kSize) continue;
                    const std::array<int, 3>& c = p.at(u, v);
                    brightest = std::max(brightest, std::min({c[0], c[1], c[2]}));
                }
            ++samples;
            if (brightest < 128) ++dim;
        }
    EXPECT_EQ(dim, 0) << "of " << samples << " points along the springs";

    long strays = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            if (isDark(p.at(x, y))) continue;
            Point c{x + 0.5, y + 0.5};
            double nearest = 1e9;
            for (const auto& [a, b] : springs) {
                double dx = b.x - a.x, dy = b.y - a.y, length = dx * dx + dy * dy;
                double t = length > 0 ? std::clamp(((c.x - a.x) * dx + (c.y - a.y) * dy) / length,
                                                   0.0, 1.0)
                                      : 0;
                nearest = std::min(nearest, std::hypot(a.x + t * dx - c.x, a.y + t * dy - c.y));
            }
            if (nearest > 3) ++strays;
        }
    EXPECT_EQ(strays, 0) << "pixels lit away from the chains";
}
