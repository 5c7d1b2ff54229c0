// wobble2rib run for real and its RIB read back without a renderer: the
// simulated scene under the window's camera and lights in every frame, the
// same frames on every target, and one line per failure.
#include <fnmatch.h>
#include <gtest/gtest.h>
#include <pty.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "render/framepattern.h"
#include "scene/sceneargs.h"
#include "sim/surface.h"
#include "tests/support/childprocess.h"
#include "tests/support/glcamera.h"
#include "tests/support/ribreader.h"

namespace fs = std::filesystem;

namespace {

using ribcheck::Request;
using Args = std::vector<std::string>;

ChildOutcome wobble2rib(const Args& args, const std::string& stdoutPath = "") {
    return runChild(WOBBLE2RIB, args, stdoutPath);
}

const std::vector<double>& param(const Request& r, const std::string& token) {
    static const std::vector<double> none;
    for (const ribcheck::Param& p : r.params)
        if (p.token == token) return p.value.numbers;
    ADD_FAILURE() << r.name << " without " << token;
    return none;
}
const std::string& text(const Request& r, std::size_t arg) {
    return r.args.at(arg).strings.at(0);
}
std::vector<double> numbers(const Request& r) {  // of all its arguments in turn
    std::vector<double> all;
    for (const ribcheck::Value& v : r.args)
        all.insert(all.end(), v.numbers.begin(), v.numbers.end());
    return all;
}

struct Frame {
    long number;
    std::vector<Request> requests;  // between FrameBegin and FrameEnd
    std::vector<const Request*> all(const std::string& name) const {
        std::vector<const Request*> found;
        for (const Request& r : requests)
            if (r.name == name) found.push_back(&r);
        return found;
    }
};

// A stream's frames. Only the header may stand outside them, and anything a
// strict reader refuses fails the test.
std::vector<Frame> frames(const std::string& rib) {
    EXPECT_EQ(rib.rfind("##RenderMan RIB-Structure 1.0\nversion 3.03\n", 0), 0u);
    ribcheck::Document doc = ribcheck::read(rib);
    for (const std::string& error : doc.errors) ADD_FAILURE() << "a reader refuses: " << error;
    std::vector<Frame> result;
    bool open = false;
    for (Request& r : doc.requests) {
        if (r.name == "FrameBegin" || r.name == "FrameEnd") {
            EXPECT_NE(open, r.name == "FrameBegin") << "unpaired " << r.name;
            open = r.name == "FrameBegin";
            if (open) result.push_back({long(numbers(r).at(0)), {}});
        } else if (open) {
            result.back().requests.push_back(r);
        } else if (r.name != "##") {
            EXPECT_EQ(r.name, "version") << "outside a frame";
        }
    }
    EXPECT_FALSE(open) << "a frame without FrameEnd";
    return result;
}

// What a frame must hold to render alone, in this order: its options, its
// camera, and a world with the lights straight in it and the shape.
void expectComplete(const Frame& f, const std::string& image, bool ropes) {
    const bool blur = !f.all("MotionBegin").empty();
    const std::string shape = ropes ? "Curves " : "PointsPolygons ";
    std::string names;
    for (const Request& r : f.requests) names += r.name + " ";
    EXPECT_EQ(names, "Format Display Projection ScreenWindow Clipping " +
                         std::string(blur ? "Shutter " : "") +
                         "ConcatTransform WorldBegin LightSource LightSource LightSource "
                         "AttributeBegin Color Surface " +
                         (ropes ? "ConcatTransform " : "") +
                         (blur ? "MotionBegin " + shape + shape + "MotionEnd " : shape) +
                         "AttributeEnd WorldEnd ");
    const Request& display = *f.all("Display").at(0);
    EXPECT_EQ(display.args.size(), 3u);
    EXPECT_EQ(text(display, 0) + " " + text(display, 1) + " " + text(display, 2),
              image + " file rgb");
}

// The box's skin nodes, in lattice order as "P" lists them.
std::vector<int> skin() {
    std::set<int> nodes;
    for (const SurfaceQuad& q : outerQuads(4, 4, 4)) nodes.insert(q.begin(), q.end());
    return {nodes.begin(), nodes.end()};
}

// Each frame's "P" as the scene library steps it: the box's skin, or every
// chain in turn.
std::vector<std::vector<double>> simulate(SceneArgs args) {
    args.every = 1;
    World world;
    setUpScene(world, args);
    std::vector<std::vector<double>> frames;
    runScene(world, args, [&](long, const World& w) {
        std::vector<Vector3> points;
        if (args.ropes) {
            for (const SoftBody* chain : w.bodies) {
                const std::vector<Vector3> nodes = nodePositions(*chain);
                points.insert(points.end(), nodes.begin(), nodes.end());
            }
        } else {
            const std::vector<Vector3> box = nodePositions(w);
            for (int node : skin()) points.push_back(box[node]);
        }
        std::vector<double>& p = frames.emplace_back();
        for (const Vector3& v : points) p.insert(p.end(), {v.x, v.y, v.z});
    });
    return frames;
}

Args argsOf(const SceneArgs& s, Args more) {
    more.insert(more.end(),
                {"--frames", std::to_string(s.frames), "--every", std::to_string(s.every)});
    for (const ScenePoke& p : s.pokes)
        more.insert(more.end(), {"--poke", std::to_string(p.frame) + ":" + std::to_string(p.kind)});
    if (s.ropes) more.push_back("--ropes");
    return more;
}

const struct {
    SceneArgs scene;
    Args more;
    double width, height;
} kScenes[] = {
    {{400, 50, {{30, 0}, {260, 2}}, false}, {}, 300, 300},
    {{120, 20, {{30, 0}, {70, 2}}, false}, {"--motion-blur"}, 300, 300},
    {{300, 100, {{99, 1}}, false}, {"--motion-blur", "--size", "400x250"}, 400, 250},
    {{900, 300, {}, true}, {"--size", "200x320"}, 200, 320},
    {{600, 600, {}, true}, {"--motion-blur"}, 300, 300},
};

}  // namespace

