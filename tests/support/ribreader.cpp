#include "tests/support/ribreader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <sstream>
#include <utility>

namespace ribcheck {

namespace {

// ---- Lexing -------------------------------------------------------------

struct Item {
    enum Kind { Keyword, Val, Comment } kind = Keyword;
    std::string word;  // keyword, or a comment's "#" or "##"
    Value value;       // a value, or a comment's text
};

class Lexer {
  public:
    Lexer(const std::string& bytes, Document& doc) : s(bytes), doc(doc) {}

    bool next(Item& item) {
        for (;;) {
            skipBlanks();
            if (at >= s.size()) return false;
            unsigned char c = byte();
            item = Item();
            if (c == '#') {
                item.kind = Item::Comment;
                item.word = at + 1 < s.size() && s[at + 1] == '#' ? "##" : "#";
                at += item.word.size();
                size_t end = std::min(s.find('\n', at), s.size());
                item.value.kind = Value::String;
                item.value.strings.push_back(s.substr(at, end - at));
                at = end;
                return true;
            }
            if (c == '[') {
                item.kind = Item::Val;
                return readArray(item.value);
            }
            if (c == ']') {
                fail("']' without '['");
                ++at;
                continue;
            }
            if (std::isalpha(c) || c == '_') {
                size_t start = at;
                while (at < s.size() && (std::isalnum(byte()) || byte() == '_')) ++at;
                item.word = s.substr(start, at - start);
                ++doc.textTokens;
                return true;
            }
            if (c == 0xA6) {
                ++at;
                if (!have(1)) return false;
                if (defined(0, bigEndian(1), item.word)) return true;
                continue;
            }
            item.kind = Item::Val;
            if (readScalar(item.value)) return true;
            if (at >= s.size()) return false;
            fail("unexpected byte " + std::to_string(int(byte())));
            ++at;
        }
    }

