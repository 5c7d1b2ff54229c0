#include "rib/internal/riblexer.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

namespace duzozo {
namespace {

// What a byte of text starts.
enum Class : unsigned char { Bad, Blank, Newline, Word, Number, Quote, Hash, Open, Close, Coded };

struct ClassTable {
    Class of[256];
    constexpr ClassTable() : of() {
        for (int c = 0; c < 256; ++c) {
            Class k = Bad;
            if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') k = Blank;
            else if (c == '\n') k = Newline;
            else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') k = Word;
            else if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') k = Number;
            else if (c == '"') k = Quote;
            else if (c == '#') k = Hash;
            else if (c == '[') k = Open;
            else if (c == ']') k = Close;
            else if (c >= 0x80) k = Coded;
            of[c] = k;
        }
    }
};
constexpr ClassTable kClass;

bool wordByte(unsigned char c) {
    return kClass.of[c] == Word || (c >= '0' && c <= '9');
}

bool numberByte(unsigned char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.' || c == 'e' || c == 'E';
}

std::uint32_t bigEndian(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = (v << 8) | p[i];
    return v;
}

std::string octal(unsigned char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0%o", unsigned(c));
    return text;
}

}  // namespace

void decodeFloats(const unsigned char* bytes, std::size_t count, float* out) {
    for (std::size_t i = 0; i < count; ++i, bytes += 4) {
        std::uint32_t bits = bigEndian(bytes, 4);
        std::memcpy(out + i, &bits, 4);
    }
}

void RibToken::floats(float* out) const {
    decodeFloats(bytes, count, out);
}

RibLexer::RibLexer(const char* data, std::size_t size, std::string name, ErrorHandler onError)
    : begin_(reinterpret_cast<const unsigned char*>(data)),
      at_(begin_),
      end_(begin_ + size),
      name_(std::move(name)),
      onError_(std::move(onError)) {}

std::string RibLexer::where(const RibLexError& error) const {
    if (error.binary) return name_ + ": byte " + std::to_string(error.offset);
    return name_ + ":" + std::to_string(error.line);
}

void RibLexer::fail(const unsigned char* at, std::size_t line, bool binary, std::string message) {
    ++errors_;
    if (onError_) onError_(RibLexError{std::move(message), std::size_t(at - begin_), line, binary});
}

// A length or count that runs past the end leaves nothing to read after it
// that could be trusted: the rest of the input is taken as its part.
bool RibLexer::truncated(const unsigned char* start, const char* what) {
    fail(start, line_, true, std::string(what) + " runs past the end of the input");
    at_ = end_;
    return false;
}

void RibLexer::skipBlanks() {
    while (at_ < end_) {
        Class k = kClass.of[*at_];
        if (k == Blank) {
            ++at_;
        } else if (k == Newline) {
            ++at_;
            ++line_;
        } else {
            break;
        }
    }
}

bool RibLexer::textNumbers(std::vector<float>& numbers, std::vector<std::int32_t>& integers,
                           bool& integral) {
    RibToken t;
    for (;;) {
        skipBlanks();
        if (at_ >= end_) return false;
        unsigned char c = *at_;
        if (c == ']') {
            ++at_;
            return true;
        }
        if (kClass.of[c] != Number) return false;
        t.offset = std::size_t(at_ - begin_);
        t.line = line_;
        if (!number(t)) continue;  // reported; the bad number is passed over
        bool whole = t.kind == RibToken::Integer;
        integral = integral && whole;
        numbers.push_back(t.number);
        integers.push_back(whole ? t.integer : 0);
    }
}

bool RibLexer::next(RibToken& t) {
    for (;;) {
        skipBlanks();
        t.offset = std::size_t(at_ - begin_);
        t.line = line_;
        t.binary = false;
        if (at_ >= end_) {
            t.kind = RibToken::End;
            return false;
        }
        const unsigned char* start = at_;
        switch (kClass.of[*at_]) {
            case Word: {
                const unsigned char* p = at_ + 1;
                while (p < end_ && wordByte(*p)) ++p;
                t.text = std::string_view(reinterpret_cast<const char*>(at_), std::size_t(p - at_));
                at_ = p;
                // What printf writes for the values that are no numbers.
                if (t.text == "inf" || t.text == "nan") {
                    t.kind = RibToken::Float;
                    t.number = t.text == "inf" ? std::numeric_limits<float>::infinity()
                                               : std::numeric_limits<float>::quiet_NaN();
                    return true;
                }
                t.kind = RibToken::Name;
                return true;
            }
            case Number:
                if (number(t)) return true;
                continue;
            case Quote:
                if (quoted(t.text) == Found::Yes) {
                    t.kind = RibToken::String;
                    return true;
                }
                continue;
            case Hash: {
                const unsigned char* lineEnd = static_cast<const unsigned char*>(
                    std::memchr(at_, '\n', std::size_t(end_ - at_)));
                if (!lineEnd) lineEnd = end_;
                const unsigned char* textEnd = lineEnd;
                if (textEnd > at_ + 1 && textEnd[-1] == '\r') --textEnd;
                t.kind = RibToken::Comment;
                t.text = std::string_view(reinterpret_cast<const char*>(at_ + 1),
                                          std::size_t(textEnd - at_ - 1));
                at_ = lineEnd;
                return true;
            }
            case Open:
                ++at_;
                t.kind = RibToken::ArrayBegin;
                return true;
            case Close:
                ++at_;
                t.kind = RibToken::ArrayEnd;
                return true;
            case Coded:
                t.binary = true;
                if (encoded(t)) return true;
                continue;
            case Blank:
            case Newline:
            case Bad:
                // One message for a run of stray bytes, not one per byte.
                do {
                    ++at_;
                } while (at_ < end_ && kClass.of[*at_] == Bad);
                if (*start >= 0x20 && *start < 0x7f) {
                    fail(start, line_, false,
                         std::string("unexpected character '") + char(*start) + "'");
                } else {
                    fail(start, line_, false,
                         "unexpected byte " + octal(*start) + " in text");
                }
                continue;
        }
    }
}

// The common float, of at most 19 significant digits and a power of ten
// within 22, read exactly: the digits and the power are exact doubles, so
// one multiplication or division rounds to the nearest double. Rounding that
// on to a float gives the nearest float too, unless the double lies exactly
// halfway between two floats (no halfway point can lie between a number
// and its nearest double); then, and for everything else, false.
bool RibLexer::fastFloat(const char* s, const char* e, bool negative, std::uint64_t whole,
                         const char* p, RibToken& t) {
    static const double kPow10[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* digits = s + (*s == '-' || *s == '+');
    int count = int(p - digits);
    if (count > 19) return false;
    std::uint64_t w = whole;
    int scale = 0;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && static_cast<unsigned>(*p - '0') < 10) {
            if (++count > 19) return false;
            w = w * 10 + std::uint64_t(*p - '0');
            --scale;
            ++p;
        }
    }
    if (count == 0) return false;  // no digits at all: for the general reading to refuse
    if (p < e && (*p == 'e' || *p == 'E')) {
        const char* q = p + 1;
        bool minus = q < e && *q == '-';
        if (q < e && (*q == '-' || *q == '+')) ++q;
        if (q < e && static_cast<unsigned>(*q - '0') < 10) {  // else the 'e' is not part of it
            int power = 0;
            while (q < e && static_cast<unsigned>(*q - '0') < 10) {
                if (power < 10000) power = power * 10 + (*q - '0');
                ++q;
            }
            scale += minus ? -power : power;
            p = q;
        }
    }
    if (w >= (std::uint64_t(1) << 53) || scale < -22 || scale > 22) return false;
    // Dividing by a power of ten is exact but slow; multiplying by its
    // nearest double lands a few units in the last place of a double away,
    // far finer than a float's rounding unless the double lies near a point
    // halfway between two floats: those few go the exact way.
    static const double kInversePow10[23] = {
        1e0,   1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8,  1e-9,  1e-10, 1e-11,
        1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};
    double d = scale >= 0 ? double(w) * kPow10[scale] : double(w) * kInversePow10[-scale];
    constexpr std::uint64_t kDropped = (std::uint64_t(1) << 29) - 1, kHalfway = std::uint64_t(1) << 28;
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    if (scale < 0 && (bits & kDropped) - (kHalfway - 8) < 16) {
        d = double(w) / kPow10[-scale];
        std::memcpy(&bits, &d, sizeof bits);
    }
    if ((bits & kDropped) == kHalfway) return false;
    float f = float(d);
    t.kind = RibToken::Float;
    t.number = negative ? -f : f;
    at_ = reinterpret_cast<const unsigned char*>(p);
    return true;
}

