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
    switch (below(4)) {
        case 0:
            return float(int(below(21)) - 10);
        case 1:
            return float(int(below(2001)) - 1000) / 64.0f;
        case 2: {
            uint32_t bits = 0;
            for (int i = 0; i < 4; ++i) bits = (bits << 8) | take();
            float f;
            std::memcpy(&f, &bits, 4);
            return std::isfinite(f) ? f : 0.5f;
        }
        default:
            return float(below(1000)) * 0.001f;
    }
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
    const char* declareText;
};

const Entry kPrimitiveEntries[] = {
    {"N", Varying, "normal", 1, nullptr},
    {"Cs", Varying, "color", 1, nullptr},
    {"st", Varying, "float", 2, nullptr},
    {"s", Varying, "float", 1, nullptr},
    {"width", Varying, "float", 1, nullptr},
    {"constantwidth", Constant, "float", 1, nullptr},
    {"uniform float u1", Uniform, "float", 1, nullptr},
    {"constant color cc", Constant, "color", 1, nullptr},
    {"vertex float[2] vf", Vertex, "float", 2, nullptr},
    {"uniform string tag", Uniform, "string", 1, nullptr},
    {"varying integer id", Varying, "integer", 1, nullptr},
    {"uniform matrix mx", Uniform, "matrix", 1, nullptr},
    {"vertex hpoint hp", Vertex, "hpoint", 1, nullptr},
    {"facevarying float fv", FaceVarying, "float", 1, nullptr},
    {"uniform float [3] k3", Uniform, "float", 3, nullptr},
    {"varying\tfloat\tvt", Varying, "float", 1, nullptr},
    {"dk", Uniform, "float", 3, "uniform float [3]"},
    {"dfv", FaceVarying, "normal", 1, "facevarying normal"},
    {"dc", Varying, "color", 1, "varying\tcolor"},
    {"dv", Vertex, "vector", 1, "vertex vector"},
};

