#include "rib/ribreader.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "rib/internal/declarations.h"
#include "rib/internal/errors.h"
#include "rib/internal/ribinput.h"
#include "rib/internal/riblexer.h"

namespace duzozo {

namespace {

// One argument of a request as read. Numbers keep both readings, since a
// text "1" may stand for an integer or a float; strings live in the parser's
// arena until the request has been made.
struct Item {
    enum Kind : uint8_t { Number, String, Array };
    Kind kind = Number;
    bool integral = true;  // every number in it was an integer token
    bool strings = false;  // an array of strings
    uint32_t first = 0;    // into the number pools, or the string list
    uint32_t count = 1;
    std::size_t offset = 0, line = 1;
    bool binary = false;
};

}  // namespace

struct Place {
    std::size_t offset = 0, line = 1;
    bool binary = false;
};

namespace {

RtFilterFunc filterNamed(const char* name) {
    struct Named {
        const char* name;
        RtFilterFunc filter;
    };
    static const Named filters[] = {{"gaussian", RiGaussianFilter},
                                    {"box", RiBoxFilter},
                                    {"triangle", RiTriangleFilter},
                                    {"catmull-rom", RiCatmullRomFilter},
                                    {"sinc", RiSincFilter}};
    for (const Named& f : filters) {
        if (std::strcmp(name, f.name) == 0) return f.filter;
    }
    return nullptr;
}

RtFloat* basisNamed(const char* name) {
    struct Named {
        const char* name;
        RtBasis* basis;
    };
    static const Named bases[] = {{"bezier", &RiBezierBasis},
                                  {"b-spline", &RiBSplineBasis},
                                  {"catmull-rom", &RiCatmullRomBasis},
                                  {"hermite", &RiHermiteBasis},
                                  {"power", &RiPowerBasis}};
    for (const Named& b : bases) {
        if (std::strcmp(name, b.name) == 0) return &(*b.basis)[0][0];
    }
    return nullptr;
}

// A float read where an integer may stand: its integer value when it has one
// in range, else 0 (and the float is not taken as an integer anyway).
RtInt asInteger(float f) {
    return f >= -2147483648.0f && f < 2147483648.0f ? RtInt(f) : 0;
}

long long clampCount(long long v) {
    if (v < 0) return 0;
    if (v > 0x7fffffff) return 0x7fffffff;
    return v;
}

long long sumOf(const RtInt* values, long long n) {
    long long total = 0;
    for (long long i = 0; i < n; ++i) total += values[i];
    return total;
}

long long pointsOf(const RtInt* vertices, long long n) {
    long long largest = -1;
    for (long long i = 0; i < n; ++i) largest = std::max<long long>(largest, vertices[i]);
    return largest + 1;
}

}  // namespace

struct RibReader::Parser {
    explicit Parser(RenderInterface& target) : out(target) {}

    RenderInterface& out;
    bool keepHeader = false;
    int problems = 0;
    int depth = 0;  // files being read inside one another

    // What a reader needs to count values as the writer does.
    Declarations declarations;
    int uStep = 3, vStep = 3, colorSamples = 3;
    struct Saved {
        int uStep, vStep, colorSamples;
        bool frame;
    };
    std::vector<Saved> saved;
    // The file's handles (numbers, or strings as some producers write them)
    // and the target's.
    std::unordered_map<std::string, RtInt> lights, objects;
    bool handle(size_t& k, std::string& key, const char* what) {
        if (k < items.size() && items[k].kind == Item::String) {
            key = strings[items[k++].first];
            return true;
        }
        RtInt number = 0;
        if (!integer(k, number, what)) return false;
        key = std::to_string(number);
        return true;
    }
    // A handle the file never gave is handed on as the number it is.
    RtInt target(const std::unordered_map<std::string, RtInt>& known, const std::string& key) {
        auto found = known.find(key);
        if (found != known.end()) return found->second;
        char* end = nullptr;
        long number = std::strtol(key.c_str(), &end, 10);
        return end && *end == '\0' ? RtInt(number) : 0;
    }
    // The blocks open now, with where each began, so that an end without its
    // begin, or a begin never ended, is reported.
    // Blocks may span the files of one reading (joined files, included ones).
    struct Open {
        const char* kind;
        Place place;
        std::string file;
    };
    std::vector<Open> blocks;
    void opens(const char* kind) { blocks.push_back({kind, at, lexer->name()}); }
    void finish() {
        for (const Open& open : blocks) {
            problemIn(open.file, open.place, RIE_NESTING, std::string(open.kind) + "Begin never ended");
        }
        blocks.clear();
    }
    void closes(const char* kind) {
        size_t open = blocks.size();
        while (open > 0 && std::strcmp(blocks[open - 1].kind, kind) != 0) --open;
        if (open == 0) {
            problem(RIE_NESTING, name + " without its " + kind + "Begin");
            return;
        }
        // Blocks begun inside this one and never ended end with it.
        for (size_t j = blocks.size(); j-- > open;) {
            problemIn(blocks[j].file, blocks[j].place, RIE_NESTING,
                      std::string(blocks[j].kind) + "Begin never ended before " + name);
        }
        blocks.resize(open - 1);
    }

    // The request being read.
    RibLexer* lexer = nullptr;
    std::string name;
    Place at;
    std::vector<Item> items;
    std::vector<float> numbers;
    std::vector<RtInt> integers;
    std::string arena;
    std::vector<uint32_t> stringStarts;
    std::vector<const char*> strings;
    bool damaged = false;  // an argument could not be read
    // Comments met among a request's arguments follow the request, as they
    // did where it was written.
    std::vector<std::string> laterComments;
    bool collecting = false;
    // Parameter lists, and values converted for them.
    std::vector<RtToken> tokens;
    std::vector<RtPointer> values;
    std::vector<RtInt> convertedInts;
    std::vector<RtFloat> convertedFloats;
    std::vector<const char*> convertedStrings;

    // Reports a problem at a place of the input.
    void problem(const Place& place, RtInt code, const std::string& message) {
        problemIn(lexer->name(), place, code, message);
    }
    void problemIn(const std::string& file, const Place& place, RtInt code,
                   const std::string& message) {
        ++problems;
        reportError(code, RIE_ERROR, (placeOf(file, place) + ": " + message).c_str());
    }
    // "file:line" in text, "file: byte N" in encoded data.
    static std::string placeOf(const std::string& file, const Place& place) {
        return file + (place.binary ? ": byte " + std::to_string(place.offset)
                                    : ":" + std::to_string(place.line));
    }
    void problem(RtInt code, const std::string& message) { problem(at, code, message); }

    bool read(const char* data, std::size_t size, const std::string& inputName);
    void collect(RibToken& token);
    bool collectArray(RibToken& token, Item& item);
    void addString(std::string_view text);
    void request();
    void comment(std::string_view text);