bool RibLexer::number(RibToken& t) {
    const char* s = reinterpret_cast<const char*>(at_);
    const char* e = reinterpret_cast<const char*>(end_);
    const char* p = s;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    const char* digits = p;
    std::uint64_t v = 0;
    while (p < e && static_cast<unsigned>(*p - '0') < 10) {
        if (p - digits < 19) v = v * 10 + std::uint64_t(*p - '0');
        ++p;
    }
    bool fractionOrExponent = p < e && (*p == '.' || *p == 'e' || *p == 'E');
    if (p > digits && !fractionOrExponent && p - digits <= 10 &&
        v <= (negative ? 2147483648ull : 2147483647ull)) {
        t.kind = RibToken::Integer;
        t.integer = negative ? std::int32_t(-std::int64_t(v)) : std::int32_t(v);
        // "-0" is an integer 0, and a float -0 where a float is taken.
        t.number = negative && v == 0 ? -0.0f : float(t.integer);
        at_ = reinterpret_cast<const unsigned char*>(p);
        return true;
    }
    // Anything else is a float, read straight to the nearest float so that
    // nine digits give back the float written.
    if (fastFloat(s, e, negative, v, p, t)) return true;
    const char* from = s + (*s == '+');  // from_chars takes no plus sign
    float f = 0;
    std::from_chars_result r{from, std::errc::invalid_argument};
    bool twoSigns = from != s && from < e && (*from == '+' || *from == '-');
    if (!twoSigns) r = std::from_chars(from, e, f, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument) {
        const unsigned char* q = at_;
        while (q < end_ && numberByte(*q)) ++q;
        fail(at_, line_, false, "bad number \"" + std::string(s, std::size_t(q - at_)) + "\"");
        at_ = q;
        return false;
    }
    if (r.ec == std::errc::result_out_of_range) {
        // Past the largest float, or so small it rounds to zero: the
        // double's value rounded to a float is infinity or zero then. Out
        // of a double's range too, a negative exponent makes it tiny.
        double d = 0;
        r = std::from_chars(from, e, d, std::chars_format::general);
        if (r.ec == std::errc::result_out_of_range) {
            std::string_view text(from, std::size_t(r.ptr - from));
            bool tiny = text.find("e-") != text.npos || text.find("E-") != text.npos;
            d = tiny ? 0.0 : std::numeric_limits<double>::infinity();
            if (*from == '-') d = -d;
        }
        f = float(d);
        if (std::isinf(f))
            fail(at_, line_, false,
                 "number \"" + std::string(s, std::size_t(r.ptr - s)) + "\" is too large for a float");
    }
    t.kind = RibToken::Float;
    t.number = f;
    at_ = reinterpret_cast<const unsigned char*>(r.ptr);
    return true;
}