  private:
    unsigned char byte() const { return static_cast<unsigned char>(s[at]); }
    void fail(const std::string& what) {
        doc.errors.push_back("offset " + std::to_string(at) + ": " + what);
    }
    // A definition stands for nothing where it is, so it may come between
    // any two tokens, inside an array too, like a blank.
    void skipBlanks() {
        for (;;) {
            while (at < s.size() &&
                   (s[at] == ' ' || s[at] == '\t' || s[at] == '\n' || s[at] == '\r'))
                ++at;
            if (at >= s.size() || byte() < 0xCC || byte() > 0xCE) return;
            size_t kind = byte() != 0xCC, width = byte() == 0xCE ? 2 : 1;
            Value text;
            ++at;
            if (!have(width)) return;
            uint64_t code = bigEndian(width);
            if (at < s.size() && readScalar(text) && text.kind == Value::String) {
                codes[kind][code] = text.strings[0];
            } else {
                fail("definition without its string");
            }
        }
    }
    // Kind 0 for request names, 1 for strings.
    bool defined(size_t kind, uint64_t code, std::string& text) {
        auto found = codes[kind].find(code);
        if (found != codes[kind].end()) text = found->second;
        else fail("code " + std::to_string(code) + " used before its definition");
        return found != codes[kind].end();
    }
    bool have(size_t n) {
        if (s.size() - at >= n) return true;
        fail("binary item runs past the end");
        at = s.size();
        return false;
    }
    uint64_t bigEndian(size_t n) {
        uint64_t v = 0;
        for (size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
        at += n;
        return v;
    }
    double binaryFloat() {
        uint32_t bits = uint32_t(bigEndian(4));
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

    // One number or string, text or binary; false when none starts here.
    bool readScalar(Value& v) {
        unsigned char c = byte();
        if (c == '"') {
            v.kind = Value::String;
            v.strings.push_back(readQuoted());
            ++doc.textTokens;
            return true;
        }
        if (std::isdigit(c) || c == '-' || c == '+' || c == '.') {
            const char* begin = s.c_str() + at;
            char* end = nullptr;
            double d = std::strtod(begin, &end);
            if (end == begin) return false;
            at += size_t(end - begin);
            v.kind = Value::Number;
            v.numbers.push_back(d);
            ++doc.textTokens;
            return true;
        }
        if (c < 0x80) return false;
        ++at;
        if (c <= 0x8F) {  // integer or fixed point: w+1 bytes, d of them fraction
            size_t width = (c & 3) + 1, fraction = (c >> 2) & 3;
            if (!have(width)) return false;
            // Producers write negative numbers in four bytes only, so
            // shorter ones are unsigned.
            uint64_t raw = bigEndian(width);
            double value = width == 4 ? double(int32_t(uint32_t(raw))) : double(raw);
            v.kind = Value::Number;
            v.numbers.push_back(value / std::pow(256.0, double(fraction)));
            return true;
        }
        if (c <= 0xA3) {  // strings: a length in the low nibble, or in 1 to 4 bytes
            size_t length = c & 0x0F;
            if (c >= 0xA0) {
                if (!have((c & 3) + 1u)) return false;
                length = size_t(bigEndian((c & 3) + 1u));
            }
            if (!have(length)) return false;
            v.kind = Value::String;
            v.strings.push_back(s.substr(at, length));
            at += length;
            return true;
        }
        if (c == 0xA4 || c == 0xA5) {
            if (!have(c == 0xA4 ? 4 : 8)) return false;
            v.kind = Value::Number;
            if (c == 0xA4) {
                v.numbers.push_back(binaryFloat());
            } else {
                uint64_t bits = bigEndian(8);
                double d;
                std::memcpy(&d, &bits, 8);
                v.numbers.push_back(d);
            }
            return true;
        }
        if (c == 0xCF || c == 0xD0) {
            if (!have(c - 0xCEu)) return false;
            v.kind = Value::String;
            v.strings.emplace_back();
            defined(1, bigEndian(c - 0xCEu), v.strings[0]);
            return true;
        }
        if (c >= 0xC8 && c <= 0xCB) {
            size_t countBytes = size_t(c - 0xC8) + 1;
            if (!have(countBytes)) return false;
            uint64_t count = bigEndian(countBytes);
            if (count > (s.size() - at) / 4) {
                fail("binary float array runs past the end");
                at = s.size();
                return false;
            }
            v.kind = Value::Numbers;
            for (uint64_t i = 0; i < count; ++i) v.numbers.push_back(binaryFloat());
            return true;
        }
        --at;
        return false;
    }

    std::string readQuoted() {
        std::string out;
        ++at;  // the opening quote
        while (at < s.size() && s[at] != '"') {
            char c = s[at++];
            if (c != '\\' || at >= s.size()) {
                out += c;
                continue;
            }
            char e = s[at++];
            static const char escapes[] = "nrtbf", meanings[] = "\n\r\t\b\f";
            if (e != '\0' && std::strchr(escapes, e)) {
                out += meanings[std::strchr(escapes, e) - escapes];
            } else if (e >= '0' && e <= '7') {
                int v = e - '0';
                for (int i = 0; i < 2 && at < s.size() && s[at] >= '0' && s[at] <= '7'; ++i)
                    v = v * 8 + (s[at++] - '0');
                out += char(v);
            } else if (e != '\n') {  // a break after the backslash continues the line
                out += e;
            }
        }
        if (at >= s.size()) {
            fail("string without its closing quote");
        } else {
            ++at;
        }
        return out;
    }

    bool readArray(Value& v) {
        ++at;  // '['
        v.kind = Value::Numbers;
        bool strings = false, numbers = false;
        for (;;) {
            skipBlanks();
            if (at >= s.size()) {
                fail("array without its ']'");
                return true;
            }
            if (s[at] == ']') {
                ++at;
                break;
            }
            Value element;
            if (!readScalar(element)) {
                fail("bad array element");
                ++at;
                continue;
            }
            if (element.kind == Value::String) {
                strings = true;
                v.strings.push_back(element.strings[0]);
            } else {
                numbers = true;
                v.numbers.insert(v.numbers.end(), element.numbers.begin(), element.numbers.end());
            }
        }
        if (strings && numbers) fail("array mixes strings and numbers");
        if (strings) v.kind = Value::Strings;
        return true;
    }

    const std::string& s;
    Document& doc;
    size_t at = 0;
    std::map<uint64_t, std::string> codes[2];
};

// ---- Request shapes -----------------------------------------------------

// Fixed arguments of each request and whether a parameter list follows.
struct Shape {
    int fixed;
    bool params;
};

const std::map<std::string, Shape>& shapes() {
    static const std::map<std::string, Shape> table = [] {
        const std::pair<Shape, const char*> groups[] = {
            {{0, false}, "FrameEnd WorldBegin WorldEnd AttributeBegin AttributeEnd "
                         "TransformBegin TransformEnd ReverseOrientation Identity MotionEnd "
                         "SolidEnd ObjectEnd"},
            {{0, true}, "Polygon Points"},
            {{1, false}, "version FrameBegin FrameAspectRatio PixelVariance RelativeDetail Color "
                         "Opacity TextureCoordinates ShadingRate ShadingInterpolation Matte "
                         "Bound Detail GeometricRepresentation Sides Orientation ConcatTransform "
                         "Transform Perspective CoordinateSystem CoordSysTransform MotionBegin "
                         "SolidBegin ObjectBegin ObjectInstance ErrorHandler"},
            {{1, true}, "Projection Hider Option Attribute Surface Displacement Atmosphere "
                        "Interior Exterior Imager GeneralPolygon Patch Geometry ReadArchive "
                        "Deformation"},
            {{2, false}, "Declare Clipping Shutter PixelSamples Exposure ColorSamples "
                         "GeometricApproximation Illuminate"},
            {{2, true}, "LightSource AreaLightSource PointsPolygons MakeShadow"},
            {{3, false}, "Format DepthOfField PixelFilter Translate Scale Procedural"},
            {{3, true}, "Display Cone Disk PointsGeneralPolygons Curves SubdivisionMesh"},
            {{4, false}, "ScreenWindow CropWindow DetailRange Rotate Basis"},
            {{4, true}, "Sphere Cylinder Paraboloid Blobby"},
            {{5, false}, "Quantize"},
            {{5, true}, "Torus PatchMesh MakeLatLongEnvironment"},
            {{6, false}, "ClippingPlane"},
            {{7, false}, "Skew"},
            {{7, true}, "Hyperboloid MakeTexture MakeBump"},
            {{10, false}, "TrimCurve"},
            {{10, true}, "NuPatch"},
            {{11, true}, "MakeCubeFaceEnvironment"},
        };
        std::map<std::string, Shape> byName;
        for (const auto& g : groups) {
            std::istringstream names(g.second);
            for (std::string name; names >> name;) byName[name] = g.first;
        }
        return byName;
    }();
    return table;
}

// Splits the values after a keyword into fixed arguments and parameters.
void shapeRequest(Request& r, std::vector<Value>& values, std::vector<std::string>& errors) {
    auto found = shapes().find(r.name);
    if (found == shapes().end()) {
        errors.push_back("unknown request " + r.name);
        return;
    }
    size_t fixed = size_t(found->second.fixed);
    // Tags come as four more arrays when there are any.
    if (r.name == "SubdivisionMesh" && values.size() > 3 && values[3].isArray()) fixed = 7;
    if (values.size() < fixed) {
        errors.push_back(r.name + ": " + std::to_string(values.size()) + " arguments, needs " +
                         std::to_string(fixed));
        fixed = values.size();
    }
    r.args.assign(values.begin(), values.begin() + long(fixed));
    size_t i = fixed;
    if (!found->second.params) {
        if (i < values.size()) errors.push_back(r.name + ": values after its arguments");
        return;
    }
    while (i < values.size()) {
        if (values[i].kind != Value::String) {
            errors.push_back(r.name + ": a value where a parameter name belongs");
            ++i;
            continue;
        }
        if (i + 1 >= values.size()) {
            errors.push_back(r.name + ": parameter \"" + values[i].strings[0] + "\" has no value");
            break;
        }
        Param p;
        p.token = values[i].strings[0];
        p.value = values[i + 1];
        // A lone value stands for an array of one.
        if (p.value.kind == Value::Number) p.value.kind = Value::Numbers;
        if (p.value.kind == Value::String) p.value.kind = Value::Strings;
        r.params.push_back(p);
        i += 2;
    }
}

// ---- Counting -----------------------------------------------------------

std::vector<long long> ints(const Value& v) {
    std::vector<long long> out;
    for (double d : v.numbers) out.push_back((long long)d);
    return out;
}

long long number(const Value& v) {
    return v.numbers.empty() ? 0 : (long long)v.numbers[0];
}

std::string text(const Value& v) {
    return v.strings.empty() ? "" : v.strings[0];
}

long long sum(const std::vector<long long>& v) {
    return std::accumulate(v.begin(), v.end(), 0LL);
}

long long pointCount(const std::vector<long long>& vertices) {
    if (vertices.empty()) return 0;
    return std::max(0LL, *std::max_element(vertices.begin(), vertices.end()) + 1);
}

// Declarations are one line: blanks and tabs part their words.
bool blank(char c) {
    return c == ' ' || c == '\t';
}

// The words and bracket of a declaration, as separate pieces.
std::vector<std::string> pieces(const std::string& text) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        if (blank(text[i])) {
            ++i;
        } else if (text[i] == '[') {
            size_t close = text.find(']', i);
            if (close == std::string::npos) close = text.size() - 1;
            out.push_back(text.substr(i, close - i + 1));
            i = close + 1;
        } else {
            size_t start = i;
            while (i < text.size() && !blank(text[i]) && text[i] != '[') ++i;
            out.push_back(text.substr(start, i - start));
        }
    }
    return out;
}

// The words in the order of StorageClass.
bool classWord(const std::string& w, StorageClass& c) {
    const char* const words[] = {"constant", "uniform", "varying", "vertex", "facevarying"};
    auto found = std::find(std::begin(words), std::end(words), w);
    if (found == std::end(words)) return false;
    c = StorageClass(found - std::begin(words));
    return true;
}

bool typeWord(const std::string& w, std::string& type) {
    const char* const words[] = {"float",  "integer", "string", "point", "vector",
                                 "normal", "color",   "hpoint", "matrix"};
    std::string t = w == "int" ? "integer" : w;
    if (std::find(std::begin(words), std::end(words), t) == std::end(words)) return false;
    type = t;
    return true;
}

// Reads [class] type [n] from the pieces; returns how many it used, 0 if none.
size_t declarationPieces(const std::vector<std::string>& p, Declaration& out) {
    size_t i = 0;
    out = Declaration();
    if (i < p.size() && classWord(p[i], out.storage)) ++i;
    if (i >= p.size() || !typeWord(p[i], out.type)) return 0;
    ++i;
    if (i < p.size() && p[i][0] == '[') {
        std::string inside = p[i].substr(1, p[i].size() - 2);
        if (p[i].back() != ']' || inside.empty() ||
            inside.find_first_not_of("0123456789 \t") != std::string::npos)
            return 0;
        out.arraySize = std::atoll(inside.c_str());
        if (out.arraySize < 1) return 0;
        ++i;
    }
    return i;
}

}  // namespace

long long Counts::of(StorageClass c) const {
    switch (c) {
        case Constant:
            return 1;
        case Uniform:
            return uniform;
        case Varying:
            return varying;
        case Vertex:
            return vertex;
        case FaceVarying:
            return faceVarying;
    }
    return 1;
}

bool parseDeclaration(const std::string& text, Declaration& out) {
    std::vector<std::string> p = pieces(text);
    return !p.empty() && declarationPieces(p, out) == p.size();
}

bool parseInline(const std::string& token, Declaration& out, std::string& name) {
    std::vector<std::string> p = pieces(token);
    size_t used = declarationPieces(p, out);
    if (used == 0 || used + 1 != p.size()) return false;
    name = p.back();
    return true;
}

long long typeWidth(const std::string& type, long long nColors) {
    if (type == "float" || type == "integer" || type == "string") return 1;
    if (type == "point" || type == "vector" || type == "normal") return 3;
    if (type == "color") return nColors;
    if (type == "hpoint") return 4;
    if (type == "matrix") return 16;
    return -1;
}

Counts quadricCounts() {
    return perVertexCounts(4);
}
Counts perVertexCounts(long long n) {
    return Counts{1, n, n, n};
}
Counts meshCounts(long long faces, const std::vector<long long>& nvertices,
                  const std::vector<long long>& vertices) {
    long long points = pointCount(vertices);
    return Counts{faces, points, points, sum(nvertices)};
}
Counts patchCounts(const std::string& type) {
    return Counts{1, 4, type == "bilinear" ? 4 : 16, 4};
}
Counts patchMeshCounts(const std::string& type, long long nu, bool uperiodic, long long nv,
                       bool vperiodic, long long ustep, long long vstep) {
    long long up, vp;
    if (type == "bilinear") {
        up = uperiodic ? nu : nu - 1;
        vp = vperiodic ? nv : nv - 1;
    } else {
        up = uperiodic ? nu / ustep : (nu - 4) / ustep + 1;
        vp = vperiodic ? nv / vstep : (nv - 4) / vstep + 1;
    }
    long long varying = (uperiodic ? up : up + 1) * (vperiodic ? vp : vp + 1);
    return Counts{up * vp, varying, nu * nv, varying};
}
Counts nuPatchCounts(long long nu, long long uorder, long long nv, long long vorder) {
    long long varying = (nu - uorder + 2) * (nv - vorder + 2);
    return Counts{(nu - uorder + 1) * (nv - vorder + 1), varying, nu * nv, varying};
}
Counts curvesCounts(const std::string& type, const std::vector<long long>& nvertices, bool periodic,
                    long long vstep) {
    long long varying = 0;
    for (long long nv : nvertices) {
        if (type != "cubic") {
            varying += nv;
        } else {
            varying += periodic ? nv / vstep : (nv - 4) / vstep + 2;
        }
    }
    return Counts{(long long)nvertices.size(), varying, sum(nvertices), varying};
}
namespace {

// What a reader keeps from request to request to size the values.
struct State {
    std::map<std::string, Declaration> declared;
    struct Saved {
        long long ustep, vstep, nColors;
        bool frame;
    };
    std::vector<Saved> saved;
    long long ustep = 3, vstep = 3, nColors = 3;