// Every frame, text or binary, holds the simulated nodes: still, those of the
// frame; blurred, also those where its step began (frame 0 stands still).
// Each lands on the pixel where the window draws it, chains turned as the
// window turns each spring, between the clipping planes; the lights stand
// where the window's two lights stand, and the third, off there, is not here.
TEST(Wobble2rib, EveryFrameIsTheSimulatedSceneUnderTheWindowsCameraAndLights) {
    const std::vector<SurfaceQuad> quads = outerQuads(4, 4, 4);
    const std::vector<int> nodes = skin();
    std::vector<double> faces;  // the quads in indices into "P"
    for (const SurfaceQuad& q : quads)
        for (int node : q)
            faces.push_back(std::lower_bound(nodes.begin(), nodes.end(), node) - nodes.begin());
    const std::vector<double> windowLights[] = {{-3, 1, 2}, {1, -1, 3}};
    for (const auto& c : kScenes) {
        const std::vector<std::vector<double>> simulated = simulate(c.scene);
        const bool ropes = c.scene.ropes, blur = !c.more.empty() && c.more[0] == "--motion-blur";
        for (bool binary : {false, true}) {
            Args args = argsOf(c.scene, c.more);
            if (binary) args.push_back("--binary");
            SCOPED_TRACE(::testing::PrintToString(args));
            ChildOutcome run = wobble2rib(args);
            EXPECT_EQ(run.status, 0) << run.err;
            const std::vector<Frame> written = frames(run.out);
            ASSERT_EQ(written.size(), std::size_t(c.scene.frames / c.scene.every + 1));
            double off = 0, worst = 0, nearest = 1e9, farthest = -1e9;
            for (std::size_t n = 0; n < written.size(); ++n) {
                const Frame& f = written[n];
                SCOPED_TRACE("frame " + std::to_string(f.number));
                ASSERT_EQ(f.number, long(c.scene.every * n));
                char image[32];
                std::snprintf(image, sizeof image, "wobble.%04ld.tif", f.number);
                expectComplete(f, image, ropes);
                EXPECT_EQ(numbers(*f.all("Format")[0]),
                          (std::vector<double>{c.width, c.height, 1}));
                EXPECT_EQ(text(*f.all("Projection")[0], 0), "orthographic");
                const std::vector<double> screen = numbers(*f.all("ScreenWindow")[0]),
                                          clip = numbers(*f.all("Clipping")[0]);
                EXPECT_GT(clip.at(0), 0) << "the near plane must lie in front of the eye";
                if (blur) {
                    EXPECT_EQ(numbers(*f.all("Shutter")[0]), (std::vector<double>{0, 1}));
                    EXPECT_EQ(numbers(*f.all("MotionBegin")[0]), (std::vector<double>{0, 1}));
                }
                // RIB's row-major matrices, points times matrix, are GL's
                // column-major ones; the camera's zeros are zeros, not remnants.
                Mat4 toCamera, model;
                const std::vector<const Request*> transforms = f.all("ConcatTransform");
                std::copy_n(numbers(*transforms[0]).begin(), 16, toCamera.m);
                for (int zero : {3, 4, 7, 11, 12}) EXPECT_EQ(toCamera.m[zero], 0.0) << zero;
                EXPECT_EQ(toCamera.m[15], 1.0);
                if (ropes) std::copy_n(numbers(*transforms.at(1)).begin(), 16, model.m);
                if (ropes) toCamera = multiply(toCamera, model);

                const std::vector<const Request*> samples =
                    f.all(ropes ? "Curves" : "PointsPolygons");
                ASSERT_EQ(samples.size(), blur ? 2u : 1u);
                for (const Request* s : samples) {
                    const bool stepStart = s == samples[0] && blur && f.number > 0;
                    const std::vector<double>& p = param(*s, "P");
                    // Within what a float, and six digits of text, keep.
                    const std::vector<double>& want = simulated.at(f.number - stepStart);
                    ASSERT_EQ(p.size(), want.size());
                    for (std::size_t i = 0; i < p.size(); ++i)
                        off = std::max(off,
                                       std::abs(p[i] - want[i]) / std::max(1.0, std::abs(want[i])));
                    if (ropes) {
                        EXPECT_EQ(text(*s, 0) + " " + text(*s, 2), "linear nonperiodic");
                        EXPECT_EQ(s->args.at(1).numbers, std::vector<double>(20, 7));
                        EXPECT_EQ(param(*s, "constantwidth").size(), 1u);
                    } else {
                        // The library's outer quads; unit normals, outwards at rest.
                        EXPECT_EQ(s->args.at(0).numbers, std::vector<double>(quads.size(), 4));
                        EXPECT_EQ(s->args.at(1).numbers, faces);
                        const std::vector<double>& normals = param(*s, "N");
                        ASSERT_EQ(normals.size(), p.size());
                        for (std::size_t i = 0; i < p.size(); i += 3) {
                            const double* d = &normals[i];
                            EXPECT_NEAR(std::hypot(d[0], d[1], d[2]), 1.0, 1e-5);
                            EXPECT_TRUE(f.number > 0 ||
                                        d[0] * p[i] + d[1] * p[i + 1] + d[2] * p[i + 2] > 0);
                        }
                    }
                    const Mat4 tilt = ropes ? rotation(15, 1, 1, 0) : identity4();
                    for (std::size_t i = 0; i + 2 < p.size(); i += 3) {
                        double point[4] = {p[i], p[i + 1], p[i + 2], 1}, e[4], window[2];
                        transform(toCamera, point, e);
                        windowPixel(tilt, point, int(c.width), int(c.height), window);
                        const double u = e[0] / e[3], v = e[1] / e[3], z = e[2] / e[3];
                        const double x = (u - screen[0]) / (screen[1] - screen[0]) * c.width,
                                     y = (screen[3] - v) / (screen[3] - screen[2]) * c.height;
                        worst = std::max({worst, std::abs(x - window[0]), std::abs(y - window[1])});
                        nearest = std::min(nearest, z - clip[0]);
                        farthest = std::max(farthest, z - clip[1]);
                    }
                }
                std::size_t distant = 0;
                for (const Request* light : f.all("LightSource")) {
                    if (text(*light, 0) != "distantlight") continue;
                    ASSERT_LT(distant, 2u);
                    EXPECT_EQ(param(*light, "from"), windowLights[distant++]);
                    EXPECT_GT(param(*light, "intensity").at(0), 0);
                }
                EXPECT_EQ(distant, 2u);
            }
            EXPECT_LT(off, 1e-5) << "between the RIB's nodes and the simulated ones";
            EXPECT_LT(worst, 0.01) << "pixels between the RIB's node and the window's";
            EXPECT_GE(nearest, 0) << "a node in front of the near plane";
            EXPECT_LE(farthest, 0) << "a node behind the far plane";
        }
    }
}