RibLexer::Found RibLexer::quoted(std::string_view& text) {
    const unsigned char* open = at_;
    std::size_t openLine = line_;
    const unsigned char* p = at_ + 1;
    const unsigned char* q = p;
    while (q < end_ && *q != '"' && *q != '\\') {
        if (*q == '\n') ++line_;
        ++q;
    }
    if (q < end_ && *q == '"') {  // no escapes: the text as it stands
        text = std::string_view(reinterpret_cast<const char*>(p), std::size_t(q - p));
        at_ = q + 1;
        return Found::Yes;
    }
    scratch_.assign(reinterpret_cast<const char*>(p), std::size_t(q - p));
    while (q < end_ && *q != '"') {
        unsigned char c = *q++;
        if (c != '\\') {
            if (c == '\n') ++line_;
            scratch_ += char(c);
            continue;
        }
        if (q >= end_) break;
        unsigned char e = *q++;
        switch (e) {
            case 'n': scratch_ += '\n'; break;
            case 'r': scratch_ += '\r'; break;
            case 't': scratch_ += '\t'; break;
            case 'b': scratch_ += '\b'; break;
            case 'f': scratch_ += '\f'; break;
            case '\n': ++line_; break;  // the text goes on on the next line
            case '\r':
                if (q < end_ && *q == '\n') {
                    ++q;
                    ++line_;
                }
                break;
            default:
                if (e >= '0' && e <= '7') {
                    unsigned v = unsigned(e - '0');
                    for (int i = 0; i < 2 && q < end_ && *q >= '0' && *q <= '7'; ++i)
                        v = v * 8 + unsigned(*q++ - '0');
                    scratch_ += char(v & 0xff);
                } else {
                    scratch_ += char(e);  // \\, \" and any other character stand for themselves
                }
        }
    }
    text = scratch_;
    if (q >= end_) {
        fail(open, openLine, false, "string without its closing quote");
        at_ = end_;
        return Found::Yes;  // what it holds is kept
    }
    at_ = q + 1;
    return Found::Yes;
}

