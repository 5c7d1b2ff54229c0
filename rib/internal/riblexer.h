// The tokens of RIB input held in memory: text RIB and every binary form,
// in any mix, read without copying what can be pointed at.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace duzozo {

struct RibToken {
    enum Kind : std::uint8_t {
        End,
        Name,        // a bare word or an encoded request: `text`
        String,      // decoded `text`
        Integer,     // `integer`
        Float,       // `number`
        ArrayBegin,  // [
        ArrayEnd,    // ]
        FloatArray,  // a binary array of `count` floats at `bytes`
        Comment,     // `text` after the '#', so "##..." keeps its second '#'
    };
    Kind kind = End;
    // Name, String and Comment. Points into the input or into the lexer, and
    // stays valid until the lexer's next call.
    std::string_view text;
    std::int32_t integer = 0;
    float number = 0;  // a Float's value, and an Integer's as a float
    // FloatArray: `count` IEEE singles, most significant byte first, inside
    // the input; floats() decodes them.
    const unsigned char* bytes = nullptr;
    std::uint32_t count = 0;
    std::size_t offset = 0;  // of the token's first byte
    std::size_t line = 1;    // of the text the token starts on, from 1
    bool binary = false;     // an encoded token, placed better by its offset

    // An Integer or Float as a float: a float argument takes either. Text
    // "-0" is the integer 0 and the float -0.
    float asFloat() const { return number; }
    bool isNumber() const { return kind == Integer || kind == Float; }
    // Decodes a FloatArray into out[0 .. count).
    void floats(float* out) const;
};

// Decodes `count` big-endian IEEE singles.
void decodeFloats(const unsigned char* bytes, std::size_t count, float* out);

struct RibLexError {
    std::string message;
    std::size_t offset;
    std::size_t line;
    bool binary;  // in an encoded token, where the byte offset says more than the line
};

class RibLexer {
  public:
    using ErrorHandler = std::function<void(const RibLexError&)>;

    // The input stays the caller's and must outlive the lexer; `name` is for
    // messages. Malformed input goes to `onError`, if given, and lexing goes
    // on after it.
    RibLexer(const char* data, std::size_t size, std::string name,
             ErrorHandler onError = nullptr);

    // The next token; false, with kind End, once the input is used up.
    bool next(RibToken& token);

    // Just after an array's "[": reads the plain text numbers that follow
    // straight into the pools (each as a float, and as an integer where it
    // is one, else 0; `integral` is cleared by a float) and, at the "]",
    // takes it and returns true. Stops short, returning false, at anything
    // else, which next() then reads. The common array, without a token each.
    bool textNumbers(std::vector<float>& numbers, std::vector<std::int32_t>& integers,
                     bool& integral);

    const std::string& name() const { return name_; }
    std::size_t errorCount() const { return errors_; }
    // "name:line" for an error in text, "name: byte offset" in an encoded token.
    std::string where(const RibLexError& error) const;

  private:
    enum class Found { Yes, No, Broken };

    bool encoded(RibToken& token);
    bool number(RibToken& token);
    bool fastFloat(const char* s, const char* e, bool negative, std::uint64_t whole,
                   const char* p, RibToken& token);
    Found stringAt(std::string_view& text);
    Found quoted(std::string_view& text);
    bool defineString(int codeBytes);
    bool defineRequest();
    void skipBlanks();
    bool truncated(const unsigned char* start, const char* what);
    void fail(const unsigned char* at, std::size_t line, bool binary, std::string message);

    const unsigned char* begin_;
    const unsigned char* at_;
    const unsigned char* end_;
    std::string name_;
    ErrorHandler onError_;
    std::size_t line_ = 1;
    std::size_t errors_ = 0;
    std::string scratch_;  // decoded text strings with escapes
    std::vector<std::string> requests_ = std::vector<std::string>(256);
    std::vector<bool> requestDefined_ = std::vector<bool>(256);
    std::vector<std::string> strings_;
    std::vector<bool> stringDefined_;
};

}  // namespace duzozo