    // Arguments: each takes item k and moves k past what it used.
    bool number(size_t& k, RtFloat& v, const char* what);
    bool integer(size_t& k, RtInt& v, const char* what);
    bool string(size_t& k, const char*& v, const char* what);
    // n floats as n numbers or one array of n; any count when n < 0.
    bool floats(size_t& k, long long n, RtFloat*& v, RtInt& count, const char* what);
    bool ints(size_t& k, RtInt*& v, RtInt& count, const char* what);
    bool stringArray(size_t& k, const char**& v, RtInt& count, const char* what);
    bool end(size_t k);
    // The parameter list from item k; primitive counts when `counts` is given.
    struct Counts {
        long long vertex, varying, uniform, faceVarying;
    };
    bool params(size_t k, const Counts* counts);
    long long expectedValues(const Declaration& d, const Counts* counts) const;
    // The number of values of a parameter given as an item.
    long long valuesOf(const Item& item) const { return item.kind == Item::Array ? item.count : 1; }

    void save(bool frame) { saved.push_back({uStep, vStep, colorSamples, frame}); }
    void restore() {
        if (saved.empty()) return;
        uStep = saved.back().uStep;
        vStep = saved.back().vStep;
        if (saved.back().frame) colorSamples = saved.back().colorSamples;
        saved.pop_back();
    }
    // Counts that come from the "P" of a list that names no count.
    long long pointsFromP(size_t k);

    void readArchive(const char* file, size_t k);

