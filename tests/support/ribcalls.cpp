#include "tests/support/ribcalls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <random>
#include <set>
#include <utility>

#include "tests/support/files.h"
#include "tests/support/ribreader.h"

namespace ribcheck {

uint32_t ByteSource::below(uint32_t n) {
    if (n <= 1) return 0;
    uint32_t v = take();
    if (n > 256) v = (v << 8) | take();
    return v % n;
}

float ByteSource::number() {
    uint32_t kind = below(4), bits = 0;
    if (kind == 0) return float(int(below(21)) - 10);
    if (kind == 1) return float(int(below(2001)) - 1000) / 64.0f;
    if (kind == 3) return float(below(1000)) * 0.001f;
    for (int i = 0; i < 4; ++i) bits = (bits << 8) | take();
    float f;
    std::memcpy(&f, &bits, 4);
    return std::isfinite(f) ? f : 0.5f;
}

std::vector<uint8_t> seededBytes(unsigned seed, size_t size) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = uint8_t(random());
    return bytes;
}

namespace {

// A parameter the calls may pass, with the declaration it carries inline or
// gets from a Declare (declareText) or from the standard set.
struct Entry {
    const char* token;
    StorageClass storage;
    const char* type;
    int size;
    const char* declareText = nullptr;
};

const Entry kPrimitiveEntries[] = {
    {"N", Varying, "normal", 1},                {"Cs", Varying, "color", 1},
    {"st", Varying, "float", 2},                {"s", Varying, "float", 1},
    {"width", Varying, "float", 1},             {"constantwidth", Constant, "float", 1},
    {"uniform float u1", Uniform, "float", 1},  {"constant color cc", Constant, "color", 1},
    {"vertex float[2] vf", Vertex, "float", 2}, {"uniform string tag", Uniform, "string", 1},
    {"varying integer id", Varying, "integer", 1}, {"uniform matrix mx", Uniform, "matrix", 1},
    {"vertex hpoint hp", Vertex, "hpoint", 1},  {"facevarying float fv", FaceVarying, "float", 1},
    {"uniform float [3] k3", Uniform, "float", 3}, {"varying\tfloat\tvt", Varying, "float", 1},
    {"dk", Uniform, "float", 3, "uniform float [3]"},
    {"dfv", FaceVarying, "normal", 1, "facevarying normal"},
    {"dc", Varying, "color", 1, "varying\tcolor"}, {"dv", Vertex, "vector", 1, "vertex vector"}};

const Entry kShaderEntries[] = {
    {"Ka", Uniform, "float", 1},               {"lightcolor", Uniform, "color", 1},
    {"uniform float sf", Uniform, "float", 1}, {"color tint", Uniform, "color", 1},
    {"string mapname", Uniform, "string", 1},  {"float[2] pair", Uniform, "float", 2},
    {"uniform point [2] ends", Uniform, "point", 2},
    {"dk", Uniform, "float", 3, "uniform float [3]"}};

const char* const kStrings[] = {"", "plain", "two words", "quote\"inside", "back\\slash",
                                "tab\there"};
const char* const kShaders[] = {"plastic", "matte", "my shader", nullptr};
const char* const kRecords[] = {"a comment", "two\nlines", "line\nWorldEnd",
                                "ends with a break\n", "\n\nAttributeBegin\n", "cr\rand\r\nlf"};

class Caller {
  public:
    Caller(ByteSource& source, RibWriter& writer) : src(source), w(writer) {}

    std::vector<std::string> run(int maxCalls) {
        for (int i = 0; i < maxCalls && !src.empty(); ++i) one();
        release();
        while (!blocks.empty()) end();
        return log;
    }

