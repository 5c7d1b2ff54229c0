#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sim/surface.h"
#include "tests/render/ribframes.h"

namespace fs = std::filesystem;

namespace {

using namespace ribframes;

// Node positions per frame, per body, in lattice order, as wobble-trace
// writes them for the same scene options.
using Positions = std::vector<std::vector<double>>;  // body -> x, y, z, x, y, z, ...
std::map<long, Positions> trace(const std::vector<std::string>& args) {
    ChildOutcome run = runChild(WOBBLE_TRACE, args);
    EXPECT_EQ(run.status, 0);
    std::map<long, Positions> frames;
    std::istringstream rows(run.out);
    std::string line;
    std::getline(rows, line);  // the header
    while (std::getline(rows, line)) {
        long frame;
        int body;
        double x, y, z;
        EXPECT_EQ(std::sscanf(line.c_str(), "%ld,%d,%*d,%*d,%*d,%lf,%lf,%lf", &frame, &body, &x, &y,
                              &z),
                  5);
        Positions& p = frames[frame];
        p.resize(body + 1);
        p[body].insert(p[body].end(), {x, y, z});
    }
    return frames;
}

// A double as it comes back from the RIB: a float, and in text with the
// writer's six significant digits.
double asWritten(double v, bool binary) {
    float f = float(v);
    if (binary) return f;
    char text[32];
    std::snprintf(text, sizeof text, "%g", f);
    return std::strtod(text, nullptr);
}

// The lattice indices of the box's skin, in the order its "P" lists them.
std::vector<int> skin() {
    std::set<int> nodes;
    for (const SurfaceQuad& q : outerQuads(4, 4, 4)) nodes.insert(q.begin(), q.end());
    return {nodes.begin(), nodes.end()};
}

std::vector<double> expectedBoxP(const std::vector<double>& lattice, bool binary) {
    std::vector<double> p;
    for (int node : skin())
        for (int c = 0; c < 3; ++c) p.push_back(asWritten(lattice[3 * node + c], binary));
    return p;
}

// What every frame must hold to render alone, in this order: its options,
// its camera, and a complete world with the lights and the box in it.
void expectComplete(const Frame& f, const std::string& image) {
    const bool blur = !f.all("MotionBegin").empty();
    std::string names;
    for (const Request& r : f.requests) names += r.name + " ";
    EXPECT_EQ(names, std::string("Format Display Projection ScreenWindow Clipping ") +
                         (blur ? "Shutter " : "") +
                         "ConcatTransform WorldBegin LightSource LightSource LightSource "
                         "AttributeBegin Color Surface " +
                         (blur ? "MotionBegin PointsPolygons PointsPolygons MotionEnd "
                               : "PointsPolygons ") +
                         "AttributeEnd WorldEnd ")
        << "frame " << f.number;
    const Request& display = *f.all("Display").at(0);
    ASSERT_EQ(display.args.size(), 3u);
    EXPECT_EQ(text(display, 0), image);
    EXPECT_EQ(text(display, 1), "file");
    EXPECT_EQ(text(display, 2), "rgb");
}

std::string imageName(long frame) {
    char name[32];
    std::snprintf(name, sizeof name, "wobble.%04ld.tif", frame);
    return name;
}

}  // namespace