// A string token of any form at the current place, for a definition: No
// when none starts here (nothing is used up), Broken when one did but was
// malformed (reported).
RibLexer::Found RibLexer::stringAt(std::string_view& text) {
    skipBlanks();
    if (at_ >= end_) return Found::No;
    unsigned char c = *at_;
    if (c == '"') return quoted(text);
    const unsigned char* start = at_;
    std::size_t left = std::size_t(end_ - at_) - 1;
    if (c >= 0x90 && c <= 0xA3) {
        std::size_t length = c & 0x0f;
        const unsigned char* p = at_ + 1;
        if (c >= 0xA0) {
            int lengthBytes = (c & 3) + 1;
            if (left < std::size_t(lengthBytes)) {
                truncated(start, "binary string");
                return Found::Broken;
            }
            length = bigEndian(p, lengthBytes);
            p += lengthBytes;
        }
        if (std::size_t(end_ - p) < length) {
            truncated(start, "binary string");
            return Found::Broken;
        }
        text = std::string_view(reinterpret_cast<const char*>(p), length);
        at_ = p + length;
        return Found::Yes;
    }
    if (c == 0xCF || c == 0xD0) {
        int codeBytes = c - 0xCF + 1;
        if (left < std::size_t(codeBytes)) {
            truncated(start, "string reference");
            return Found::Broken;
        }
        std::uint32_t code = bigEndian(at_ + 1, codeBytes);
        at_ += 1 + codeBytes;
        if (code >= strings_.size() || !stringDefined_[code]) {
            fail(start, line_, true, "undefined string code " + std::to_string(code));
            return Found::Broken;
        }
        text = strings_[code];
        return Found::Yes;
    }
    return Found::No;
}

bool RibLexer::defineString(int codeBytes) {
    const unsigned char* start = at_;
    if (std::size_t(end_ - at_) - 1 < std::size_t(codeBytes))
        return truncated(start, "string definition");
    std::uint32_t code = bigEndian(at_ + 1, codeBytes);
    at_ += 1 + codeBytes;
    std::string_view text;
    Found found = stringAt(text);
    if (found == Found::No)
        fail(start, line_, true, "string definition " + std::to_string(code) + " without its string");
    if (found != Found::Yes) return false;
    // Copied first: the text may be another definition's, which growing
    // the table would move.
    std::string value(text);
    if (code >= strings_.size()) {
        strings_.resize(code + 1);
        stringDefined_.resize(code + 1);
    }
    strings_[code] = std::move(value);
    stringDefined_[code] = true;
    return false;
}

