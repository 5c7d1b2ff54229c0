#include "tests/support/ribencoder.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

namespace ribcheck {

namespace {

// The reader keeps every number as a double, so integers are told from
// floats here: the fixed arguments of the standard requests that hold
// integers, by place from 0. Parameters go by their declarations.
const std::map<std::string, std::set<std::size_t>> kIntegerArguments = {
    {"FrameBegin", {0}},       {"Format", {0, 1}},        {"Quantize", {1, 2, 3}},
    {"Sides", {0}},            {"Matte", {0}},            {"LightSource", {1}},
    {"AreaLightSource", {1}},  {"Illuminate", {0, 1}},    {"ObjectBegin", {0}},
    {"ObjectInstance", {0}},   {"Basis", {1, 3}},         {"PatchMesh", {1, 3}},
    {"NuPatch", {0, 1, 5, 6}}, {"TrimCurve", {0, 1, 5}},  {"GeneralPolygon", {0}},
    {"PointsPolygons", {0, 1}}, {"PointsGeneralPolygons", {0, 1, 2}},
    {"SubdivisionMesh", {1, 2, 4, 5}}, {"Curves", {1}},   {"Blobby", {0, 1}},
};

struct Encoder {
    std::string out;
    std::unordered_map<std::string, std::size_t> uses, stringCodes;
    std::map<std::string, std::size_t> requestCodes;
    std::set<std::string> integerTokens;  // declared integer

    void bigEndian(std::uint64_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) out += char((v >> (8 * i)) & 0xff);
    }
    static int bytesFor(std::uint64_t v) {
        return v < 0x100 ? 1 : v < 0x10000 ? 2 : v < 0x1000000 ? 3 : 4;
    }
    void floatBits(double d) {
        float f = float(d);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        bigEndian(bits, 4);
    }

    void literal(const std::string& s) {
        if (s.size() < 16) {
            out += char(0220 + s.size());
        } else {
            out += char(0240 + bytesFor(s.size()) - 1);  // then the length
            bigEndian(s.size(), bytesFor(s.size()));
        }
        out += s;
    }

    void string(const std::string& s) {
        auto found = stringCodes.find(s);
        if (found == stringCodes.end()) {
            // Used once, or every two-byte code taken: the string itself.
            if (uses[s] < 2 || stringCodes.size() >= 65536) return literal(s);
            found = stringCodes.emplace(s, stringCodes.size()).first;
            out += char(found->second < 256 ? 0315 : 0316);  // defined under a code
            bigEndian(found->second, found->second < 256 ? 1 : 2);
            literal(s);
        }
        out += char(found->second < 256 ? 0317 : 0320);  // referred to
        bigEndian(found->second, found->second < 256 ? 1 : 2);
    }

    void number(double d, bool integer) {
        if (integer && d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0) {
            out += char(0203);
            bigEndian(std::uint32_t(std::int32_t(d)), 4);
        } else {
            out += char(0244);
            floatBits(d);
        }
    }

    void value(const Value& v, bool integers) {
        if (v.kind == Value::Number)
            return number(v.numbers.empty() ? 0 : v.numbers[0], integers);
        if (v.kind == Value::String) return string(v.strings.empty() ? "" : v.strings[0]);
        // An empty array has no kind of its own: brackets suit any.
        if (v.kind == Value::Numbers && !integers && !v.numbers.empty()) {
            out += char(0310 + bytesFor(v.numbers.size()) - 1);  // then the count
            bigEndian(v.numbers.size(), bytesFor(v.numbers.size()));
            for (double d : v.numbers) floatBits(d);
            return;
        }
        out += '[';
        for (const std::string& s : v.strings) string(s);
        for (double d : v.numbers) number(d, integers);
        out += ']';
    }

    void request(const Request& r) {
        if (r.name == "#" || r.name == "##") {
            bool text = !r.args.empty() && !r.args[0].strings.empty();
            out += r.name + (text ? r.args[0].strings[0] : "") + "\n";
            return;
        }
        // Fewer than the 256 codes: the standard requests number about 100.
        auto code = requestCodes.find(r.name);
        if (code == requestCodes.end()) {
            code = requestCodes.emplace(r.name, requestCodes.size()).first;
            out += char(0314) + std::string(1, char(code->second));  // defined
            literal(r.name);
        }
        out += char(0246) + std::string(1, char(code->second));
        for (std::size_t i = 0; i < r.args.size(); ++i) {
            auto integers = kIntegerArguments.find(r.name);
            value(r.args[i], integers != kIntegerArguments.end() && integers->second.count(i));
        }
        for (const Param& p : r.params) {
            Declaration d;
            std::string name;
            bool integers = parseInline(p.token, d, name) ? d.type == "integer"
                                                           : integerTokens.count(p.token) != 0;
            string(p.token);
            value(p.value, integers);
        }
        Declaration d;
        if (r.name == "Declare" && r.args.size() == 2 && !r.args[0].strings.empty() &&
            !r.args[1].strings.empty() && parseDeclaration(r.args[1].strings[0], d)) {
            if (d.type == "integer") {
                integerTokens.insert(r.args[0].strings[0]);
            } else {
                integerTokens.erase(r.args[0].strings[0]);
            }
        }
    }
};

}  // namespace

std::string encodeComplete(const Document& document) {
    Encoder e;
    for (const Request& r : document.requests) {
        if (r.name == "#" || r.name == "##") continue;
        for (const Value& v : r.args)
            for (const std::string& s : v.strings) ++e.uses[s];
        for (const Param& p : r.params) {
            ++e.uses[p.token];
            for (const std::string& s : p.value.strings) ++e.uses[s];
        }
    }
    for (const Request& r : document.requests) e.request(r);
    return e.out;
}

}  // namespace ribcheck
