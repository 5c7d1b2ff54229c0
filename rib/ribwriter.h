// The RIB writer: the one implementation of RenderInterface. Every request
// writes its RIB text at once through the writer's one buffered stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rib/ri.h"
#include "rib/ribstream.h"

namespace duzozo {
class Declarations;
}

class RibWriter : public RenderInterface {
  public:
    // The target name is a file name, "rendrib", "rgl", "prman" (started as
    // commands), "|command", or null for standard output. Option pairs of
    // (token, pointer to value) follow, ended by a null token: "format"
    // (pointer to text: "ascii", "binary" or "complete"), "binary" (pointer
    // to int, one of the encodings below), "compression" (pointer to text,
    // "gzip" compresses the whole stream), "gzip" (pointer to int) and
    // "precision" (pointer to int: significant digits of text floats).
    explicit RibWriter(const char* name, ...);
    // Writes the final line break and closes the file or pipe.
    ~RibWriter() override;
    RibWriter(const RibWriter&) = delete;
    RibWriter& operator=(const RibWriter&) = delete;

#define DUZOZO_REQUEST(result, name, parameters, arguments) result name parameters override;
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) result name parameters override;
#define DUZOZO_SPECIAL(result, name, parameters) result name parameters override;
#include "rib/requestlist.h"

    // False when the target could not be opened (the failure was reported
    // as RIE_NOFILE): the writer then discards every request, silently.
    bool isOpen() const { return outputStream != nullptr; }
    // The code of the last error this writer reported, 0 until there is one.
    RtInt lastError = 0;

    // The encodings binaryOutput selects. kBinaryFloats encodes floats only
    // and keeps everything else text; kCompleteBinary encodes every request
    // keyword, string, integer and float (the header lines and comments stay
    // text). Any other nonzero value is taken as kBinaryFloats.
    static constexpr int kText = 0;
    static constexpr int kBinaryFloats = 1;
    static constexpr int kCompleteBinary = 2;

    // Significant digits of floats written as text, 1 to 9; 6 by default. At
    // 9 every float reads back exactly. Out of range is reported (RIE_RANGE)
    // and leaves the precision as it was.
    int Precision() const { return precision; }
    bool SetPrecision(int digits);

    // The pieces every request is made of. In the text encodings these write
    // the request's text as it has always been, blanks included; in the
    // complete encoding separators and request ends write nothing, because
    // every encoded token ends itself.
    // A request keyword: its encoded code (defined on first use) or its text.
    void WriteRequest(const char* keyword);
    // A blank between two tokens of a request.
    void WriteSpace() {
        if (binaryOutput != kCompleteBinary) WriteChar(' ');
    }
    // Any other text that sets tokens apart in the text encodings.
    void WriteSeparator(const char* text) {
        if (binaryOutput != kCompleteBinary) WriteText(text);
    }
    // The line break that ends a request.
    void EndRequest() {
        if (binaryOutput != kCompleteBinary) WriteChar('\n');
    }

    // Value writers. Floats follow binaryOutput; integers and strings are
    // text unless the encoding is complete.
    void WriteFloat(RtFloat v);
    void WriteFloatArray(const RtFloat* values, RtInt n);
    void WriteIntArray(const RtInt* values, RtInt n);
    void WriteStringArray(const RtString* texts, RtInt n);
    // Writes ' "name"' when name is given, ' handle' when handle > 0, then
    // each declared parameter, then a line break. Value counts come from the
    // declaration's type and array size alone.
    void WriteParams(RtToken name, RtInt handle, RtInt n, const RtToken tokens[],
                     const RtPointer values[]);
    // The same, from one array of alternating tokens and values that ends
    // with a null token.
    void WriteParams(RtToken name, RtInt handle, const RtPointer pairs[]);
    // Element counts are the count of the parameter's storage class
    // ("constant" counts 1) times its array size.
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount, RtInt n,
                              const RtToken tokens[], const RtPointer values[]);
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                              const RtPointer pairs[]);
    // With the count of "facevarying" parameters; the forms above count them
    // as varying.
    void WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                              RtInt faceVaryingCount, RtInt n, const RtToken tokens[],
                              const RtPointer values[]);
    // Hands a report to the error handler and keeps its code as lastError;
    // a writer whose target never opened reports nothing further.
    void Report(RtInt code, RtInt severity, const char* message);

    // Low-level output, all through outputStream; nothing is written once the
    // stream is closed. Raw bytes in every encoding.
    void WriteText(const char* s);
    void WriteChar(char c) {
        if (outputStream) outputStream->put(c);
    }
    void WriteBytes(const void* p, size_t n) {
        if (outputStream) outputStream->write(p, n);
    }
    // One value each. As text: the bytes of printf "%ld"; "%.*g" at the
    // precision, no trailing blank; "%f" at the default precision and "%.*g"
    // at any other (so that these numbers read back exactly at 9 digits too).
    // In the complete encoding an integer or float token.
    void WriteInt(long v);
    void WriteG(double v);
    void WriteFixed(double v);
    // As text '"' + s + '"', with '"' and '\\' escaped so that no caller text
    // can end the string early; a null s writes "". In the complete encoding
    // a defined string token.
    void WriteQuoted(const char* s);
    void Flush();

    duzozo::RibStream* outputStream = nullptr;
    const char* targetName = nullptr;
    int isPipe = 0;
    int uStep = 3;
    int vStep = 3;
    int binaryOutput = 0;
    int nextLightHandle = 1;
    int nextObjectHandle = 1;
    // This writer's own declarations: the standard ones, then its Declare
    // requests and inline declarations. No other writer reads or changes them.
    std::unique_ptr<duzozo::Declarations> declarations;

  private:
    // What AttributeBegin and the other blocks save: the basis steps, and for
    // frames the colour samples (an option) too.
    struct SavedState {
        int uStep, vStep, colorSamples;
        bool frame;
    };
    void SaveState(bool frame);
    void RestoreState();
    // Components of every colour, set by ColorSamples.
    int colorSamples = 3;
    std::vector<SavedState> savedStates;

    void construct(const char* name, RtInt n, const RtToken tokens[], const RtPointer values[]);
    void WriteParamValues(RtInt elements, int type, const void* value);
    // '[' and the strings; as text each followed by a blank, or blanks only
    // between them.
    void WriteStrings(const RtString* texts, RtInt n, bool blankAfterEach);

    int precision = 6;

    // The complete encoding's definitions made so far in this stream: request
    // keywords and strings, each under its code. The keys view the writer's
    // own copies of the texts, which a deque never moves.
    struct CodeTable {
        std::unordered_map<std::string_view, uint32_t> codes;
        std::deque<std::string> texts;
        // False when the text has no code yet.
        bool find(std::string_view text, uint32_t& code) const;
        // Gives the text the next code, 0, 1, 2 ... in order of first use.
        uint32_t add(std::string_view text);
    };
    CodeTable requestCodes;
    CodeTable stringCodes;
    void WriteEncodedInt(long v);
    void WriteEncodedFloat(float v);
    void WriteStringToken(std::string_view text);
    void WriteEncodedString(const char* s);
    void WriteEncodedIntArray(const RtInt* values, RtInt n);
    void WriteTextInt(long v);
    void WriteTextG(double v);
};

// Puts the writer's standard declarations (and the process-wide table's)
// back to their standard values, without Declare lines.
void predeclareTokens(RibWriter* writer);
