#include "tests/support/ribencoder.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <unordered_map>

namespace ribcheck {

namespace {

// The encoding's bytes.
constexpr unsigned char kInteger4 = 0203;
constexpr unsigned char kShortString = 0220;  // + length below 16
constexpr unsigned char kLongString = 0240;   // + length bytes - 1
constexpr unsigned char kFloat = 0244;
constexpr unsigned char kRequest = 0246;
constexpr unsigned char kFloatArray = 0310;  // + count bytes - 1
constexpr unsigned char kDefineRequest = 0314;
constexpr unsigned char kDefineString = 0315;  // + code bytes - 1
constexpr unsigned char kStringRef = 0317;     // + code bytes - 1

class Encoder {
  public:
    Encoder(const Document& doc, const EncodeOptions& options) : doc_(doc), options_(options) {
        for (const Request& r : doc.requests) {
            if (r.name == "#" || r.name == "##") continue;
            for (const Value& v : r.args) countStrings(v);
            for (const Param& p : r.params) {
                ++uses_[p.token];
                countStrings(p.value);
            }
        }
    }

    std::string run() {
        for (const Request& r : doc_.requests) request(r);
        return std::move(out_);
    }

  private:
    void countStrings(const Value& v) {
        for (const std::string& s : v.strings) ++uses_[s];
    }

    void byte(unsigned char b) { out_ += char(b); }

    void bigEndian(std::uint64_t v, int bytes) {
        for (int i = bytes - 1; i >= 0; --i) byte(static_cast<unsigned char>(v >> (8 * i)));
    }

    static int bytesFor(std::uint64_t v) {
        int n = 1;
        while (n < 4 && v >= (std::uint64_t(1) << (8 * n))) ++n;
        return n;
    }

    void literalString(const std::string& s) {
        if (s.size() < 16) {
            byte(static_cast<unsigned char>(kShortString + s.size()));
        } else {
            int n = bytesFor(s.size());
            byte(static_cast<unsigned char>(kLongString + n - 1));
            bigEndian(s.size(), n);
        }
        out_ += s;
    }

    void string(const std::string& s) {
        auto used = uses_.find(s);
        if (used == uses_.end() || used->second < options_.defineAfterUses) {
            literalString(s);
            return;
        }
        auto found = stringCodes_.find(s);
        if (found == stringCodes_.end()) {
            if (stringCodes_.size() >= 65536) {  // every code taken
                literalString(s);
                return;
            }
            std::size_t code = stringCodes_.size();
            found = stringCodes_.emplace(s, code).first;
            int n = code < 256 ? 1 : 2;
            byte(static_cast<unsigned char>(kDefineString + n - 1));
            bigEndian(code, n);
            literalString(s);
        }
        int n = found->second < 256 ? 1 : 2;
        byte(static_cast<unsigned char>(kStringRef + n - 1));
        bigEndian(found->second, n);
    }

    static bool fitsInteger(double d) {
        return d == std::floor(d) && d >= -2147483648.0 && d <= 2147483647.0;
    }

    void integer(double d) {
        byte(kInteger4);
        bigEndian(std::uint32_t(std::int32_t(d)), 4);
    }

    void floatValue(double d) {
        float f = float(d);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        byte(kFloat);
        bigEndian(bits, 4);
    }

    void number(double d, bool asInteger) {
        if (asInteger && fitsInteger(d)) {
            integer(d);
        } else {
            floatValue(d);
        }
    }