  private:
    // Values held for the length of one call, each element from next().
    template <typename T, typename Next>
    T* filled(long long n, Next next) {
        T* p = new T[size_t(n)];
        held.emplace_back(p, [](void* q) { delete[] static_cast<T*>(q); });
        for (long long i = 0; i < n; ++i) p[i] = next();
        return p;
    }
    float* floats(long long n) { return filled<float>(n, [&] { return src.number(); }); }
    template <typename T>
    T* array(const std::vector<T>& from) {
        auto at = from.begin();
        return filled<T>((long long)from.size(), [&] { return *at++; });
    }
    void release() {
        held.clear();
        tokens.clear();
        values.clear();
    }

    // Adds up to three parameters; counts null for a request that is no primitive.
    void params(const Counts* counts, bool withP) {
        if (withP) {
            tokens.push_back("P");
            values.push_back(floats(counts->vertex * 3));
        }
        const Entry* table = counts ? kPrimitiveEntries : kShaderEntries;
        size_t size = counts ? std::size(kPrimitiveEntries) : std::size(kShaderEntries);
        for (uint32_t i = 0, k = src.below(4); i < k; ++i) {
            const Entry& e = table[src.below(uint32_t(size))];
            if (e.declareText && declared.insert(e.token).second) w.Declare(e.token, e.declareText);
            long long per = counts ? counts->of(e.storage) : 1;
            long long n = per * e.size * typeWidth(e.type, nColors);
            tokens.push_back(e.token);
            if (std::strcmp(e.type, "string") == 0) {
                values.push_back(
                    filled<RtString>(n, [&] { return kStrings[src.below(std::size(kStrings))]; }));
            } else if (std::strcmp(e.type, "integer") == 0) {
                values.push_back(filled<RtInt>(n, [&] { return RtInt(src.below(2000)) - 1000; }));
            } else {
                values.push_back(floats(n));
            }
        }
    }
    void params(Counts counts, bool withP) { params(&counts, withP); }
    // What the reader must find: the keyword and the parameter names.
    void note(std::string line) {
        for (RtToken token : tokens) line += std::string(" |") + token;
        log.push_back(line);
    }
    RtInt n() const { return RtInt(tokens.size()); }
    RtToken* t() { return tokens.data(); }
    RtPointer* v() { return values.data(); }
    static Counts mesh(size_t faces, const std::vector<RtInt>& nverts,
                       const std::vector<RtInt>& verts) {
        return meshCounts((long long)faces, {nverts.begin(), nverts.end()},
                          {verts.begin(), verts.end()});
    }

    // Blocks; all but transforms save the basis steps, frames the colours too.
    enum Block { Attribute, Transform, Frame, World, Solid, Object };
    static constexpr const char* kBlocks[] = {"Attribute", "Transform", "Frame",
                                              "World",     "Solid",     "Object"};
    void begin() {
        Block b = Block(src.below(6));
        switch (b) {
            case Attribute: w.AttributeBegin(); break;
            case Transform: w.TransformBegin(); break;
            case Frame: w.FrameBegin(RtInt(src.below(100))); break;
            case World: w.WorldBegin(); break;
            case Solid: w.SolidBegin(src.chance() ? "union" : "primitive"); break;
            case Object: w.ObjectBegin(); break;
        }
        note(kBlocks[b] + std::string("Begin"));
        blocks.push_back(b);
        if (b != Transform) saved.push_back({ustep, vstep, nColors, b == Frame});
    }
    void end() {
        Block b = blocks.back();
        blocks.pop_back();
        // A plain switch: the sanitizer build misreads an array of member
        // pointers indexed this way.
        switch (b) {
            case Attribute: w.AttributeEnd(); break;
            case Transform: w.TransformEnd(); break;
            case Frame: w.FrameEnd(); break;
            case World: w.WorldEnd(); break;
            case Solid: w.SolidEnd(); break;
            case Object: w.ObjectEnd(); break;
        }
        note(kBlocks[b] + std::string("End"));
        if (b == Transform) return;
        ustep = saved.back().ustep;
        vstep = saved.back().vstep;
        if (saved.back().frame) nColors = saved.back().nColors;
        saved.pop_back();
    }

