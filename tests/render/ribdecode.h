#pragma once

// Reads back the RIB that wobble2rib writes, text or binary, into requests
// with their arguments: just enough of the format to check the numbers.

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

struct RibValue {
    enum Kind { Number, String, Array } kind = Number;
    double number = 0;
    std::string text;
    std::vector<double> numbers;  // an array of numbers
    std::vector<std::string> texts;  // an array of strings
};

struct RibRequest {
    std::string name;
    std::vector<RibValue> args;

    // The array that follows the quoted parameter name, or null.
    const std::vector<double>* param(const std::string& token) const {
        for (std::size_t a = 0; a + 1 < args.size(); ++a) {
            if (args[a].kind == RibValue::String && args[a].text == token &&
                args[a + 1].kind == RibValue::Array)
                return &args[a + 1].numbers;
        }
        return nullptr;
    }
};

class RibDecoder {
  public:
    explicit RibDecoder(const std::string& bytes) : in(bytes) {}

    std::vector<RibRequest> all() {
        std::vector<RibRequest> requests;
        for (skipSpace(); at < in.size(); skipSpace()) {
            unsigned char c = in[at];
            if (std::isalpha(c)) {
                requests.push_back({word(), {}});
            } else {
                if (requests.empty()) fail("a value before any request");
                requests.back().args.push_back(value());
            }
        }
        return requests;
    }

  private:
    [[noreturn]] void fail(const std::string& what) {
        throw std::runtime_error(what + " at byte " + std::to_string(at));
    }

    void skipSpace() {
        while (at < in.size()) {
            if (in[at] == '#') {
                while (at < in.size() && in[at] != '\n') ++at;
            } else if (std::isspace(static_cast<unsigned char>(in[at]))) {
                ++at;
            } else {
                return;
            }
        }
    }

    std::string word() {
        std::size_t start = at;
        while (at < in.size() && std::isalnum(static_cast<unsigned char>(in[at]))) ++at;
        return in.substr(start, at - start);
    }

    std::string quoted() {
        std::size_t end = in.find('"', at + 1);
        if (end == std::string::npos) fail("an unterminated string");
        std::string text = in.substr(at + 1, end - at - 1);
        at = end + 1;
        return text;
    }

    double number() {
        const char* start = in.c_str() + at;
        char* end = nullptr;
        double v = std::strtod(start, &end);
        if (end == start) fail("not a number");
        at += std::size_t(end - start);
        return v;
    }

    // The writer sends floats most significant byte first, as the RIB
    // binary encoding has them.
    float binaryFloat() {
        if (at + 4 > in.size()) fail("a cut binary float");
        uint32_t bits = 0;
        for (int b = 0; b < 4; ++b) bits = bits << 8 | static_cast<unsigned char>(in[at + b]);
        at += 4;
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }

    RibValue value() {
        unsigned char c = in[at];
        RibValue v;
        if (c == '"') {
            v.kind = RibValue::String;
            v.text = quoted();
        } else if (c == 0xA4) {
            ++at;
            v.number = binaryFloat();
        } else if (c >= 0xC8 && c <= 0xCB) {
            ++at;
            std::size_t count = 0;
            for (int b = 0; b <= c - 0xC8; ++b) {
                if (at >= in.size()) fail("a cut array length");
                count = count << 8 | static_cast<unsigned char>(in[at++]);
            }
            v.kind = RibValue::Array;
            for (std::size_t n = 0; n < count; ++n) v.numbers.push_back(binaryFloat());
        } else if (c == '[') {
            ++at;
            v.kind = RibValue::Array;
            for (skipSpace(); at < in.size() && in[at] != ']'; skipSpace()) {
                if (in[at] == '"') {
                    v.texts.push_back(quoted());
                } else {
                    v.numbers.push_back(number());
                }
            }
            if (at >= in.size()) fail("an unterminated array");
            ++at;
        } else {
            v.number = number();
        }
        return v;
    }

    const std::string& in;
    std::size_t at = 0;
};

inline std::vector<RibRequest> decodeRib(const std::string& bytes) { return RibDecoder(bytes).all(); }