std::string gunzip(const std::string& path) {
    ChildOutcome run = runChild("/bin/sh", {"-c", "gzip -dc '" + path + "'"});
    EXPECT_EQ(run.status, 0) << path << ": " << run.err;
    return run.out;
}

// Standard output, a command, a file named like a renderer (still a file) and
// gzip carry the same bytes. One file per frame, as a farm's job
// script expects of "-o frames/wobble.%04d.rib", is a complete RIB (with
// --gzip a whole gzip stream) of that frame alone, in a folder made when
// missing: binary files must not lean on strings defined in the one before.
TEST(Wobble2rib, EveryTargetCarriesTheSameFrames) {
    TempDir dir("wobble2rib-test");
    const std::string d = dir.path;
    for (bool binary : {false, true}) {
        SCOPED_TRACE(binary ? "binary" : "text");
        auto with = [&](Args more) {
            more.insert(more.end(), {"--frames", "30", "--every", "10", "--motion-blur"});
            if (binary) more.push_back("--binary");
            return more;
        };
        const std::string whole = wobble2rib(with({})).out;
        ChildOutcome piped = wobble2rib(with({"-o", "|cat > " + d + "/piped.rib"}));
        EXPECT_EQ(piped.status, 0);
        EXPECT_EQ(piped.out, "");
        EXPECT_EQ(wobble2rib(with({"--gzip"}), d + "/out.rib.gz").status, 0);
        ChildOutcome bare = runInChild([&] {
            if (chdir(d.c_str()) != 0) _exit(99);
            _exit(wobble2rib(with({"-o", "prman"})).status);
        });
        EXPECT_EQ(bare.status, 0);
        EXPECT_TRUE(readFile(d + "/piped.rib") == whole);
        EXPECT_TRUE(readFile(d + "/prman") == whole);
        EXPECT_TRUE(gunzip(d + "/out.rib.gz") == whole);

        const std::vector<Frame> expected = frames(whole);
        ASSERT_EQ(expected.size(), 4u);
        for (std::string gz : {"", ".gz"}) {
            const std::string folder = d + "/frames" + (binary ? "b" : "t") + gz;
            Args args = with({"--image", "out/%d.tif", "-o", folder + "/w.%04d.rib" + gz});
            if (!gz.empty()) args.push_back("--gzip");
            ChildOutcome run = wobble2rib(args);
            EXPECT_EQ(run.status, 0) << run.err;
            EXPECT_EQ(run.out, "");
            EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 4);
            for (const Frame& f : expected) {
                char name[32];
                std::snprintf(name, sizeof name, "/w.%04ld.rib", f.number);
                const std::string path = folder + name + gz;
                const std::vector<Frame> inFile =
                    frames(gz.empty() ? readFile(path) : gunzip(path));
                ASSERT_EQ(inFile.size(), 1u) << path;
                EXPECT_EQ(inFile[0].number, f.number);
                expectComplete(inFile[0], "out/" + std::to_string(f.number) + ".tif", false);
                for (int sample : {0, 1})
                    EXPECT_TRUE(param(*inFile[0].all("PointsPolygons").at(sample), "P") ==
                                param(*f.all("PointsPolygons").at(sample), "P"))
                        << path;
            }
        }
    }
}