    void one() {
        release();
        switch (src.below(12)) {
            case 0:
                if (blocks.size() < 6) begin();
                break;
            case 1:
                if (!blocks.empty()) end();
                break;
            case 2: {
                RtBasis* const bases[] = {&RiBezierBasis, &RiBSplineBasis, &RiCatmullRomBasis,
                                          &RiHermiteBasis, &RiPowerBasis};
                ustep = RtInt(src.below(4)) + 1;
                vstep = RtInt(src.below(4)) + 1;
                w.Basis(*bases[src.below(5)], ustep, *bases[src.below(5)], vstep);
                note("Basis");
                break;
            }
            case 3: {
                RtInt count = RtInt(src.below(4)) + 1;
                float* nRGB = floats(3LL * count);
                float* RGBn = floats(3LL * count);
                w.ColorSamples(count, nRGB, RGBn);
                nColors = count;
                note("ColorSamples");
                break;
            }
            case 4: {
                bool color = src.chance();
                (w.*(color ? &RenderInterface::Color : &RenderInterface::Opacity))(floats(nColors));
                note(color ? "Color" : "Opacity");
                break;
            }
            case 5:
                w.ArchiveRecord(src.chance() ? "comment" : "structure", "%s",
                                kRecords[src.below(std::size(kRecords))]);
                break;
            case 6:
                shader();
                break;
            case 7:
                w.Translate(src.number(), src.number(), src.number());
                note("Translate");
                break;
            default:
                note(primitive());
        }
    }

    void shader() {
        const char* name = kShaders[src.below(std::size(kShaders))];
        params(nullptr, false);
        using Request = void (RenderInterface::*)(RtToken, RtInt, RtToken[], RtPointer[]);
        using R = RenderInterface;
        static const std::pair<const char*, Request> kinds[] = {
            {"Surface", &R::SurfaceV},       {"Displacement", &R::DisplacementV},
            {"Atmosphere", &R::AtmosphereV}, {"Interior", &R::InteriorV},
            {"Exterior", &R::ExteriorV},     {"Imager", &R::ImagerV},
            {"LightSource", nullptr},        {"AreaLightSource", nullptr},
            {"Attribute", &R::AttributeV},   {"Hider", &R::HiderV}};
        const auto& kind = kinds[src.below(std::size(kinds))];
        if (kind.second) {
            (w.*kind.second)(name, n(), t(), v());
        } else if (kind.first[0] == 'L') {  // the two that return a handle
            w.LightSourceV(name, n(), t(), v());
        } else {
            w.AreaLightSourceV(name, n(), t(), v());
        }
        note(kind.first);
    }