  public:
    // "file:line" (or "file: byte N") of the request being made.
    std::string where() const { return lexer ? placeOf(lexer->name(), at) : std::string(); }
};

bool RibReader::Parser::read(const char* data, std::size_t size, const std::string& inputName) {
    int before = problems;
    RibLexer lex(data, size, inputName, [&](const RibLexError& e) {
        problem(Place{e.offset, e.line, e.binary}, RIE_SYNTAX, e.message);
    });
    RibLexer* outer = lexer;
    lexer = &lex;
    RibToken token;
    lex.next(token);
    while (token.kind != RibToken::End) {
        if (token.kind == RibToken::Comment) {
            comment(token.text);
            lex.next(token);
            continue;
        }
        if (token.kind != RibToken::Name) {
            problem(Place{token.offset, token.line, token.binary}, RIE_SYNTAX,
                    "a value where a request belongs");
            // Everything up to the next request belongs to no request.
            while (lex.next(token) && token.kind != RibToken::Name && token.kind != RibToken::Comment) {
            }
            continue;
        }
        name.assign(token.text);
        at = Place{token.offset, token.line, token.binary};
        items.clear();
        numbers.clear();
        integers.clear();
        arena.clear();
        stringStarts.clear();
        damaged = false;
        laterComments.clear();
        collecting = true;
        lex.next(token);
        collect(token);
        collecting = false;
        strings.clear();
        for (uint32_t start : stringStarts) strings.push_back(arena.data() + start);
        std::vector<std::string> comments;
        comments.swap(laterComments);
        if (!damaged) request();
        for (const std::string& text : comments) comment(text);
    }
    lexer = outer;
    return problems == before;
}

void RibReader::Parser::addString(std::string_view text) {
    stringStarts.push_back(uint32_t(arena.size()));
    arena.append(text);
    arena.push_back('\0');
}

// Reads the arguments of the current request, leaving in `token` the first
// token that is not one (the next request, or the end).
void RibReader::Parser::collect(RibToken& token) {
    for (;;) {
        Item item;
        item.offset = token.offset;
        item.line = token.line;
        item.binary = token.binary;
        switch (token.kind) {
            case RibToken::End:
            case RibToken::Name:
                return;
            case RibToken::Comment:
                comment(token.text);
                lexer->next(token);
                continue;
            case RibToken::Integer:
            case RibToken::Float:
                item.integral = token.kind == RibToken::Integer;
                item.first = uint32_t(numbers.size());
                numbers.push_back(token.asFloat());
                // A float's integer value is worked out only where one is asked for.
                integers.push_back(item.integral ? token.integer : 0);
                break;
            case RibToken::String:
                item.kind = Item::String;
                item.first = uint32_t(stringStarts.size());
                addString(token.text);
                break;
            case RibToken::FloatArray: {
                item.kind = Item::Array;
                item.integral = false;
                item.first = uint32_t(numbers.size());
                item.count = token.count;
                numbers.resize(numbers.size() + token.count);
                token.floats(numbers.data() + item.first);
                integers.resize(numbers.size());
                break;
            }
            case RibToken::ArrayBegin:
                if (!collectArray(token, item)) {
                    damaged = true;
                    if (token.kind == RibToken::End || token.kind == RibToken::Name) return;
                }
                break;
            case RibToken::ArrayEnd:
                problem(Place{token.offset, token.line, token.binary}, RIE_SYNTAX,
                        "\"]\" without its \"[\"");
                damaged = true;
                lexer->next(token);
                continue;
        }
        items.push_back(item);
        lexer->next(token);
    }
}

bool RibReader::Parser::collectArray(RibToken& token, Item& item) {
    item.kind = Item::Array;
    item.count = 0;
    bool numeric = false, text = false;
    item.first = uint32_t(numbers.size());
    uint32_t firstString = uint32_t(stringStarts.size());
    Place start{token.offset, token.line, token.binary};
    // Most arrays are plain numbers: read without a token each.
    bool closed = lexer->textNumbers(numbers, integers, item.integral);
    item.count = uint32_t(numbers.size() - item.first);
    numeric = item.count > 0;
    if (closed) return true;
    while (lexer->next(token)) {
        switch (token.kind) {
            case RibToken::ArrayEnd:
                if (numeric && text) {
                    problem(start, RIE_SYNTAX, "an array of numbers and strings");
                    return false;
                }
                item.strings = text;
                if (text) item.first = firstString;
                return true;
            case RibToken::Integer:
            case RibToken::Float:
                numeric = true;
                item.integral = item.integral && token.kind == RibToken::Integer;
                numbers.push_back(token.asFloat());
                integers.push_back(token.kind == RibToken::Integer ? token.integer : 0);
                ++item.count;
                break;
            case RibToken::FloatArray: {
                // A binary array inside a text one: its values join the array.
                numeric = true;
                item.integral = false;
                size_t from = numbers.size();
                numbers.resize(from + token.count);
                token.floats(numbers.data() + from);
                integers.resize(numbers.size());
                item.count += token.count;
                break;
            }
            case RibToken::String:
                text = true;
                addString(token.text);
                ++item.count;
                break;
            case RibToken::Comment:
                comment(token.text);
                break;
            default:
                problem(start, RIE_SYNTAX, "an array without its \"]\"");
                return false;
        }
    }
    problem(start, RIE_SYNTAX, "an array without its \"]\"");
    return false;
}

void RibReader::Parser::comment(std::string_view text) {
    if (collecting) {
        laterComments.emplace_back(text);
        return;
    }
    bool structure = !text.empty() && text[0] == '#';
    if (structure) text.remove_prefix(1);
    if (!keepHeader && structure && text.substr(0, 19) == "RenderMan RIB-Struc") return;
    // A comment goes on as the very line it was, so that a record the writer
    // split over several lines comes back as it was written.
    std::string line = (structure ? "##" : "#") + std::string(text) + "\n";
    out.ArchiveRecord(RI_VERBATIM, "%s", line.c_str());
}

bool RibReader::Parser::number(size_t& k, RtFloat& v, const char* what) {
    if (k < items.size() && items[k].kind == Item::Number) {
        v = numbers[items[k++].first];
        return true;
    }
    // A number given as an array of one is taken as well.
    if (k < items.size() && items[k].kind == Item::Array && !items[k].strings && items[k].count == 1) {
        v = numbers[items[k++].first];
        return true;
    }
    problem(RIE_MISSINGDATA, name + ": " + what + " should be a number");
    return false;
}

bool RibReader::Parser::integer(size_t& k, RtInt& v, const char* what) {
    RtFloat f;
    size_t before = k;
    if (!number(k, f, what)) return false;
    const Item& item = items[before];
    v = item.integral ? integers[item.first] : asInteger(f);
    if (!item.integral && RtFloat(v) != f) {
        problem(RIE_SYNTAX, name + ": " + what + " should be an integer");
        return false;
    }
    return true;
}

bool RibReader::Parser::string(size_t& k, const char*& v, const char* what) {
    if (k < items.size() && items[k].kind == Item::String) {
        v = strings[items[k++].first];
        return true;
    }
    if (k < items.size() && items[k].kind == Item::Array && items[k].strings && items[k].count == 1) {
        v = strings[items[k++].first];
        return true;
    }
    problem(RIE_MISSINGDATA, name + ": " + what + " should be a string");
    return false;
}

bool RibReader::Parser::floats(size_t& k, long long n, RtFloat*& v, RtInt& count,
                               const char* what) {
    if (k < items.size() && items[k].kind == Item::Array && (!items[k].strings || items[k].count == 0)) {
        const Item& item = items[k];
        if (n >= 0 && item.count != n) {
            problem(RIE_CONSISTENCY, name + ": " + what + " has " + std::to_string(item.count) +
                                         " values, needs " + std::to_string(n));
            return false;
        }
        v = item.count ? numbers.data() + item.first : numbers.data();
        count = RtInt(item.count);
        ++k;
        return true;
    }
    // n separate numbers, which lie next to one another in the pool.
    if (n > 0 && k + size_t(n) <= items.size()) {
        for (long long i = 0; i < n; ++i) {
            if (items[k + size_t(i)].kind != Item::Number) break;
            if (i == n - 1) {
                v = numbers.data() + items[k].first;
                count = RtInt(n);
                k += size_t(n);
                return true;
            }
        }
    }
    problem(RIE_MISSINGDATA, name + ": " + what + " should be an array of numbers");
    return false;
}

bool RibReader::Parser::ints(size_t& k, RtInt*& v, RtInt& count, const char* what) {
    if (k < items.size() && items[k].kind == Item::Array && (!items[k].strings || items[k].count == 0)) {
        const Item& item = items[k];
        // Numbers not all read as integers are taken when each is whole.
        for (uint32_t i = 0; !item.integral && i < item.count; ++i) {
            float f = numbers[item.first + i];
            integers[item.first + i] = asInteger(f);
            if (RtFloat(integers[item.first + i]) != f) {
                problem(RIE_SYNTAX, name + ": " + what + " should hold integers");
                return false;
            }
        }
        v = item.count ? integers.data() + item.first : integers.data();
        count = RtInt(item.count);
        ++k;
        return true;
    }
    problem(RIE_MISSINGDATA, name + ": " + what + " should be an array of integers");
    return false;
}

bool RibReader::Parser::stringArray(size_t& k, const char**& v, RtInt& count, const char* what) {
    if (k < items.size() && items[k].kind == Item::Array && (items[k].strings || items[k].count == 0)) {
        const Item& item = items[k];
        v = item.count ? strings.data() + item.first : strings.data();
        count = RtInt(item.count);
        ++k;
        return true;
    }
    problem(RIE_MISSINGDATA, name + ": " + what + " should be an array of strings");
    return false;
}

bool RibReader::Parser::end(size_t k) {
    if (k == items.size()) return true;
    problem(Place{items[k].offset, items[k].line, items[k].binary}, RIE_SYNTAX,
            name + ": more arguments than it takes");
    return false;
}

long long RibReader::Parser::expectedValues(const Declaration& d, const Counts* counts) const {
    long long elements = d.arraySize < 0 ? 0 : d.arraySize;
    if (counts) {
        long long perClass = 1;
        switch (d.storageClass) {
            case kClassUniform: perClass = counts->uniform; break;
            case kClassVarying: perClass = counts->varying; break;
            case kClassVertex: perClass = counts->vertex; break;
            case kClassFaceVarying: perClass = counts->faceVarying; break;
            default: break;
        }
        elements = perClass < 0 ? 0 : perClass * elements;
    }
    elements = clampCount(elements);
    if (d.type == kTypeColor) return clampCount(elements * colorSamples);
    if (d.type == kTypeString || d.type == kTypeInteger) return elements;
    return clampCount(elements * declarationTypeFloats(d.type));
}

bool RibReader::Parser::params(size_t k, const Counts* counts) {
    tokens.clear();
    values.clear();
    convertedInts.clear();
    convertedFloats.clear();
    convertedStrings.clear();
    // Where each value lies until every conversion is made: the pools may
    // still move while they grow.
    enum Pool { Numbers, Integers, Strings, ConvertedInts };
    struct Value {
        Pool pool;
        size_t first;
    };
    std::vector<Value> where;
    for (; k < items.size(); k += 2) {
        const Item& key = items[k];
        Place place{key.offset, key.line, key.binary};
        if (key.kind != Item::String) {
            problem(place, RIE_SYNTAX, name + ": a value where a parameter name belongs");
            return false;
        }
        const char* token = strings[key.first];
        if (k + 1 == items.size()) {
            problem(place, RIE_MISSINGDATA, name + ": parameter \"" + token + "\" has no value");
            return false;
        }
        const Item& value = items[k + 1];
        const Declaration* d = declarations.find(token);
        if (!d) {
            problem(place, RIE_BADTOKEN, name + ": undeclared parameter \"" + token + "\"");
            continue;
        }
        long long need = expectedValues(*d, counts);
        long long have = valuesOf(value);
        bool text = value.kind == Item::String || (value.kind == Item::Array && value.strings);
        bool wantText = d->type == kTypeString;
        if (have != need || (have > 0 && text != wantText)) {
            problem(place, RIE_CONSISTENCY,
                    name + ": parameter \"" + token + "\" has " + std::to_string(have) +
                        (text ? " strings" : " numbers") + ", needs " + std::to_string(need) +
                        (wantText ? " strings" : " numbers"));
            continue;
        }
        tokens.push_back(token);
        if (wantText) {
            where.push_back({Strings, value.first});
        } else if (d->type == kTypeInteger) {
            if (!value.integral) {
                // Integers given as floats (a binary array): taken when whole.
                size_t first = convertedInts.size();
                bool whole = true;
                for (long long i = 0; i < have; ++i) {
                    float f = numbers[value.first + size_t(i)];
                    whole = whole && std::nearbyint(f) == f && asInteger(f) == f;
                    convertedInts.push_back(asInteger(f));
                }
                if (!whole) {
                    problem(place, RIE_SYNTAX, name + ": parameter \"" + token + "\" needs integers");
                    tokens.pop_back();
                    continue;
                }
                where.push_back({ConvertedInts, first});
            } else {
                where.push_back({Integers, value.first});
            }
        } else {
            where.push_back({Numbers, value.first});
        }
    }
    for (const Value& v : where) {
        switch (v.pool) {
            case Numbers: values.push_back(numbers.data() + v.first); break;
            case Integers: values.push_back(integers.data() + v.first); break;
            case Strings: values.push_back(const_cast<char**>(strings.data() + v.first)); break;
            case ConvertedInts: values.push_back(convertedInts.data() + v.first); break;
        }
    }
    return true;
}

long long RibReader::Parser::pointsFromP(size_t k) {
    for (; k + 1 < items.size(); k += 2) {
        if (items[k].kind != Item::String) break;
        std::string_view token = strings[items[k].first];
        long long have = valuesOf(items[k + 1]);
        if (token == "P") return have / 3;
        if (token == "Pw") return have / 4;
        if (token == "Pz") return have;
    }
    return 0;
}

void RibReader::Parser::readArchive(const char* file, size_t k) {
    if (!params(k, nullptr)) return;
    out.ReadArchiveV(file, nullptr, RtInt(tokens.size()), tokens.data(), values.data());
}

// One request, its arguments read into items. Each case takes its fixed
// arguments in order and hands them, with the parameter list, to the target.
void RibReader::Parser::request() {
    RenderInterface& r = out;
    size_t k = 0;
    RtFloat f[16];
    RtInt i[4];
    const char* s[8];
    RtFloat* fa = nullptr;
    RtInt* ia = nullptr;
    RtInt n = 0;
    auto nums = [&](int count) {
        for (int j = 0; j < count; ++j) {
            if (!number(k, f[j], "a number")) return false;
        }
        return true;
    };
    auto list = [&]() { return RtInt(tokens.size()); };
    const std::string& q = name;

    if (q == "version") {
        if (keepHeader) r.ArchiveRecord(RI_VERBATIM, "version %s\n", "3.03");
        return;
    }
    if (q == "FrameBegin") {
        if (integer(k, i[0], "the frame number") && end(k)) {
            opens("Frame");
            r.FrameBegin(i[0]);
            save(true);
        }
    } else if (q == "FrameEnd" || q == "WorldBegin" || q == "WorldEnd" || q == "AttributeBegin" ||
               q == "AttributeEnd" || q == "TransformBegin" || q == "TransformEnd" ||
               q == "SolidEnd" || q == "ObjectEnd" || q == "MotionEnd" || q == "Identity" ||
               q == "ReverseOrientation") {
        if (!end(k)) return;
        if (q == "FrameEnd") { closes("Frame"); r.FrameEnd(); restore(); }
        else if (q == "WorldBegin") { opens("World"); r.WorldBegin(); save(false); }
        else if (q == "WorldEnd") { closes("World"); r.WorldEnd(); restore(); }
        else if (q == "AttributeBegin") { opens("Attribute"); r.AttributeBegin(); save(false); }
        else if (q == "AttributeEnd") { closes("Attribute"); r.AttributeEnd(); restore(); }
        else if (q == "TransformBegin") { opens("Transform"); r.TransformBegin(); }
        else if (q == "TransformEnd") { closes("Transform"); r.TransformEnd(); }
        else if (q == "SolidEnd") { closes("Solid"); r.SolidEnd(); restore(); }
        else if (q == "ObjectEnd") { closes("Object"); r.ObjectEnd(); restore(); }
        else if (q == "MotionEnd") { closes("Motion"); r.MotionEnd(); }
        else if (q == "Identity") r.Identity();
        else r.ReverseOrientation();
    } else if (q == "Format") {
        if (integer(k, i[0], "xresolution") && integer(k, i[1], "yresolution") &&
            number(k, f[0], "pixelaspectratio") && end(k))
            r.Format(i[0], i[1], f[0]);
    } else if (q == "FrameAspectRatio" || q == "PixelVariance" || q == "RelativeDetail" ||
               q == "ShadingRate" || q == "Perspective") {
        if (!nums(1) || !end(k)) return;
        if (q == "FrameAspectRatio") r.FrameAspectRatio(f[0]);
        else if (q == "PixelVariance") r.PixelVariance(f[0]);
        else if (q == "RelativeDetail") r.RelativeDetail(f[0]);
        else if (q == "ShadingRate") r.ShadingRate(f[0]);
        else r.Perspective(f[0]);
    } else if (q == "ScreenWindow" || q == "CropWindow" || q == "DetailRange" || q == "Rotate") {
        if (!floats(k, 4, fa, n, "its four numbers") || !end(k)) return;
        if (q == "ScreenWindow") r.ScreenWindow(fa[0], fa[1], fa[2], fa[3]);
        else if (q == "CropWindow") r.CropWindow(fa[0], fa[1], fa[2], fa[3]);
        else if (q == "DetailRange") r.DetailRange(fa[0], fa[1], fa[2], fa[3]);
        else r.Rotate(fa[0], fa[1], fa[2], fa[3]);
    } else if (q == "Clipping" || q == "Shutter" || q == "PixelSamples" || q == "Exposure") {
        if (!nums(2) || !end(k)) return;
        if (q == "Clipping") r.Clipping(f[0], f[1]);
        else if (q == "Shutter") r.Shutter(f[0], f[1]);
        else if (q == "PixelSamples") r.PixelSamples(f[0], f[1]);
        else r.Exposure(f[0], f[1]);
    } else if (q == "ClippingPlane") {
        if (floats(k, 6, fa, n, "its six numbers") && end(k))
            r.ClippingPlane(fa[0], fa[1], fa[2], fa[3], fa[4], fa[5]);
    } else if (q == "DepthOfField") {
        if (nums(3) && end(k)) r.DepthOfField(f[0], f[1], f[2]);
    } else if (q == "Translate" || q == "Scale") {
        if (!floats(k, 3, fa, n, "its three numbers") || !end(k)) return;
        if (q == "Translate") r.Translate(fa[0], fa[1], fa[2]);
        else r.Scale(fa[0], fa[1], fa[2]);
    } else if (q == "Skew") {
        if (floats(k, 7, fa, n, "its seven numbers") && end(k))
            r.Skew(fa[0], fa[1], fa[2], fa[3], fa[4], fa[5], fa[6]);
    } else if (q == "TextureCoordinates") {
        if (floats(k, 8, fa, n, "its eight numbers") && end(k))
            r.TextureCoordinates(fa[0], fa[1], fa[2], fa[3], fa[4], fa[5], fa[6], fa[7]);
    } else if (q == "PixelFilter") {
        if (string(k, s[0], "the filter") && nums(2) && end(k))
            r.PixelFilter(filterNamed(s[0]), f[0], f[1]);
    } else if (q == "Quantize") {
        if (string(k, s[0], "the type") && integer(k, i[0], "one") && integer(k, i[1], "min") &&
            integer(k, i[2], "max") && number(k, f[0], "ditheramplitude") && end(k))
            r.Quantize(s[0], i[0], i[1], i[2], f[0]);
    } else if (q == "ColorSamples") {
        RtFloat* second = nullptr;
        RtInt m = 0;
        if (!floats(k, -1, fa, n, "nRGB") || !floats(k, -1, second, m, "RGBn") || !end(k)) return;
        if (n != m || n % 3 != 0 || n == 0) {
            problem(RIE_CONSISTENCY, "ColorSamples: arrays of " + std::to_string(n) + " and " +
                                         std::to_string(m) + " values");
            return;
        }
        r.ColorSamples(n / 3, fa, second);
        colorSamples = n / 3;
    } else if (q == "Color" || q == "Opacity") {
        if (!floats(k, colorSamples, fa, n, "the colour") || !end(k)) return;
        if (q == "Color") r.Color(fa);
        else r.Opacity(fa);
    } else if (q == "Bound" || q == "Detail") {
        if (!floats(k, 6, fa, n, "the bound") || !end(k)) return;
        if (q == "Bound") r.Bound(fa);
        else r.Detail(fa);
    } else if (q == "ConcatTransform" || q == "Transform") {
        if (!floats(k, 16, fa, n, "the matrix") || !end(k)) return;
        RtFloat m[4][4];
        std::memcpy(m, fa, sizeof m);
        if (q == "ConcatTransform") r.ConcatTransform(m);
        else r.Transform(m);
    } else if (q == "ShadingInterpolation" || q == "GeometricRepresentation" ||
               q == "Orientation" || q == "CoordinateSystem" || q == "CoordSysTransform" ||
               q == "SolidBegin") {
        if (!string(k, s[0], "its name") || !end(k)) return;
        if (q == "ShadingInterpolation") r.ShadingInterpolation(s[0]);
        else if (q == "GeometricRepresentation") r.GeometricRepresentation(s[0]);
        else if (q == "Orientation") r.Orientation(s[0]);
        else if (q == "CoordinateSystem") r.CoordinateSystem(s[0]);
        else if (q == "CoordSysTransform") r.CoordSysTransform(s[0]);
        else { opens("Solid"); r.SolidBegin(s[0]); save(false); }
    } else if (q == "Matte" || q == "Sides") {
        if (!integer(k, i[0], "its value") || !end(k)) return;
        if (q == "Matte") r.Matte(RtBoolean(i[0]));
        else r.Sides(i[0]);
    } else if (q == "GeometricApproximation") {
        if (string(k, s[0], "the type") && number(k, f[0], "the value") && end(k))
            r.GeometricApproximation(s[0], f[0]);
    } else if (q == "Projection" || q == "Hider" || q == "Option" || q == "Attribute" ||
               q == "Surface" || q == "Displacement" || q == "Atmosphere" || q == "Interior" ||
               q == "Exterior" || q == "Imager" || q == "Deformation" || q == "Geometry") {
        if (!string(k, s[0], "its name") || !params(k, nullptr)) return;
        if (q == "Projection") r.ProjectionV(s[0], list(), tokens.data(), values.data());
        else if (q == "Hider") r.HiderV(s[0], list(), tokens.data(), values.data());
        else if (q == "Option") r.OptionV(s[0], list(), tokens.data(), values.data());
        else if (q == "Attribute") r.AttributeV(s[0], list(), tokens.data(), values.data());
        else if (q == "Surface") r.SurfaceV(s[0], list(), tokens.data(), values.data());
        else if (q == "Displacement") r.DisplacementV(s[0], list(), tokens.data(), values.data());
        else if (q == "Atmosphere") r.AtmosphereV(s[0], list(), tokens.data(), values.data());
        else if (q == "Interior") r.InteriorV(s[0], list(), tokens.data(), values.data());
        else if (q == "Exterior") r.ExteriorV(s[0], list(), tokens.data(), values.data());
        else if (q == "Imager") r.ImagerV(s[0], list(), tokens.data(), values.data());
        else if (q == "Deformation") r.DeformationV(s[0], list(), tokens.data(), values.data());
        else r.GeometryV(s[0], list(), tokens.data(), values.data());
    } else if (q == "Patch") {
        if (!string(k, s[0], "the type")) return;
        Counts c{std::strcmp(s[0], "bilinear") == 0 ? 4 : 16, 4, 1, 4};
        if (params(k, &c)) r.PatchV(s[0], list(), tokens.data(), values.data());
    } else if (q == "Display") {
        if (string(k, s[0], "the name") && string(k, s[1], "the type") &&
            string(k, s[2], "the mode") && params(k, nullptr))
            r.DisplayV(s[0], s[1], s[2], list(), tokens.data(), values.data());
    } else if (q == "LightSource" || q == "AreaLightSource") {
        std::string key;
        if (!string(k, s[0], "the shader") || !handle(k, key, "the light handle") ||
            !params(k, nullptr))
            return;
        RtLightHandle h = q == "LightSource"
                              ? r.LightSourceV(s[0], list(), tokens.data(), values.data())
                              : r.AreaLightSourceV(s[0], list(), tokens.data(), values.data());
        lights[key] = h;
    } else if (q == "Illuminate") {
        std::string key;
        if (!handle(k, key, "the light handle") || !integer(k, i[1], "on or off") || !end(k)) return;
        r.Illuminate(target(lights, key), RtBoolean(i[1]));
    } else if (q == "ObjectBegin") {
        std::string key;
        if (!handle(k, key, "the object handle") || !end(k)) return;
        opens("Object");
        objects[key] = r.ObjectBegin();
        save(false);
    } else if (q == "ObjectInstance") {
        std::string key;
        if (!handle(k, key, "the object handle") || !end(k)) return;
        r.ObjectInstance(target(objects, key));
    } else if (q == "MotionBegin") {
        if (!floats(k, -1, fa, n, "the times") || !end(k)) return;
        opens("Motion");
        r.MotionBeginV(n, fa);
    } else if (q == "Sphere" || q == "Cylinder" || q == "Paraboloid" || q == "Cone" ||
               q == "Disk" || q == "Torus" || q == "Hyperboloid") {
        int count = q == "Cone" || q == "Disk" ? 3 : q == "Torus" ? 5 : q == "Hyperboloid" ? 7 : 4;
        if (!floats(k, count, fa, n, "its numbers")) return;
        Counts c{4, 4, 1, 4};
        if (!params(k, &c)) return;
        RtInt m = list();
        if (q == "Sphere") r.SphereV(fa[0], fa[1], fa[2], fa[3], m, tokens.data(), values.data());
        else if (q == "Cylinder") r.CylinderV(fa[0], fa[1], fa[2], fa[3], m, tokens.data(), values.data());
        else if (q == "Paraboloid") r.ParaboloidV(fa[0], fa[1], fa[2], fa[3], m, tokens.data(), values.data());
        else if (q == "Cone") r.ConeV(fa[0], fa[1], fa[2], m, tokens.data(), values.data());
        else if (q == "Disk") r.DiskV(fa[0], fa[1], fa[2], m, tokens.data(), values.data());
        else if (q == "Torus") r.TorusV(fa[0], fa[1], fa[2], fa[3], fa[4], m, tokens.data(), values.data());
        else r.HyperboloidV(fa, fa + 3, fa[6], m, tokens.data(), values.data());
    } else if (q == "Polygon" || q == "Points") {
        long long points = pointsFromP(k);
        Counts c{points, points, 1, points};
        if (!params(k, &c)) return;
        if (q == "Polygon") r.PolygonV(RtInt(points), list(), tokens.data(), values.data());
        else r.PointsV(RtInt(points), list(), tokens.data(), values.data());
    } else if (q == "GeneralPolygon") {
        if (!ints(k, ia, n, "nvertices")) return;
        long long vertices = clampCount(sumOf(ia, n));
        Counts c{vertices, vertices, 1, vertices};
        if (params(k, &c)) r.GeneralPolygonV(n, ia, list(), tokens.data(), values.data());
    } else if (q == "PointsPolygons") {
        RtInt* vertices = nullptr;
        RtInt nv = 0;
        if (!ints(k, ia, n, "nvertices") || !ints(k, vertices, nv, "vertices")) return;
        long long indices = sumOf(ia, n);
        if (indices != nv) {
            problem(RIE_CONSISTENCY, "PointsPolygons: " + std::to_string(nv) + " vertices, the polygons need " +
                                         std::to_string(indices));
            return;
        }
        long long points = pointsOf(vertices, nv);
        Counts c{points, points, n, indices};
        if (params(k, &c)) r.PointsPolygonsV(n, ia, vertices, list(), tokens.data(), values.data());
    } else if (q == "PointsGeneralPolygons") {
        RtInt *loops = nullptr, *vertices = nullptr;
        RtInt nl = 0, nv = 0;
        if (!ints(k, loops, n, "nloops") || !ints(k, ia, nl, "nvertices") ||
            !ints(k, vertices, nv, "vertices"))
            return;
        long long indices = sumOf(ia, nl);
        if (sumOf(loops, n) != nl || indices != nv) {
            problem(RIE_CONSISTENCY, "PointsGeneralPolygons: the loop and vertex counts disagree");
            return;
        }
        long long points = pointsOf(vertices, nv);
        Counts c{points, points, n, indices};
        if (params(k, &c))
            r.PointsGeneralPolygonsV(n, loops, ia, vertices, list(), tokens.data(), values.data());
    } else if (q == "Basis") {
        RtFloat* bases[2];
        RtInt steps[2];
        for (int b = 0; b < 2; ++b) {
            if (k < items.size() && items[k].kind == Item::String) {
                bases[b] = basisNamed(strings[items[k].first]);
                if (!bases[b]) {
                    problem(RIE_BADTOKEN, std::string("Basis: unknown basis \"") +
                                              strings[items[k].first] + "\"");
                    return;
                }
                ++k;
            } else if (!floats(k, 16, bases[b], n, "the basis matrix")) {
                return;
            }
            if (!integer(k, steps[b], "the step")) return;
        }
        if (!end(k)) return;
        // A named basis goes by its standard matrix's address, so that the
        // writer names it again; a matrix of numbers is copied.
        RtFloat u[4][4], v[4][4];
        std::memcpy(u, bases[0], sizeof u);
        std::memcpy(v, bases[1], sizeof v);
        auto pick = [&](RtFloat* given, RtFloat (*copy)[4]) -> RtFloat(*)[4] {
            for (RtBasis* standard :
                 {&RiBezierBasis, &RiBSplineBasis, &RiCatmullRomBasis, &RiHermiteBasis, &RiPowerBasis}) {
                if (given == &(*standard)[0][0]) return *standard;
            }
            return copy;
        };
        r.Basis(pick(bases[0], u), steps[0], pick(bases[1], v), steps[1]);
        uStep = steps[0];
        vStep = steps[1];
    } else if (q == "PatchMesh") {
        if (!string(k, s[0], "the type") || !integer(k, i[0], "nu") || !string(k, s[1], "uwrap") ||
            !integer(k, i[1], "nv") || !string(k, s[2], "vwrap"))
            return;
        bool up = std::strcmp(s[1], "periodic") == 0, vp = std::strcmp(s[2], "periodic") == 0;
        long long nu = i[0], nv = i[1], upatches, vpatches;
        if (std::strcmp(s[0], "bilinear") == 0) {
            upatches = up ? nu : nu - 1;
            vpatches = vp ? nv : nv - 1;
        } else if (std::strcmp(s[0], "bicubic") == 0 && uStep > 0 && vStep > 0) {
            upatches = up ? nu / uStep : (nu - 4) / uStep + 1;
            vpatches = vp ? nv / vStep : (nv - 4) / vStep + 1;
        } else {
            problem(RIE_BADTOKEN, std::string("PatchMesh: cannot count the patches of \"") + s[0] + "\"");
            return;
        }
        auto product = [](long long a, long long b) { return a < 0 || b < 0 ? 0 : clampCount(a * b); };
        Counts c{product(nu, nv), product(up ? upatches : upatches + 1, vp ? vpatches : vpatches + 1),
                 product(upatches, vpatches), 0};
        c.faceVarying = c.varying;
        if (params(k, &c)) r.PatchMeshV(s[0], i[0], s[1], i[1], s[2], list(), tokens.data(), values.data());
    } else if (q == "NuPatch") {
        RtFloat *uknot = nullptr, *vknot = nullptr;
        RtInt nu, uorder, nv, vorder, nuk, nvk;
        RtFloat umin, umax, vmin, vmax;
        if (!integer(k, nu, "nu") || !integer(k, uorder, "uorder") ||
            !floats(k, -1, uknot, nuk, "uknot") || !number(k, umin, "umin") ||
            !number(k, umax, "umax") || !integer(k, nv, "nv") || !integer(k, vorder, "vorder") ||
            !floats(k, -1, vknot, nvk, "vknot") || !number(k, vmin, "vmin") || !number(k, vmax, "vmax"))
            return;
        if (nuk != 1LL * nu + uorder || nvk != 1LL * nv + vorder) {
            problem(RIE_CONSISTENCY, "NuPatch: knot vectors of " + std::to_string(nuk) + " and " +
                                         std::to_string(nvk) + " values");
            return;
        }
        long long us = 1LL * nu - uorder, vs = 1LL * nv - vorder;
        auto product = [](long long a, long long b) { return a < 0 || b < 0 ? 0 : clampCount(a * b); };
        Counts c{product(nu, nv), product(us + 2, vs + 2), product(us + 1, vs + 1), product(us + 2, vs + 2)};
        if (params(k, &c))
            r.NuPatchV(nu, uorder, uknot, umin, umax, nv, vorder, vknot, vmin, vmax, list(),
                       tokens.data(), values.data());
    } else if (q == "TrimCurve") {
        RtInt *ncurves, *order, *nn;
        RtFloat *knot, *mins, *maxs, *u, *v, *w;
        RtInt c1, c2, c3, c4, c5, c6, c7, c8, c9;
        if (!ints(k, ncurves, c1, "ncurves") || !ints(k, order, c2, "order") ||
            !floats(k, -1, knot, c3, "knot") || !floats(k, -1, mins, c4, "min") ||
            !floats(k, -1, maxs, c5, "max") || !ints(k, nn, c6, "n") || !floats(k, -1, u, c7, "u") ||
            !floats(k, -1, v, c8, "v") || !floats(k, -1, w, c9, "w") || !end(k))
            return;
        long long curves = sumOf(ncurves, c1), points = sumOf(nn, c6);
        if (c2 != curves || c4 != curves || c5 != curves || c6 != curves || c7 != points ||
            c8 != points || c9 != points || c3 != sumOf(order, c2) + points) {
            problem(RIE_CONSISTENCY, "TrimCurve: its arrays disagree in length");
            return;
        }
        r.TrimCurve(c1, ncurves, order, knot, mins, maxs, nn, u, v, w);
    } else if (q == "Curves") {
        if (!string(k, s[0], "the type") || !ints(k, ia, n, "nvertices") || !string(k, s[1], "wrap"))
            return;
        bool cubic = std::strcmp(s[0], "cubic") == 0, periodic = std::strcmp(s[1], "periodic") == 0;
        if (cubic && vStep <= 0) {
            problem(RIE_RANGE, "Curves: a cubic curve needs a positive v basis step");
            return;
        }
        long long vertices = 0, varying = 0;
        for (RtInt j = 0; j < n; ++j) {
            long long nv = ia[j];
            vertices += nv;
            varying += !cubic ? nv : periodic ? nv / vStep : (nv - 4) / vStep + 2;
        }
        Counts c{clampCount(vertices), clampCount(varying), n, clampCount(varying)};
        if (params(k, &c)) r.CurvesV(s[0], n, ia, s[1], list(), tokens.data(), values.data());
    } else if (q == "SubdivisionMesh") {
        RtInt *vertices = nullptr, *nargs = nullptr, *intargs = nullptr;
        RtFloat* floatargs = nullptr;
        const char** tags = nullptr;
        RtInt nv = 0, ntags = 0, nn = 0, ni = 0, nf = 0;
        if (!string(k, s[0], "the scheme") || !ints(k, ia, n, "nvertices") ||
            !ints(k, vertices, nv, "vertices"))
            return;
        // The four tag arrays come together or not at all.
        if (k < items.size() && items[k].kind == Item::Array &&
            (items[k].strings || items[k].count == 0)) {
            if (!stringArray(k, tags, ntags, "tags") || !ints(k, nargs, nn, "nargs") ||
                !ints(k, intargs, ni, "intargs") || !floats(k, -1, floatargs, nf, "floatargs"))
                return;
            long long wantInts = 0, wantFloats = 0;
            for (RtInt t = 0; t + 1 < nn; t += 2) {
                wantInts += nargs[t];
                wantFloats += nargs[t + 1];
            }
            if (nn != 2LL * ntags || ni != wantInts || nf != wantFloats) {
                problem(RIE_CONSISTENCY, "SubdivisionMesh: its tag arrays disagree in length");
                return;
            }
        }
        long long indices = sumOf(ia, n);
        if (indices != nv) {
            problem(RIE_CONSISTENCY, "SubdivisionMesh: " + std::to_string(nv) +
                                         " vertices, the faces need " + std::to_string(indices));
            return;
        }
        long long points = pointsOf(vertices, nv);
        Counts c{points, points, n, indices};
        if (params(k, &c))
            r.SubdivisionMeshV(s[0], n, ia, vertices, ntags, tags, nargs, intargs, floatargs,
                               list(), tokens.data(), values.data());
    } else if (q == "Blobby") {
        RtInt ncode = 0, nflt = 0, nstr = 0;
        RtInt* code = nullptr;
        RtFloat* flt = nullptr;
        const char** str = nullptr;
        if (!integer(k, i[0], "nleaf") || !ints(k, code, ncode, "code") ||
            !floats(k, -1, flt, nflt, "floats") || !stringArray(k, str, nstr, "strings"))
            return;
        Counts c{i[0], i[0], 1, i[0]};
        if (params(k, &c))
            r.BlobbyV(i[0], ncode, code, nflt, flt, nstr, str, list(), tokens.data(), values.data());
    } else if (q == "Procedural") {
        const char** args = nullptr;
        RtInt nargs = 0;
        if (!string(k, s[0], "the kind") || !stringArray(k, args, nargs, "its arguments") ||
            !floats(k, 6, fa, n, "the bound") || !end(k))
            return;
        RtProcSubdivFunc kind = std::strcmp(s[0], "DelayedReadArchive") == 0 ? RiProcDelayedReadArchive
                                : std::strcmp(s[0], "RunProgram") == 0      ? RiProcRunProgram
                                : std::strcmp(s[0], "DynamicLoad") == 0     ? RiProcDynamicLoad
                                                                            : nullptr;
        int need = kind == RiProcDelayedReadArchive ? 1 : 2;
        if (!kind || nargs != need) {
            problem(RIE_BADTOKEN, std::string("Procedural \"") + s[0] + "\" with " +
                                      std::to_string(nargs) + " arguments");
            return;
        }
        r.Procedural(args, fa, kind, nullptr);
    } else if (q == "MakeTexture" || q == "MakeBump") {
        if (!string(k, s[0], "the picture") || !string(k, s[1], "the texture") ||
            !string(k, s[2], "swrap") || !string(k, s[3], "twrap") || !string(k, s[4], "the filter") ||
            !nums(2) || !params(k, nullptr))
            return;
        if (q == "MakeTexture")
            r.MakeTextureV(s[0], s[1], s[2], s[3], filterNamed(s[4]), f[0], f[1], list(),
                           tokens.data(), values.data());
        else
            r.MakeBumpV(s[0], s[1], s[2], s[3], filterNamed(s[4]), f[0], f[1], list(),
                        tokens.data(), values.data());
    } else if (q == "MakeLatLongEnvironment") {
        if (string(k, s[0], "the picture") && string(k, s[1], "the texture") &&
            string(k, s[2], "the filter") && nums(2) && params(k, nullptr))
            r.MakeLatLongEnvironmentV(s[0], s[1], filterNamed(s[2]), f[0], f[1], list(),
                                      tokens.data(), values.data());
    } else if (q == "MakeCubeFaceEnvironment") {
        for (int j = 0; j < 7; ++j) {
            if (!string(k, s[j], "a picture")) return;
        }
        RtFloat fov;
        const char* filter;
        if (number(k, fov, "fov") && string(k, filter, "the filter") && nums(2) && params(k, nullptr))
            r.MakeCubeFaceEnvironmentV(s[0], s[1], s[2], s[3], s[4], s[5], s[6], fov,
                                       filterNamed(filter), f[0], f[1], list(), tokens.data(),
                                       values.data());
    } else if (q == "MakeShadow") {
        if (string(k, s[0], "the picture") && string(k, s[1], "the texture") && params(k, nullptr))
            r.MakeShadowV(s[0], s[1], list(), tokens.data(), values.data());
    } else if (q == "Declare") {
        if (!string(k, s[0], "the name") || !string(k, s[1], "the declaration") || !end(k)) return;
        ParsedDeclaration parsed = parseDeclarationText(s[1]);
        if (parsed.type == kTypeNone) {
            problem(RIE_SYNTAX, std::string("Declare \"") + s[0] + "\": no type in \"" + s[1] + "\"");
            return;
        }
        declarations.declare(s[0], parsed);
        r.Declare(s[0], s[1]);
    } else if (q == "ReadArchive") {
        if (string(k, s[0], "the archive")) readArchive(s[0], k);
    } else if (q == "ErrorHandler") {
        if (!string(k, s[0], "the handler") || !end(k)) return;
        RtErrorHandler h = std::strcmp(s[0], "ignore") == 0  ? RiErrorIgnore
                           : std::strcmp(s[0], "print") == 0 ? RiErrorPrint
                           : std::strcmp(s[0], "abort") == 0 ? RiErrorAbort
                                                             : nullptr;
        if (!h) {
            problem(RIE_BADTOKEN, std::string("ErrorHandler: unknown handler \"") + s[0] + "\"");
            return;
        }
        r.ErrorHandler(h);
    } else {
        problem(RIE_BADTOKEN, "unknown request \"" + q + "\"");
    }
}

RibReader::RibReader(RenderInterface& target) : parser(std::make_unique<Parser>(target)) {}

RibReader::~RibReader() {
    finish();
}

bool RibReader::finish() {
    int before = parser->problems;
    parser->finish();
    return parser->problems == before;
}

namespace {

// A plain file's bytes as the system's own mapping of it: no copy, and its
// pages come in as the lexer reaches them. Empty for anything else (standard
// input, a pipe, an empty file), which is then read the ordinary way.
struct MappedFile {
    explicit MappedFile(const std::string& path) {
        if (path == "-") return;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat about;
        if (::fstat(fd, &about) == 0 && S_ISREG(about.st_mode) && about.st_size > 0) {
            void* at = ::mmap(nullptr, size_t(about.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED) {
                data = static_cast<const char*>(at);
                size = size_t(about.st_size);
                ::madvise(at, size, MADV_SEQUENTIAL);
            }
        }
        ::close(fd);
    }
    ~MappedFile() {
        if (data) ::munmap(const_cast<char*>(data), size);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    const char* data = nullptr;
    size_t size = 0;
};

}  // namespace

bool RibReader::readFile(const std::string& path) {
    std::string bytes, error;
    parser->keepHeader = keepHeader;
    {
        MappedFile mapped(path);
        if (mapped.data && !isGzipData(mapped.data, mapped.size)) {
            return parser->read(mapped.data, mapped.size, path);
        }
    }
    if (!loadRibInput(path, bytes, error)) {
        ++parser->problems;
        reportError(RIE_NOFILE, RIE_ERROR, error.c_str());
        // What could be read of a damaged file is still read.
        if (bytes.empty()) return false;
        parser->read(bytes.data(), bytes.size(), path);
        return false;
    }
    return parser->read(bytes.data(), bytes.size(), path);
}

bool RibReader::readBuffer(const void* data, std::size_t size, const std::string& name) {
    parser->keepHeader = keepHeader;
    const char* bytes = static_cast<const char*>(data);
    if (!isGzipData(bytes, size)) return parser->read(bytes, size, name);
    std::string plain, error;
    bool whole = decodeRibBuffer(bytes, size, plain, error);
    if (!whole) {
        ++parser->problems;
        reportError(RIE_BADFILE, RIE_ERROR, error.c_str());
    }
    return parser->read(plain.data(), plain.size(), name) && whole;
}

bool RibReader::readIncluded(const std::string& path) {
    Parser& p = *parser;
    // An archive that reads itself would never end.
    if (p.depth >= 32) {
        p.problem(RIE_LIMIT, "\"" + path + "\": files read inside one another too deeply");
        return false;
    }
    std::string bytes, error;
    if (!loadRibInput(path, bytes, error)) {
        ++p.problems;
        reportError(RIE_NOFILE, RIE_ERROR, (p.where() + ": " + error).c_str());
        return false;
    }
    // The request that asked for the file is over: the file's own requests
    // reuse every buffer of the parser. Its header lines are never handed on.
    ++p.depth;
    bool header = p.keepHeader;
    p.keepHeader = false;
    std::string name = p.name;
    Place at = p.at;
    bool clean = p.read(bytes.data(), bytes.size(), path);
    p.keepHeader = header;
    p.name = name;
    p.at = at;
    --p.depth;
    return clean;
}

std::string RibReader::fileName() const {
    return parser->lexer ? parser->lexer->name() : std::string();
}

std::string RibReader::where() const {
    return parser->where();
}

int RibReader::problems() const {
    return parser->problems;
}

}  // namespace duzozo

RtVoid RiReadRIB(RtString filename) {
    RenderInterface* target = currentRenderer;
    if (!target) {
        duzozo::reportError(RIE_NOTSTARTED, RIE_SEVERE, "RiReadRIB");
        return;
    }
    duzozo::RibReader reader(*target);
    reader.readFile(filename ? filename : "-");
}