    State() {
        // The standard primitive variables every renderer knows.
        const std::pair<const char*, const char*> standard[] = {
            {"P", "vertex point"},      {"Pz", "vertex float"},
            {"Pw", "vertex hpoint"},    {"N", "varying normal"},
            {"Np", "uniform normal"},   {"Cs", "varying color"},
            {"Os", "varying color"},    {"s", "varying float"},
            {"t", "varying float"},     {"st", "varying float[2]"},
            {"width", "varying float"}, {"constantwidth", "constant float"}};
        for (auto& d : standard) parseDeclaration(d.second, declared[d.first]);
    }

    void push(bool frame) { saved.push_back({ustep, vstep, nColors, frame}); }
    void pop(const std::string& request, std::vector<std::string>& errors) {
        if (saved.empty()) {
            errors.push_back(request + " without its begin");
            return;
        }
        ustep = saved.back().ustep;
        vstep = saved.back().vstep;
        // Options, the colour samples among them, are saved by frames only.
        if (saved.back().frame) nColors = saved.back().nColors;
        saved.pop_back();
    }
};

// The counts of a primitive request; false for a request that is none.
bool primitiveCounts(const Request& r, const State& st, Counts& c) {
    const std::vector<Value>& a = r.args;
    const std::string& n = r.name;
    if (n == "Sphere" || n == "Cone" || n == "Cylinder" || n == "Disk" || n == "Hyperboloid" ||
        n == "Paraboloid" || n == "Torus") {
        c = quadricCounts();
    } else if (n == "Polygon" || n == "Points") {
        // The number of points shows only in the size of "P".
        long long points = 0;
        for (const Param& p : r.params) {
            if (p.token == "P") points = (long long)p.value.size() / 3;
        }
        c = perVertexCounts(points);
    } else if (n == "GeneralPolygon" && a.size() == 1) {
        c = perVertexCounts(sum(ints(a[0])));
    } else if ((n == "PointsPolygons" && a.size() == 2) ||
               (n == "SubdivisionMesh" && a.size() >= 3)) {
        size_t at = n == "SubdivisionMesh";  // after the scheme
        c = meshCounts((long long)ints(a[at]).size(), ints(a[at]), ints(a[at + 1]));
    } else if (n == "PointsGeneralPolygons" && a.size() == 3) {
        c = meshCounts((long long)ints(a[0]).size(), ints(a[1]), ints(a[2]));
    } else if (n == "Patch" && a.size() == 1) {
        c = patchCounts(text(a[0]));
    } else if (n == "PatchMesh" && a.size() == 5) {
        if (st.ustep <= 0 || st.vstep <= 0) return false;
        c = patchMeshCounts(text(a[0]), number(a[1]), text(a[2]) == "periodic", number(a[3]),
                            text(a[4]) == "periodic", st.ustep, st.vstep);
    } else if (n == "NuPatch" && a.size() == 10) {
        c = nuPatchCounts(number(a[0]), number(a[1]), number(a[5]), number(a[6]));
    } else if (n == "Curves" && a.size() == 3) {
        if (st.vstep <= 0) return false;
        c = curvesCounts(text(a[0]), ints(a[1]), text(a[2]) == "periodic", st.vstep);
    } else if (n == "Blobby" && a.size() == 4) {
        c = perVertexCounts(number(a[0]));
    } else {
        return false;
    }
    return true;
}

void checkParams(const Request& r, State& st, std::vector<std::string>& errors) {
    Counts counts;
    bool primitive = primitiveCounts(r, st, counts);
    for (const Param& p : r.params) {
        Declaration d;
        std::string name;
        if (!parseInline(p.token, d, name)) {
            auto found = st.declared.find(p.token);
            if (found == st.declared.end()) {
                // Shader and option parameters are the shader's or the
                // renderer's to know; a primitive's must be declared.
                if (primitive) errors.push_back(r.name + ": undeclared \"" + p.token + "\"");
                continue;
            }
            d = found->second;
        }
        long long width = typeWidth(d.type, st.nColors);
        long long per = primitive ? counts.of(d.storage) : 1;
        long long expected = per * d.arraySize * width;
        bool strings = d.type == "string";
        if ((strings && p.value.kind == Value::Numbers && !p.value.numbers.empty()) ||
            (!strings && p.value.kind == Value::Strings)) {
            errors.push_back(r.name + ": \"" + p.token + "\" has values of the wrong kind");
        }
        if ((long long)p.value.size() != expected) {
            errors.push_back(r.name + ": \"" + p.token + "\" has " +
                             std::to_string(p.value.size()) + " values, needs " +
                             std::to_string(expected));
        }
    }
}

void track(const Request& r, State& st, std::vector<std::string>& errors) {
    const std::string& n = r.name;
    if (n == "Declare" && r.args.size() == 2) {
        Declaration d;
        if (parseDeclaration(text(r.args[1]), d)) {
            st.declared[text(r.args[0])] = d;
        } else {
            errors.push_back("Declare \"" + text(r.args[0]) + "\": bad declaration \"" +
                             text(r.args[1]) + "\"");
        }
    } else if (n == "Basis" && r.args.size() == 4) {
        st.ustep = number(r.args[1]);
        st.vstep = number(r.args[3]);
    } else if (n == "ColorSamples" && r.args.size() == 2) {
        if (r.args[0].size() >= 3) st.nColors = (long long)r.args[0].size() / 3;
    } else if (n == "AttributeBegin" || n == "WorldBegin" || n == "SolidBegin" ||
               n == "ObjectBegin" || n == "FrameBegin") {
        st.push(n == "FrameBegin");
    } else if (n == "AttributeEnd" || n == "WorldEnd" || n == "SolidEnd" || n == "ObjectEnd" ||
               n == "FrameEnd") {
        st.pop(n, errors);
    } else if ((n == "Color" || n == "Opacity") && r.args.size() == 1) {
        if ((long long)r.args[0].size() != st.nColors)
            errors.push_back(n + ": " + std::to_string(r.args[0].size()) + " components, needs " +
                             std::to_string(st.nColors));
    }
    checkParams(r, st, errors);
}

// Nine digits of text give back the very float, read here as the nearest
// double; six keep only that much.
bool same(double a, double b, bool exact) {
    if (a == b || double(float(a)) == b || double(float(b)) == a) return true;
    return !exact && std::fabs(a - b) <= 1e-5 * std::max(std::fabs(a), std::fabs(b)) + 1e-30;
}

std::string compareValues(const Value& a, const Value& b, bool exact) {
    // An empty array has no kind of its own.
    if (a.kind != b.kind && !(a.isArray() && b.isArray() && a.size() == 0 && b.size() == 0))
        return "kinds differ";
    if (a.size() != b.size()) {
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    }
    if (a.strings != b.strings) return "strings differ";
    for (size_t i = 0; i < a.numbers.size(); ++i) {
        if (!same(a.numbers[i], b.numbers[i], exact)) {
            char both[80];
            std::snprintf(both, sizeof both, ": %.9g and %.9g", a.numbers[i], b.numbers[i]);
            return "value " + std::to_string(i) + both;
        }
    }
    return "";
}

}  // namespace

Document read(const std::string& bytes) {
    Document doc;
    Lexer lexer(bytes, doc);
    Item item;
    bool haveRequest = false;
    Request current;
    std::vector<Value> values;
    State state;
    auto finish = [&] {
        if (!haveRequest) return;
        shapeRequest(current, values, doc.errors);
        track(current, state, doc.errors);
        doc.requests.push_back(current);
        current = Request();
        values.clear();
        haveRequest = false;
    };
    while (lexer.next(item)) {
        if (item.kind == Item::Val) {
            if (!haveRequest) {
                doc.errors.push_back("a value outside any request");
                continue;
            }
            values.push_back(item.value);
            continue;
        }
        finish();
        if (item.kind == Item::Comment) {
            doc.requests.push_back(Request{item.word, {item.value}, {}});
            continue;
        }
        current.name = item.word;
        haveRequest = true;
    }
    finish();
    return doc;
}

std::string compare(const Document& text, const Document& binary, bool exact) {
    if (text.requests.size() != binary.requests.size()) {
        return "request counts " + std::to_string(text.requests.size()) + " and " +
               std::to_string(binary.requests.size());
    }
    for (size_t i = 0; i < text.requests.size(); ++i) {
        const Request& a = text.requests[i];
        const Request& b = binary.requests[i];
        std::string where = "request " + std::to_string(i) + " (" + a.name + ")";
        if (a.name != b.name) return where + ": " + b.name + " in binary";
        if (a.args.size() != b.args.size() || a.params.size() != b.params.size())
            return where + ": argument or parameter counts differ";
        for (size_t k = 0; k < a.args.size(); ++k) {
            std::string d = compareValues(a.args[k], b.args[k], exact);
            if (!d.empty()) return where + " argument " + std::to_string(k) + ": " + d;
        }
        for (size_t k = 0; k < a.params.size(); ++k) {
            if (a.params[k].token != b.params[k].token) return where + ": parameter names differ";
            std::string d = compareValues(a.params[k].value, b.params[k].value, exact);
            if (!d.empty()) return where + " \"" + a.params[k].token + "\": " + d;
        }
    }
    return "";
}

std::string compareComplete(const std::string& text, const std::string& complete) {
    Document a = read(text), b = read(complete);
    if (a.requests.empty()) return "nothing read";
    if (a.errors != b.errors) {
        auto first = [](const Document& d) { return d.errors.empty() ? "none" : d.errors[0]; };
        return "complaints differ, text " + first(a) + ", complete " + first(b);
    }
    if (b.textTokens) return std::to_string(b.textTokens) + " text tokens in the complete encoding";
    return compare(a, b, true);
}

}  // namespace ribcheck