    // Returns the keyword the reader must find.
    const char* primitive() {
        switch (uint32_t kind = src.below(12)) {
            case 0: {
                params(quadricCounts(), false);
                float a = src.number(), b = src.number(), d = src.number();
                if (src.chance()) {
                    w.SphereV(a, b, d, 360, n(), t(), v());
                    return "Sphere";
                }
                w.TorusV(a, b, 0, d, 360, n(), t(), v());
                return "Torus";
            }
            case 1:
            case 9: {  // the number of points shows only in the size of "P"
                RtInt count = kind == 1 ? RtInt(src.below(4)) + 3 : RtInt(src.below(5)) + 1;
                params(perVertexCounts(count), true);
                kind == 1 ? w.PolygonV(count, n(), t(), v()) : w.PointsV(count, n(), t(), v());
                return kind == 1 ? "Polygon" : "Points";
            }
            case 2: {
                std::vector<RtInt> loops(src.below(3) + 1);
                for (RtInt& l : loops) l = RtInt(src.below(3)) + 3;
                params(perVertexCounts(std::accumulate(loops.begin(), loops.end(), 0LL)),
                       src.chance());
                w.GeneralPolygonV(RtInt(loops.size()), array(loops), n(), t(), v());
                return "GeneralPolygon";
            }
            case 3:
            case 4: {
                bool general = src.chance();
                std::vector<RtInt> nloops(src.below(3) + 1), nverts, verts;
                for (RtInt& l : nloops) {
                    l = general ? RtInt(src.below(2)) + 1 : 1;
                    for (RtInt k = 0; k < l; ++k) nverts.push_back(RtInt(src.below(2)) + 3);
                }
                for (RtInt count : nverts) {
                    for (RtInt k = 0; k < count; ++k) verts.push_back(RtInt(src.below(8)));
                }
                params(mesh((general ? nloops : nverts).size(), nverts, verts), src.chance());
                if (general) {
                    w.PointsGeneralPolygonsV(RtInt(nloops.size()), array(nloops), array(nverts),
                                             array(verts), n(), t(), v());
                    return "PointsGeneralPolygons";
                }
                w.PointsPolygonsV(RtInt(nverts.size()), array(nverts), array(verts), n(), t(), v());
                return "PointsPolygons";
            }
            case 5: {
                const char* type = src.chance() ? "bilinear" : "bicubic";
                params(patchCounts(type), false);
                w.PatchV(type, n(), t(), v());
                return "Patch";
            }
            case 6: {
                bool bilinear = src.chance();
                bool up = src.chance(), vp = src.chance();
                auto size = [&](bool periodic, int step) {
                    if (bilinear) return RtInt(src.below(3)) + 2;
                    RtInt k = RtInt(src.below(2)) + 1;
                    return periodic ? k * step : 4 + (k - 1) * step;
                };
                RtInt nu = size(up, ustep), nv = size(vp, vstep);
                const char* type = bilinear ? "bilinear" : "bicubic";
                params(patchMeshCounts(type, nu, up, nv, vp, ustep, vstep), false);
                w.PatchMeshV(type, nu, up ? "periodic" : "nonperiodic", nv,
                             vp ? "periodic" : "nonperiodic", n(), t(), v());
                return "PatchMesh";
            }
            case 7: {
                RtInt uorder = RtInt(src.below(3)) + 2, vorder = RtInt(src.below(3)) + 2;
                RtInt nu = uorder + RtInt(src.below(3)), nv = vorder + RtInt(src.below(3));
                params(nuPatchCounts(nu, uorder, nv, vorder), false);
                w.NuPatchV(nu, uorder, floats(nu + uorder), 0, 1, nv, vorder, floats(nv + vorder),
                           0, 1, n(), t(), v());
                return "NuPatch";
            }
            case 8: {
                bool cubic = src.chance(), periodic = src.chance();
                std::vector<RtInt> nverts(src.below(3) + 1);
                for (RtInt& count : nverts) {
                    RtInt k = RtInt(src.below(3)) + 1;
                    count = !cubic ? k + 1 : periodic ? k * vstep : 4 + (k - 1) * vstep;
                }
                const char* type = cubic ? "cubic" : "linear";
                params(curvesCounts(type, {nverts.begin(), nverts.end()}, periodic, vstep),
                       src.chance());
                w.CurvesV(type, RtInt(nverts.size()), array(nverts),
                          periodic ? "periodic" : "nonperiodic", n(), t(), v());
                return "Curves";
            }
            case 10: {
                std::vector<RtInt> nverts(src.below(3) + 1), verts, nargs, intargs;
                for (RtInt& count : nverts) {
                    count = RtInt(src.below(2)) + 3;
                    for (RtInt k = 0; k < count; ++k) verts.push_back(RtInt(src.below(6)));
                }
                // Each tag with its counts of integer and float arguments.
                const std::pair<RtToken, std::vector<RtInt>> tags[] = {
                    {"hole", {1, 0}}, {"crease", {2, 1}}, {"corner", {1, 1}},
                    {"interpolateboundary", {0, 0}}};
                std::vector<RtToken> names(src.below(3));
                long long nfloats = 0;
                for (RtToken& name : names) {
                    const auto& tag = tags[src.below(4)];
                    name = tag.first;
                    nargs.insert(nargs.end(), tag.second.begin(), tag.second.end());
                    for (RtInt i = 0; i < tag.second[0]; ++i)
                        intargs.push_back(RtInt(src.below(6)));
                    nfloats += tag.second[1];
                }
                params(mesh(nverts.size(), nverts, verts), src.chance());
                w.SubdivisionMeshV("catmull-clark", RtInt(nverts.size()), array(nverts),
                                   array(verts), RtInt(names.size()), array(names), array(nargs),
                                   array(intargs), floats(nfloats), n(), t(), v());
                return "SubdivisionMesh";
            }
            default: {
                // Ellipsoids, each with its 16 floats, joined by one add.
                RtInt leaves = RtInt(src.below(3)) + 1;
                std::vector<RtInt> code;
                for (RtInt i = 0; i < leaves; ++i) code.insert(code.end(), {1001, 16 * i});
                code.insert(code.end(), {0, leaves});
                for (RtInt i = 0; i < leaves; ++i) code.push_back(i);
                params(perVertexCounts(leaves), false);
                w.BlobbyV(leaves, RtInt(code.size()), array(code), 16 * leaves,
                          floats(16LL * leaves), 0, nullptr, n(), t(), v());
                return "Blobby";
            }
        }
    }