// Still, a frame's box is the traced box at that frame; blurred, it moves
// from where the frame's step began (frame 0 has no step behind it: it
// stands still).
TEST(Wobble2rib, EveryFrameHoldsTheTracedBoxStillOrBlurredInTextAndBinary) {
    const std::vector<std::string> scene = {"--frames", "120", "--poke", "30:0", "--poke", "70:2"};
    std::map<long, Positions> traced = trace(scene);
    for (bool blur : {false, true})
        for (bool binary : {false, true}) {
            SCOPED_TRACE(std::string(blur ? "blurred " : "still ") + (binary ? "binary" : "text"));
            std::vector<std::string> args = scene;
            args.insert(args.end(), {"--every", "20"});
            if (blur) args.push_back("--motion-blur");
            std::vector<Frame> written = framesOf(args, binary);
            ASSERT_EQ(written.size(), 7u);
            for (std::size_t n = 0; n < written.size(); ++n) {
                const Frame& f = written[n];
                SCOPED_TRACE(f.number);
                EXPECT_EQ(f.number, long(20 * n));
                expectComplete(f, imageName(f.number));
                std::vector<const Request*> samples = f.all("PointsPolygons");
                ASSERT_EQ(samples.size(), blur ? 2u : 1u);
                ASSERT_NE(param(*samples.back(), "P"), nullptr);
                EXPECT_TRUE(*param(*samples.back(), "P") ==
                            expectedBoxP(traced.at(f.number)[0], binary));
                if (!blur) continue;
                EXPECT_EQ(number(*f.all("Shutter").at(0), 0), 0);
                EXPECT_EQ(number(*f.all("Shutter").at(0), 1), 1);
                EXPECT_EQ(f.all("MotionBegin").at(0)->args.at(0).numbers,
                          (std::vector<double>{0, 1}));
                long start = f.number == 0 ? 0 : f.number - 1;
                EXPECT_TRUE(*param(*samples[0], "P") == expectedBoxP(traced.at(start)[0], binary));
                EXPECT_EQ(samples[0]->args.at(1).numbers, samples[1]->args.at(1).numbers);
                EXPECT_EQ(param(*samples[0], "N")->size(), param(*samples[1], "N")->size());
            }
            if (blur) continue;

            // The window's look-at: the eye is level with the centre along
            // the camera's x axis, and the zeros come out as zeros, not remnants.
            const std::vector<double>& camera =
                written[0].all("ConcatTransform").at(0)->args.at(0).numbers;
            ASSERT_EQ(camera.size(), 16u);
            for (int zero : {3, 4, 7, 11, 12}) EXPECT_EQ(camera[zero], 0.0) << "element " << zero;
            EXPECT_EQ(camera[15], 1.0);

            // The faces are the library's outer quads, told in indices into "P".
            const Request& box = *written[0].all("PointsPolygons").at(0);
            std::vector<SurfaceQuad> quads = outerQuads(4, 4, 4);
            ASSERT_EQ(box.args.at(0).numbers, std::vector<double>(quads.size(), 4));
            std::vector<int> nodes = skin();
            const std::vector<double>& vertices = box.args.at(1).numbers;
            ASSERT_EQ(vertices.size(), 4 * quads.size());
            for (std::size_t v = 0; v < vertices.size(); ++v)
                EXPECT_EQ(nodes.at(std::size_t(vertices[v])), quads[v / 4][v % 4]);

            // At rest the normals are unit and point away from the box's centre.
            const std::vector<double>& p = *param(box, "P");
            const std::vector<double>* normals = param(box, "N");
            ASSERT_NE(normals, nullptr);
            ASSERT_EQ(normals->size(), p.size());
            for (std::size_t v = 0; v < p.size(); v += 3) {
                const double* n = &(*normals)[v];
                EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-5);
                EXPECT_GT(n[0] * p[v] + n[1] * p[v + 1] + n[2] * p[v + 2], 0.0);
            }
        }
}

std::string gunzip(const std::string& path) {
    ChildOutcome run = runChild("/bin/sh", {"-c", "gzip -dc '" + path + "'"});
    EXPECT_EQ(run.status, 0) << path << ": " << run.err;
    return run.out;
}

// One file per frame for a farm, each a complete RIB (with --gzip a whole
// gzip stream) of that frame alone, in a folder made when missing, as a
// job script expects of "-o frames/wobble.%04d.rib". Binary files matter
// too: a file must not lean on string definitions made in the one before.
TEST(Wobble2rib, OneCompleteFilePerFrameForAFarmAndGzip) {
    TempDir dir("wobble2rib-test");
    for (bool binary : {false, true}) {
        std::vector<std::string> scene = {"--frames", "30", "--every", "10", "--motion-blur"};
        if (binary) scene.push_back("--binary");
        ChildOutcome whole = wobble2rib(scene);
        std::vector<Frame> expected = frames(whole.out);
        ASSERT_EQ(expected.size(), 4u);
        for (std::string gz : {"", ".gz"}) {
            SCOPED_TRACE(std::string(binary ? "binary" : "text") + gz);
            const std::string folder = dir.path + "/frames" + (binary ? "b" : "t") + gz;
            std::vector<std::string> args = scene;
            if (!gz.empty()) args.push_back("--gzip");
            args.insert(args.end(), {"--image", "out/%d.tif", "-o", folder + "/w.%04d.rib" + gz});
            ChildOutcome run = wobble2rib(args);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
            for (const Frame& f : expected) {
                char name[32];
                std::snprintf(name, sizeof name, "/w.%04ld.rib", f.number);
                std::string path = folder + name + gz;
                std::string rib = gz.empty() ? readFile(path) : gunzip(path);
                EXPECT_EQ(rib.rfind("##RenderMan RIB-Structure 1.0\nversion 3.03\n", 0), 0u) << name;
                std::vector<Frame> inFile = frames(rib);
                ASSERT_EQ(inFile.size(), 1u) << name;
                EXPECT_EQ(inFile[0].number, f.number);
                expectComplete(inFile[0], "out/" + std::to_string(f.number) + ".tif");
                for (int sample : {0, 1}) {
                    EXPECT_TRUE(*param(*inFile[0].all("PointsPolygons").at(sample), "P") ==
                                *param(*f.all("PointsPolygons").at(sample), "P"))
                        << name;
                }
            }
        }
        // And the whole stream at once.
        scene.push_back("--gzip");
        EXPECT_EQ(wobble2rib(scene, dir.path + "/out.rib.gz").status, 0);
        EXPECT_TRUE(gunzip(dir.path + "/out.rib.gz") == whole.out);
    }
}