    void value(const Value& v, bool integers) {
        switch (v.kind) {
            case Value::Number:
                number(v.numbers.empty() ? 0 : v.numbers[0], integers);
                return;
            case Value::String:
                string(v.strings.empty() ? "" : v.strings[0]);
                return;
            case Value::Strings:
                out_ += '[';
                for (const std::string& s : v.strings) string(s);
                out_ += ']';
                return;
            case Value::Numbers:
                // An empty array has no kind of its own: brackets suit any.
                if (integers || v.numbers.empty()) {
                    out_ += '[';
                    for (double d : v.numbers) number(d, integers);
                    out_ += ']';
                    return;
                }
                int n = bytesFor(v.numbers.size());
                byte(static_cast<unsigned char>(kFloatArray + n - 1));
                bigEndian(v.numbers.size(), n);
                for (double d : v.numbers) {
                    float f = float(d);
                    std::uint32_t bits;
                    std::memcpy(&bits, &f, 4);
                    bigEndian(bits, 4);
                }
                return;
        }
    }

    void name(const std::string& n) {
        auto found = requestCodes_.find(n);
        if (found == requestCodes_.end()) {
            if (requestCodes_.size() >= 256) {  // codes used up: the name as text
                out_ += n;
                out_ += ' ';
                return;
            }
            std::size_t code = requestCodes_.size();
            found = requestCodes_.emplace(n, code).first;
            byte(kDefineRequest);
            byte(static_cast<unsigned char>(code));
            literalString(n);
        }
        byte(kRequest);
        byte(static_cast<unsigned char>(found->second));
    }

    bool integerParam(const std::string& token) const {
        Declaration d;
        std::string inlineName;
        if (parseInline(token, d, inlineName)) return d.type == "integer";
        auto found = declaredIntegers_.find(token);
        return found != declaredIntegers_.end() && found->second;
    }

    void request(const Request& r) {
        if (r.name == "#" || r.name == "##") {
            out_ += r.name;
            if (!r.args.empty() && !r.args[0].strings.empty()) out_ += r.args[0].strings[0];
            out_ += '\n';
            return;
        }
        name(r.name);
        for (std::size_t i = 0; i < r.args.size(); ++i)
            value(r.args[i], options_.integerArgument && options_.integerArgument(r.name, i));
        for (const Param& p : r.params) {
            string(p.token);
            value(p.value, integerParam(p.token));
        }
        if (r.name == "Declare" && r.args.size() == 2 && !r.args[0].strings.empty() &&
            !r.args[1].strings.empty()) {
            Declaration d;
            if (parseDeclaration(r.args[1].strings[0], d))
                declaredIntegers_[r.args[0].strings[0]] = d.type == "integer";
        }
    }

    const Document& doc_;
    const EncodeOptions& options_;
    std::string out_;
    std::unordered_map<std::string, std::size_t> uses_;
    std::unordered_map<std::string, std::size_t> stringCodes_;
    std::map<std::string, std::size_t> requestCodes_;
    std::map<std::string, bool> declaredIntegers_;
};

}  // namespace

bool standardIntegerArgument(const std::string& request, std::size_t argument) {
    static const std::map<std::string, std::set<std::size_t>> table = {
        {"FrameBegin", {0}},
        {"Format", {0, 1}},
        {"Quantize", {1, 2, 3}},
        {"Sides", {0}},
        {"Matte", {0}},
        {"LightSource", {1}},
        {"AreaLightSource", {1}},
        {"Illuminate", {0, 1}},
        {"ObjectBegin", {0}},
        {"ObjectInstance", {0}},
        {"Basis", {1, 3}},
        {"PatchMesh", {1, 3}},
        {"NuPatch", {0, 1, 5, 6}},
        {"TrimCurve", {0, 1, 5}},
        {"GeneralPolygon", {0}},
        {"PointsPolygons", {0, 1}},
        {"PointsGeneralPolygons", {0, 1, 2}},
        {"SubdivisionMesh", {1, 2, 4, 5}},
        {"Curves", {1}},
        {"Blobby", {0, 1}},
    };
    auto found = table.find(request);
    return found != table.end() && found->second.count(argument) != 0;
}

std::string encodeComplete(const Document& document, const EncodeOptions& options) {
    return Encoder(document, options).run();
}

}  // namespace ribcheck