TEST(FramePattern, OneDecimalFieldFilledLikePrintfAndNothingElse) {
    const struct {
        const char *pattern, *name;
        long frame;
        bool field;
    } filled[] = {{"frames/wobble.%04d.rib", "frames/wobble.0007.rib", 7, true},
                  {"w%d.tif", "w12345.tif", 12345, true},
                  {"w%3d", "w  5", 5, true},
                  {"w%02d", "w123", 123, true},  // a width is a minimum
                  {"100%%-%d%%", "100%-4%", 4, true},
                  {"100%% wobble.rib", "100% wobble.rib", 3, false},
                  {"-", "-", 3, false}};
    for (const auto& c : filled) {
        EXPECT_EQ(FramePattern(c.pattern).at(c.frame), c.name);
        EXPECT_EQ(FramePattern(c.pattern).hasField(), c.field) << c.pattern;
    }
    // Each of these would make printf read arguments that are not there.
    for (const char* bad : {"%s", "x%n", "%x.rib", "%5.2d", "%-4d", "%ld", "%", "a%04", "%d%d",
                            "%04d/%d", "%999999999999d", "%33d"})
        EXPECT_THROW(FramePattern{bad}, std::invalid_argument) << bad;
    EXPECT_NO_THROW(FramePattern("%32d"));
}