    ByteSource& src;
    RibWriter& w;
    std::vector<Block> blocks;
    struct Saved {
        int ustep, vstep, nColors;
        bool frame;
    };
    std::vector<Saved> saved;
    int ustep = 3, vstep = 3, nColors = 3;
    std::set<std::string> declared;
    std::vector<std::shared_ptr<void>> held;
    std::vector<RtToken> tokens;
    std::vector<RtPointer> values;
    std::vector<std::string> log;
};

// The bytes of the calls in one encoding, and the calls' log.
std::string written(const uint8_t* data, size_t size, int maxCalls, int encoding,
                    std::vector<std::string>& calls) {
    std::string path = tempPath("ribcheck");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = encoding;
    ByteSource source(data, size);
    calls = makeCalls(source, *w, maxCalls);
    delete w;
    std::string bytes = readFile(path);
    std::remove(path.c_str());
    return bytes;
}

}  // namespace

std::vector<std::string> makeCalls(ByteSource& source, RibWriter& writer, int maxCalls) {
    return Caller(source, writer).run(maxCalls);
}

std::string checkCalls(const uint8_t* data, size_t size, int maxCalls) {
    std::vector<std::string> calls, found;
    Document text = read(written(data, size, maxCalls, RibWriter::kText, calls));
    Document binary = read(written(data, size, maxCalls, RibWriter::kBinaryFloats, calls));
    std::string problems;
    for (const std::string& e : text.errors) problems += "text: " + e + "\n";
    for (const std::string& e : binary.errors) problems += "binary: " + e + "\n";
    std::string difference = compare(text, binary);
    if (!difference.empty()) problems += "text and binary differ: " + difference + "\n";
    // Declarations, comments and the header are no calls of the log.
    for (const Request& r : text.requests) {
        if (r.name == "#" || r.name == "##" || r.name == "version" || r.name == "Declare") continue;
        found.push_back(r.name);
        for (const Param& p : r.params) found.back() += " |" + p.token;
    }
    for (size_t i = 0; i < std::max(found.size(), calls.size()); ++i) {
        std::string want = i < calls.size() ? calls[i] : "(nothing)";
        std::string got = i < found.size() ? found[i] : "(nothing)";
        if (want != got) {
            problems += "request " + std::to_string(i) + ": called " + want + ", read " + got + "\n";
            break;
        }
    }
    return problems;
}

}  // namespace ribcheck
