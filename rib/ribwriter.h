// The RIB writer: the one implementation of RenderInterface. Every request
// writes its RIB text at once through the writer's one buffered stream.
#pragma once

#include <cstddef>
#include <memory>
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
    // (pointer to text), "binary" (pointer to int), "compression" (pointer
    // to text, "gzip" compresses the whole stream) and "gzip" (pointer to int).
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

    // Value writers. Floats follow binaryOutput; integers and strings are
    // always text.
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
    // stream is closed.
    void WriteText(const char* s);
    void WriteChar(char c) {
        if (outputStream) outputStream->put(c);
    }
    void WriteBytes(const void* p, size_t n) {
        if (outputStream) outputStream->write(p, n);
    }
    void WriteInt(long v);      // the bytes of printf "%ld"
    void WriteG(double v);      // the bytes of printf "%g", no trailing blank
    void WriteFixed(double v);  // the bytes of printf "%f"
    // '"' + s + '"', with '"' and '\\' escaped so that no caller text can end
    // the string early; a null s writes "".
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
};

// Puts the writer's standard declarations (and the process-wide table's)
// back to their standard values, without Declare lines.
void predeclareTokens(RibWriter* writer);