TEST(Wobble2rib, RopesAreCurvesThroughEveryChain) {
    std::map<long, Positions> traced = trace({"--ropes", "--frames", "20", "--every", "10"});
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        std::vector<Frame> written =
            framesOf({"--ropes", "--frames", "20", "--every", "10"}, binary);
        ASSERT_EQ(written.size(), 3u);
        for (const Frame& f : written) {
            EXPECT_TRUE(f.all("PointsPolygons").empty());
            std::vector<const Request*> curves = f.all("Curves");
            ASSERT_EQ(curves.size(), 1u);
            const Request& c = *curves[0];
            EXPECT_EQ(text(c, 0), "linear");
            EXPECT_EQ(c.args.at(1).numbers, std::vector<double>(20, 7));
            EXPECT_EQ(text(c, 2), "nonperiodic");
            std::vector<double> expected;
            for (const std::vector<double>& chain : traced.at(f.number))
                for (double v : chain) expected.push_back(asWritten(v, binary));
            EXPECT_TRUE(*param(c, "P") == expected) << "frame " << f.number;
            ASSERT_NE(param(c, "constantwidth"), nullptr);
            EXPECT_EQ(param(c, "constantwidth")->size(), 1u);
        }
    }
}

TEST(Wobble2rib, StandardOutputFileAndPipeCarryTheSameBytes) {
    TempDir dir("wobble2rib-test");
    const std::vector<std::string> scene = {"--frames", "20", "--every", "5", "--size", "64x48"};
    auto to = [&](const std::string& target) {
        std::vector<std::string> args = scene;
        args.insert(args.end(), {"-o", target});
        return args;
    };
    ChildOutcome toStdout = wobble2rib(scene);
    EXPECT_EQ(toStdout.status, 0);
    EXPECT_NE(toStdout.out.find("Format 64 48 1\n"), std::string::npos);

    EXPECT_EQ(wobble2rib(to(dir.path + "/file.rib")).status, 0);
    EXPECT_TRUE(readFile(dir.path + "/file.rib") == toStdout.out);

    ChildOutcome piped = wobble2rib(to("|cat > " + dir.path + "/piped.rib"));
    EXPECT_EQ(piped.status, 0);
    EXPECT_EQ(piped.out, "");
    EXPECT_TRUE(readFile(dir.path + "/piped.rib") == toStdout.out);

    // A bare renderer name is a file here, not a command.
    ChildOutcome inDir = runInChild([&] {
        if (chdir(dir.path.c_str()) != 0) _exit(99);
        _exit(wobble2rib(to("prman")).status);
    });
    EXPECT_EQ(inDir.status, 0);
    EXPECT_TRUE(readFile(dir.path + "/prman") == toStdout.out);
}

TEST(Wobble2rib, HelpAndBadArguments) {
    ChildOutcome help = wobble2rib({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: wobble2rib ", 0), 0u);
    EXPECT_EQ(help.err, "");
    // The scene options, told where wobble-trace tells them, line up with
    // this tool's own.
    for (const char* line : {"\n  --poke F:KIND    after frame F,", "\n                   2 bottom;",
                             "\n  --image PATTERN  picture", "\n                   a %d field"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line << " in\n" << help.out;

    TempDir dir("wobble2rib-test");
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},          {"--frames", "-1"},   {"--ropes", "--poke", "1:0"}, {"--size"},
        {"--size", "0x10"},   {"--size", "300"},    {"--size", "10x-5"},  {"--size", "x300"},
        {"--size", "99999999x1"}, {"--image", "%s.tif"}, {"--image", ""}, {"-o", "a%d%d"},
        {"-o", ""},           {"-o", "|"},          {"-o"},               {"--binary", "1"},
        {"-o", dir.path + "/x.rib", "--bad\noption"}};
    for (const auto& args : bad) {
        ChildOutcome run = wobble2rib(args);
        SCOPED_TRACE(args[0] + (args.size() > 1 ? " " + args[1] : ""));
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("wobble2rib: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("usage: wobble2rib"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
    EXPECT_TRUE(fs::is_empty(dir.path));  // refused before any output
}

// Found before the world is built: the line is all there is.
TEST(Wobble2rib, AnUnwritableFirstTargetIsOneLineAndStatusOne) {
    TempDir dir("wobble2rib-test");
    std::string file = dir.path + "/file";
    { std::ofstream(file) << "not a folder"; }
    for (std::string target : {file + "/wobble.rib", file + "/w.%04d.rib", dir.path,
                               file + "/no\ndir/w.rib"}) {
        ChildOutcome run = wobble2rib({"--frames", "2", "-o", target});
        EXPECT_EQ(run.status, 1) << target;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("wobble2rib: cannot write '", 0), 0u) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    }
}