const Entry kShaderEntries[] = {
    {"Ka", Uniform, "float", 1, nullptr},
    {"lightcolor", Uniform, "color", 1, nullptr},
    {"uniform float sf", Uniform, "float", 1, nullptr},
    {"color tint", Uniform, "color", 1, nullptr},
    {"string mapname", Uniform, "string", 1, nullptr},
    {"float[2] pair", Uniform, "float", 2, nullptr},
    {"uniform point [2] ends", Uniform, "point", 2, nullptr},
    {"dk", Uniform, "float", 3, "uniform float [3]"},
};

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
    // ---- values held for the length of one call
    template <typename T>
    T* hold(size_t n) {
        T* p = new T[n];
        std::shared_ptr<void> owner(p, [](void* q) { delete[] static_cast<T*>(q); });
        held.push_back(owner);
        return p;
    }
    template <typename T, typename Next>
    T* filled(long long n, Next next) {
        T* p = hold<T>(size_t(n));
        for (long long i = 0; i < n; ++i) p[i] = next();
        return p;
    }
    float* floats(long long n) { return filled<float>(n, [&] { return src.number(); }); }
    void release() {
        held.clear();
        tokens.clear();
        values.clear();
    }

    // Adds up to three parameters; counts null for a request that is no primitive.
    void params(const Counts* counts, bool withP) {
        if (withP) {
            long long n = counts->vertex * 3;
            tokens.push_back("P");
            values.push_back(floats(n));
        }
        const Entry* table = counts ? kPrimitiveEntries : kShaderEntries;
        size_t size = counts ? std::size(kPrimitiveEntries) : std::size(kShaderEntries);
        uint32_t k = src.below(4);
        for (uint32_t i = 0; i < k; ++i) {
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

    RtInt* intArray(const std::vector<RtInt>& from) {
        RtInt* p = hold<RtInt>(from.size());
        std::copy(from.begin(), from.end(), p);
        return p;
    }
    static std::vector<long long> wide(const std::vector<RtInt>& v) {
        return std::vector<long long>(v.begin(), v.end());
    }
    static Counts mesh(size_t faces, const std::vector<RtInt>& nverts,
                       const std::vector<RtInt>& verts) {
        return meshCounts((long long)faces, wide(nverts), wide(verts));
    }

    // ---- blocks; all but transforms save the basis steps
    enum Block { Attribute, Transform, Frame, World, Solid, Object };
    static std::string blockName(Block b) {
        const char* const names[] = {"Attribute", "Transform", "Frame", "World", "Solid", "Object"};
        return names[b];
    }
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
        note(blockName(b) + "Begin");
        blocks.push_back(b);
        if (b != Transform) saved.push_back({ustep, vstep, nColors, b == Frame});
    }
    void end() {
        Block b = blocks.back();
        blocks.pop_back();
        switch (b) {
            case Attribute: w.AttributeEnd(); break;
            case Transform: w.TransformEnd(); break;
            case Frame: w.FrameEnd(); break;
            case World: w.WorldEnd(); break;
            case Solid: w.SolidEnd(); break;
            case Object: w.ObjectEnd(); break;
        }
        note(blockName(b) + "End");
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
            case 4:
                if (src.chance()) {
                    w.Color(floats(nColors));
                    note("Color");
                } else {
                    w.Opacity(floats(nColors));
                    note("Opacity");
                }
                break;
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
        static const std::pair<const char*, Request> kinds[] = {
            {"Surface", &RenderInterface::SurfaceV},
            {"Displacement", &RenderInterface::DisplacementV},
            {"Atmosphere", &RenderInterface::AtmosphereV},
            {"Interior", &RenderInterface::InteriorV},
            {"Exterior", &RenderInterface::ExteriorV},
            {"Imager", &RenderInterface::ImagerV},
            {"LightSource", nullptr},
            {"AreaLightSource", nullptr},
            {"Attribute", &RenderInterface::AttributeV},
            {"Hider", &RenderInterface::HiderV}};
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
        switch (src.below(12)) {
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
            case 1: {
                RtInt nv = RtInt(src.below(4)) + 3;
                params(perVertexCounts(nv), true);
                w.PolygonV(nv, n(), t(), v());
                return "Polygon";
            }
            case 2: {
                std::vector<RtInt> loops(src.below(3) + 1);
                for (RtInt& l : loops) l = RtInt(src.below(3)) + 3;
                params(perVertexCounts(std::accumulate(loops.begin(), loops.end(), 0LL)),
                       src.chance());
                w.GeneralPolygonV(RtInt(loops.size()), intArray(loops), n(), t(), v());
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
                if (general) {
                    params(mesh(nloops.size(), nverts, verts), src.chance());
                    w.PointsGeneralPolygonsV(RtInt(nloops.size()), intArray(nloops),
                                             intArray(nverts), intArray(verts), n(), t(), v());
                    return "PointsGeneralPolygons";
                }
                params(mesh(nverts.size(), nverts, verts), src.chance());
                w.PointsPolygonsV(RtInt(nverts.size()), intArray(nverts), intArray(verts), n(), t(),
                                  v());
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
                params(curvesCounts(type, wide(nverts), periodic, vstep), src.chance());
                w.CurvesV(type, RtInt(nverts.size()), intArray(nverts),
                          periodic ? "periodic" : "nonperiodic", n(), t(), v());
                return "Curves";
            }
            case 9: {
                RtInt count = RtInt(src.below(5)) + 1;
                params(perVertexCounts(count), true);
                w.PointsV(count, n(), t(), v());
                return "Points";
            }
            case 10: {
                std::vector<RtInt> nverts(src.below(3) + 1), verts;
                for (RtInt& count : nverts) {
                    count = RtInt(src.below(2)) + 3;
                    for (RtInt k = 0; k < count; ++k) verts.push_back(RtInt(src.below(6)));
                }
                // Tags with their integer and float argument counts.
                struct Tag {
                    const char* name;
                    RtInt ints, floats;
                };
                const Tag tags[] = {{"hole", 1, 0}, {"crease", 2, 1}, {"corner", 1, 1},
                                    {"interpolateboundary", 0, 0}};
                RtInt ntags = RtInt(src.below(3));
                RtToken* names = hold<RtToken>(size_t(ntags));
                RtInt* nargs = hold<RtInt>(size_t(2 * ntags));
                std::vector<RtInt> intargs;
                long long nfloats = 0;
                for (RtInt k = 0; k < ntags; ++k) {
                    const Tag& tag = tags[src.below(4)];
                    names[k] = tag.name;
                    nargs[2 * k] = tag.ints;
                    nargs[2 * k + 1] = tag.floats;
                    for (RtInt i = 0; i < tag.ints; ++i) intargs.push_back(RtInt(src.below(6)));
                    nfloats += tag.floats;
                }
                params(mesh(nverts.size(), nverts, verts), src.chance());
                w.SubdivisionMeshV("catmull-clark", RtInt(nverts.size()), intArray(nverts),
                                   intArray(verts), ntags, names, nargs, intArray(intargs),
                                   floats(nfloats), n(), t(), v());
                return "SubdivisionMesh";
            }
            default: {
                // Ellipsoids, each with its 16 floats, joined by one add.
                RtInt leaves = RtInt(src.below(3)) + 1;
                std::vector<RtInt> code;
                for (RtInt i = 0; i < leaves; ++i) {
                    code.push_back(1001);
                    code.push_back(16 * i);
                }
                code.push_back(0);
                code.push_back(leaves);
                for (RtInt i = 0; i < leaves; ++i) code.push_back(i);
                params(perVertexCounts(leaves), false);
                w.BlobbyV(leaves, RtInt(code.size()), intArray(code), 16 * leaves,
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

std::string written(const uint8_t* data, size_t size, int maxCalls, bool binary,
                    std::vector<std::string>& calls) {
    std::string path = tempPath("ribcheck");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = binary;
    ByteSource source(data, size);
    calls = makeCalls(source, *w, maxCalls);
    delete w;
    std::string bytes = readFile(path);
    std::remove(path.c_str());
    return bytes;
}

// The requests of a document in the shape of the calls' log.
std::vector<std::string> requestLines(const Document& doc) {
    std::vector<std::string> lines;
    for (const Request& r : doc.requests) {
        if (r.name == "#" || r.name == "##" || r.name == "version" || r.name == "Declare")
            continue;
        std::string line = r.name;
        for (const Param& p : r.params) line += " |" + p.token;
        lines.push_back(line);
    }
    return lines;
}

}  // namespace

std::vector<std::string> makeCalls(ByteSource& source, RibWriter& writer, int maxCalls) {
    return Caller(source, writer).run(maxCalls);
}

std::string checkCalls(const uint8_t* data, size_t size, int maxCalls) {
    std::vector<std::string> calls;
    Document text = read(written(data, size, maxCalls, false, calls));
    Document binary = read(written(data, size, maxCalls, true, calls));
    std::string problems;
    for (const std::string& e : text.errors) problems += "text: " + e + "\n";
    for (const std::string& e : binary.errors) problems += "binary: " + e + "\n";
    std::string difference = compare(text, binary);
    if (!difference.empty()) problems += "text and binary differ: " + difference + "\n";
    std::vector<std::string> found = requestLines(text);
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