bool RibLexer::defineRequest() {
    const unsigned char* start = at_;
    if (end_ - at_ < 2) return truncated(start, "request definition");
    unsigned code = at_[1];
    at_ += 2;
    std::string_view text;
    Found found = stringAt(text);
    if (found == Found::No)
        fail(start, line_, true, "request definition " + std::to_string(code) + " without its name");
    if (found != Found::Yes) return false;
    requests_[code] = std::string(text);
    requestDefined_[code] = true;
    return false;
}

// One encoded token at at_ (a byte of 0200 or more). False when it yields
// no token: a definition, or a fault that was reported.
bool RibLexer::encoded(RibToken& t) {
    const unsigned char* start = at_;
    unsigned char c = *at_;
    std::size_t left = std::size_t(end_ - at_) - 1;
    if (c <= 0x8F) {  // integer, or fixed point with `fraction` bytes below the point
        int width = (c & 3) + 1, fraction = (c >> 2) & 3;
        if (left < std::size_t(width)) return truncated(start, "binary number");
        std::uint32_t raw = bigEndian(at_ + 1, width);
        // Producers write the shorter forms unsigned (240 as the one byte
        // 0xF0) and a negative number as four bytes, which alone are signed.
        std::int64_t value = width == 4 ? std::int64_t(std::int32_t(raw)) : std::int64_t(raw);
        at_ += 1 + width;
        if (fraction == 0) {
            t.kind = RibToken::Integer;
            t.integer = std::int32_t(value);
            t.number = float(value);
        } else {
            t.kind = RibToken::Float;
            t.number = float(std::ldexp(double(value), -8 * fraction));
        }
        return true;
    }
    if (c <= 0xA3) {
        std::string_view text;
        if (stringAt(text) != Found::Yes) return false;
        t.kind = RibToken::String;
        t.text = text;
        return true;
    }
    switch (c) {
        case 0xA4: {
            if (left < 4) return truncated(start, "binary float");
            std::uint32_t bits = bigEndian(at_ + 1, 4);
            std::memcpy(&t.number, &bits, 4);
            t.kind = RibToken::Float;
            at_ += 5;
            return true;
        }
        case 0xA5: {
            if (left < 8) return truncated(start, "binary double");
            std::uint64_t bits = (std::uint64_t(bigEndian(at_ + 1, 4)) << 32) | bigEndian(at_ + 5, 4);
            double d;
            std::memcpy(&d, &bits, 8);
            t.kind = RibToken::Float;
            t.number = float(d);
            at_ += 9;
            return true;
        }
        case 0xA6: {
            if (left < 1) return truncated(start, "encoded request");
            unsigned code = at_[1];
            at_ += 2;
            if (!requestDefined_[code]) {
                fail(start, line_, true, "undefined request code " + std::to_string(code));
                return false;
            }
            t.kind = RibToken::Name;
            t.text = requests_[code];
            return true;
        }
        case 0xC8:
        case 0xC9:
        case 0xCA:
        case 0xCB: {
            int countBytes = c - 0xC8 + 1;
            if (left < std::size_t(countBytes)) return truncated(start, "binary float array");
            std::uint32_t count = bigEndian(at_ + 1, countBytes);
            const unsigned char* values = at_ + 1 + countBytes;
            // Checked by division: count * 4 may not fit a size_t on its own.
            if (std::size_t(end_ - values) / 4 < count) {
                std::string what = "binary float array of " + std::to_string(count) + " values";
                return truncated(start, what.c_str());
            }
            t.kind = RibToken::FloatArray;
            t.bytes = values;
            t.count = count;
            at_ = values + 4 * std::size_t(count);
            return true;
        }
        case 0xCC:
            return defineRequest();
        case 0xCD:
        case 0xCE:
            return defineString(c - 0xCD + 1);
        case 0xCF:
        case 0xD0: {
            std::string_view text;
            if (stringAt(text) != Found::Yes) return false;
            t.kind = RibToken::String;
            t.text = text;
            return true;
        }
        default:  // 0247 to 0307 and 0321 to 0377 mean nothing yet
            ++at_;
            fail(start, line_, true, "reserved binary code " + octal(c));
            return false;
    }
}

}  // namespace duzozo
