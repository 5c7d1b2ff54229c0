// A small decoder of RIB text and of the complete binary encoding, for the
// tests: both decode into the same tokens, so that the two encodings of one
// call sequence can be compared token by token. It shares nothing with the
// library, nor with the reader beside it.
#pragma once

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace ribtokens {

// Tokens as a reader sees them, the same for text and binary: "K name",
// "S text", "[", "]", "# comment", and numbers as "N integer" when they are
// whole 32-bit values (text writes the float 45 as "45") or "F bits".
inline std::string number(double v) {
    if (v == std::floor(v) && std::fabs(v) <= 2147483647.0) {
        return "N " + std::to_string((long long)v);
    }
    float f = float(v);
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return "F " + std::to_string(bits);
}

// Decodes text RIB and the complete encoding. Strict, it also requires
// what the complete encoding promises: nothing but encoded tokens, brackets
// and comment lines; integers in their shortest form with the top bit of
// short ones clear; codes defined once each, in order, in the shortest form.
struct Decoded {
    std::vector<std::string> tokens;
    std::vector<std::string> errors;
};

class Decoder {
  public:
    Decoder(const std::string& bytes, bool strict) : s(bytes), strict(strict) {}

    Decoded run() {
        while (at < s.size()) one();
        return out;
    }

  private:
    unsigned char byte() const { return static_cast<unsigned char>(s[at]); }
    void fail(const std::string& what) {
        out.errors.push_back("offset " + std::to_string(at) + ": " + what);
    }
    bool have(size_t n) {
        if (s.size() - at >= n) return true;
        fail("token runs past the end");
        at = s.size();
        return false;
    }
    uint32_t big(size_t n) {
        uint32_t v = 0;
        for (size_t i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(s[at++]);
        return v;
    }
    float single() {
        uint32_t bits = big(4);
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    void textOnly(const char* what) {
        if (strict) fail(std::string("text ") + what + " in the complete encoding");
    }

    void one() {
        unsigned char c = byte();
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            // The one line break every writer ends with is no separator.
            if (at + 1 < s.size()) textOnly("blank");
            ++at;
        } else if (c == '#') {
            size_t end = std::min(s.find('\n', at), s.size());
            out.tokens.push_back(s.substr(at, end - at));
            // A record that ends in line breaks of its own leaves empty lines.
            for (at = end; at < s.size() && s[at] == '\n';) ++at;
        } else if (c == '[' || c == ']') {
            out.tokens.push_back(std::string(1, char(c)));
            ++at;
        } else if (c == '"') {
            textOnly("string");
            out.tokens.push_back("S " + quoted());
        } else if (std::isdigit(c) || c == '-' || c == '+' || c == '.') {
            textOnly("number");
            textNumber();
        } else if (std::isalpha(c)) {
            textOnly("keyword");
            size_t start = at;
            while (at < s.size() && std::isalnum(byte())) ++at;
            out.tokens.push_back("K " + s.substr(start, at - start));
        } else if (c >= 0x80) {
            ++at;
            encoded(c);
        } else {
            fail("unexpected byte " + std::to_string(c));
            ++at;
        }
    }

    std::string quoted() {
        std::string text;
        for (++at; at < s.size() && s[at] != '"'; ++at) {
            if (s[at] != '\\' || at + 1 >= s.size()) {
                text += s[at];
                continue;
            }
            char e = s[++at];
            const char* escapes = "nrtbf";
            if (const char* p = std::strchr(escapes, e); p && e) {
                text += "\n\r\t\b\f"[p - escapes];
            } else if (e >= '0' && e <= '7') {
                int v = e - '0';
                for (int i = 0; i < 2 && s[at + 1] >= '0' && s[at + 1] <= '7'; ++i)
                    v = v * 8 + (s[++at] - '0');
                text += char(v);
            } else {
                text += e;
            }
        }
        ++at;
        return text;
    }

    void textNumber() {
        const char* begin = s.c_str() + at;
        char* end = nullptr;
        float f = std::strtof(begin, &end);
        std::string text(begin, size_t(end - begin));
        at += text.size();
        if (text.find_first_of(".eEnN") == std::string::npos) {
            out.tokens.push_back(number(double(std::strtoll(text.c_str(), nullptr, 10))));
        } else {
            out.tokens.push_back(number(f));
        }
    }

    // A plain string token, as definitions carry.
    bool plainString(std::string& text) {
        if (!have(1)) return false;
        unsigned char c = byte();
        size_t length;
        if (c >= 0x90 && c <= 0x9F) {
            ++at;
            length = c - 0x90;
        } else if (c >= 0xA0 && c <= 0xA3) {
            ++at;
            if (!have(size_t(c - 0xA0 + 1))) return false;
            length = big(size_t(c - 0xA0 + 1));
        } else {
            fail("definition without its string");
            return false;
        }
        if (!have(length)) return false;
        text = s.substr(at, length);
        at += length;
        return true;
    }

    void encoded(unsigned char c) {
        if (c <= 0x83) {
            size_t width = size_t(c - 0x80) + 1;
            if (!have(width)) return;
            uint32_t raw = big(width);
            if (width < 4 && raw >> (8 * width - 1)) fail("short integer with its top bit set");
            int32_t v = int32_t(raw);
            int shortest = v < 0 ? 4 : v < 0x80 ? 1 : v < 0x8000 ? 2 : v < 0x800000 ? 3 : 4;
            if (strict && size_t(shortest) != width) fail("integer not in its shortest form");
            out.tokens.push_back(number(v));
        } else if (c >= 0x90 && c <= 0xA3) {
            --at;
            std::string text;
            if (plainString(text)) out.tokens.push_back("S " + text);
        } else if (c == 0xA4) {
            if (have(4)) out.tokens.push_back(number(single()));
        } else if (c == 0xA6) {
            if (!have(1)) return;
            auto found = requests.find(big(1));
            if (found == requests.end()) return fail("request code used before its definition");
            out.tokens.push_back("K " + found->second);
        } else if (c >= 0xC8 && c <= 0xCB) {
            size_t countBytes = size_t(c - 0xC8) + 1;
            if (!have(countBytes)) return;
            uint32_t count = big(countBytes);
            if (!have(4ull * count)) return;
            out.tokens.push_back("[");
            for (uint32_t i = 0; i < count; ++i) out.tokens.push_back(number(single()));
            out.tokens.push_back("]");
        } else if (c == 0xCC) {
            if (!have(1)) return;
            uint32_t code = big(1);
            std::string name;
            if (!plainString(name)) return;
            if (code != requests.size()) fail("request code out of order");
            requests[code] = name;
        } else if (c == 0xCD || c == 0xCE) {
            if (!have(c == 0xCD ? 1 : 2)) return;
            uint32_t code = big(c == 0xCD ? 1 : 2);
            std::string text;
            if (!plainString(text)) return;
            if (code != strings.size() || (c == 0xCE) != (code > 0xFF)) {
                fail("string code out of order or not in its shortest form");
            }
            strings[code] = text;
        } else if (c == 0xCF || c == 0xD0) {
            if (!have(c == 0xCF ? 1 : 2)) return;
            uint32_t code = big(c == 0xCF ? 1 : 2);
            auto found = strings.find(code);
            if (found == strings.end()) return fail("string code used before its definition");
            if ((c == 0xD0) != (code > 0xFF)) fail("string reference not in its shortest form");
            out.tokens.push_back("S " + found->second);
        } else {
            fail("byte " + std::to_string(c) + " is no token the writer makes");
        }
    }

    const std::string& s;
    bool strict;
    size_t at = 0;
    std::map<uint32_t, std::string> requests, strings;
    Decoded out;
};

inline Decoded decode(const std::string& bytes, bool strict) {
    return Decoder(bytes, strict).run();
}

// The first difference between the tokens of text written at 9 digits and
// those of the complete encoding of the same calls, or any complaint about
// either; "" when there is none.
inline std::string compare(const std::string& text, const std::string& encoded) {
    Decoded fromText = decode(text, false), fromEncoded = decode(encoded, true);
    for (const std::string& e : fromText.errors) return "text: " + e;
    for (const std::string& e : fromEncoded.errors) return "complete: " + e;
    if (fromText.tokens.empty()) return "no tokens";
    size_t n = std::max(fromText.tokens.size(), fromEncoded.tokens.size());
    for (size_t i = 0; i < n; ++i) {
        std::string t = i < fromText.tokens.size() ? fromText.tokens[i] : "(nothing)";
        std::string c = i < fromEncoded.tokens.size() ? fromEncoded.tokens[i] : "(nothing)";
        if (t != c) return "token " + std::to_string(i) + ": text " + t + ", complete " + c;
    }
    return "";
}

}  // namespace ribtokens