// The scene options, told where wobble-trace tells them, line up with this
// tool's own.
TEST(Wobble2rib, Help) {
    ChildOutcome help = wobble2rib({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: wobble2rib ", 0), 0u);
    EXPECT_EQ(help.err, "");
    for (const char* line :
         {"\n  --poke F:KIND    after frame F,", "\n                   2 bottom;",
          "\n  --image PATTERN  picture", "\n                   a %d field"})
        EXPECT_NE(help.out.find(line), std::string::npos) << line << " in\n" << help.out;
}

// A bad argument is refused with status 2 before any output. A full device,
// a file that cannot be opened, a renderer command that fails or is killed,
// for the whole stream or for one per-frame target among good ones, ends the
// run with status 1 after writing every frame it could. Each is one line
// naming the target and why; a pipe's reader that quits early may also break
// the pipe, which joins its line. A first target found unwritable stops the
// run before the world is built: then its line is all there is.
TEST(Wobble2rib, EveryFailureIsOneLine) {
    TempDir dir("wobble2rib-failures");
    const std::string d = dir.path, file = d + "/file";
    fs::create_directory(d + "/full");
    fs::create_symlink("/dev/full", d + "/full/w.0010.rib");
    fs::create_directories(d + "/folder/w.0010.rib");
    std::ofstream(file) << "not a folder";
    auto to = [](const std::string& target) {
        return Args{"--frames", "20", "--every", "10", "-o", target};
    };
    const std::string cannot = "wobble2rib: cannot write '", command = "wobble2rib: the command '";
    struct Case {
        Args args;
        std::string line;  // a pattern, "" for none
        int status = 1;
        bool alone = false;  // no lines from building the world
        std::string stdoutPath = "";
    };
    std::vector<Case> cases = {
        {{"-o", d + "/x.rib", "--bad\noption"}, "wobble2rib: unknown option '--bad*option'*", 2,
         true},
        {{"--frames", "400"},
         "wobble2rib: cannot write the RIB to standard output: No space left on device", 1, false,
         "/dev/full"},
        {to("/dev/full"), cannot + "/dev/full': No space left on device"},
        {to(d + "/full/w.%04d.rib"), cannot + d + "/full/w.0010.rib': No space left on device"},
        {to(d + "/folder/w.%04d.rib"), cannot + d + "/folder/w.0010.rib': Is a directory"},
        {to("|cat >/dev/null; exit 3"),
         command + "cat >/dev/null; exit 3' failed: exited with status 3"},
        {{"--frames", "400", "-o", "|exit 3"}, command + "exit 3' failed: *exited with status 3"},
        {to("|kill -9 $$"), command + "kill -9 $$' failed: *killed by signal 9"},
        {to("|test %d != 10 && cat >/dev/null"),
         command + "test 10 != 10 && cat >/dev/null' failed: *exited with status 1"},
        {to(d + "/good.%d.rib"), "", 0},
        {to(file + "/w.rib"), cannot + file + "/w.rib': Not a directory", 1, true},
        {to(file + "/w.%04d.rib"), cannot + file + "/w.0000.rib': Not a directory", 1, true},
        {to(d), cannot + d + "': Is a directory", 1, true},
        {to(file + "/no\ndir/w.rib"), cannot + file + "/no*dir/w.rib': Not a directory", 1, true},
    };
    for (const Args& bad : std::vector<Args>{
        {"--bogus"},          {"--frames", "-1"},   {"--ropes", "--poke", "1:0"}, {"--size"},
        {"--size", "0x10"},   {"--size", "300"},    {"--size", "10x-5"},  {"--size", "x300"},
        {"--size", "99999999x1"}, {"--image", "%s.tif"}, {"--image", ""}, {"-o", "a%d%d"},
        {"-o", ""},           {"-o", "|"},          {"-o"},               {"--binary", "1"}})
        cases.push_back({bad, "wobble2rib: *; usage: wobble2rib *", 2, true});
    const std::set<std::string> worldLines = {
        "wobble: initialing members...", "wobble: initialize nodes array with actual nodes...",
        "initializing springs...", "initializing faces...", "wobble has been created"};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        ChildOutcome run = wobble2rib(c.args, c.stdoutPath);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        std::vector<std::string> own;
        std::istringstream lines(run.err);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("wobble2rib: ", 0) == 0)
                own.push_back(line);
            else
                EXPECT_TRUE(worldLines.count(line) && !c.alone) << "unexpected line: " << line;
        }
        ASSERT_EQ(own.size(), c.line.empty() ? 0u : 1u) << run.err;
        EXPECT_TRUE(own.empty() || fnmatch(c.line.c_str(), own[0].c_str(), 0) == 0) << own[0];
    }
    EXPECT_FALSE(fs::exists(d + "/x.rib"));
    // The frames around a failed one are still written whole.
    for (const char* failed : {"/full/w.00", "/folder/w.00"}) {
        EXPECT_TRUE(readFile(d + failed + "00.rib") == readFile(d + "/good.0.rib")) << failed;
        EXPECT_TRUE(readFile(d + failed + "20.rib") == readFile(d + "/good.20.rib")) << failed;
    }
    EXPECT_EQ(frames(readFile(d + "/good.20.rib")).size(), 1u);
}

// Frame k of n, rewritten in place on one line of the terminal, ended when the
// run ends; a failure's line first wipes the progress line, which comes back.
TEST(Wobble2rib, ProgressOnATerminalIsOneLineThatUpdates) {
    TempDir dir("wobble2rib-progress");
    fs::create_directories(dir.path + "/w.10.rib");
    int master = -1, slave = -1;
    ASSERT_EQ(openpty(&master, &slave, nullptr, nullptr, nullptr), 0) << std::strerror(errno);
    ChildOutcome run = runInChild([&] {
        if (dup2(slave, 2) < 0) _exit(120);
        execl(WOBBLE2RIB, WOBBLE2RIB, "--frames", "20", "--every", "10", "-o",
              (dir.path + "/w.%d.rib").c_str(), static_cast<char*>(nullptr));
        _exit(127);
    });
    close(slave);
    EXPECT_EQ(run.status, 1);
    std::string seen;
    char buffer[4096];
    // The terminal keeps what the child wrote; at its end a read fails.
    for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) seen.append(buffer, n);
    close(master);
    const std::string frame10 = "wobble2rib: frame 10 of 20";
    const std::string progress =
        "wobble has been created\r\n"  // the terminal ends lines with \r\n
        "\rwobble2rib: frame 0 of 20\r" +
        frame10 + "\r" + std::string(frame10.size(), ' ') + "\rwobble2rib: cannot write '" +
        dir.path +
        "/w.10.rib': Is a directory\r\n"
        "\rwobble2rib: frame 20 of 20\r\n";
    EXPECT_EQ(seen.size() - std::min(seen.size(), progress.size()), seen.rfind(progress)) << seen;
}
