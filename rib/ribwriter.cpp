#include "rib/ribwriter.h"

#include <charconv>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rib/internal/declarations.h"
#include "rib/internal/errors.h"
#include "rib/internal/parampairs.h"
#include "rib/internal/requests.h"
#include "rib/internal/symtab.h"

using namespace duzozo;

namespace {

// Binary encoding bytes.
constexpr unsigned char kBinaryFloat = 0xA4;
constexpr unsigned char kBinaryFloatArray = 0xC8;  // + (count bytes - 1)

bool isRendererName(const char* name) {
    return std::strcmp(name, "rendrib") == 0 || std::strcmp(name, "rgl") == 0 ||
           std::strcmp(name, "prman") == 0;
}

// Most significant byte first, whatever the machine's own order.
void putBigEndian(unsigned char* out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(v >> (8 * (bytes - 1 - i)));
}

uint32_t floatBits(RtFloat v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// Elements a parameter writes; negative counts write none.
RtInt clampedCount(long long count) {
    if (count < 0) return 0;
    if (count > 0x7fffffff) return 0x7fffffff;
    return RtInt(count);
}

std::string quotedMessage(const char* before, const char* text, const char* after = "") {
    return std::string(before) + "\"" + (text ? text : "") + "\"" + after;
}

// A name a reader can take back as one token: something, and no blank that
// would make it read as an inline declaration.
bool usableName(const char* name) {
    if (!name || !*name) return false;
    for (const char* p = name; *p; ++p) {
        if (std::isspace(static_cast<unsigned char>(*p))) return false;
    }
    return true;
}

// Splits a null-terminated list of alternating tokens and values.
void splitPairs(const RtPointer pairs[], std::vector<RtToken>& tokens,
                std::vector<RtPointer>& values) {
    for (int i = 0; pairs && pairs[i]; i += 2) {
        tokens.push_back(static_cast<RtToken>(pairs[i]));
        values.push_back(pairs[i + 1]);
    }
}

}  // namespace

RibWriter::RibWriter(const char* name, ...) {
    DUZOZO_COLLECT_PAIRS(options, name);
    construct(name, options.n, options.tokens, options.values);
}

void RibWriter::construct(const char* name, RtInt n, const RtToken tokens[],
                          const RtPointer values[]) {
    RibSettings settings;
    settings.apply(n, tokens, values);
    binaryOutput = settings.binary;
    declarations = std::make_unique<Declarations>();
    if (name) {
        targetName = internString(name);
        if (isRendererName(targetName)) {
            isPipe = 1;
        } else if (targetName[0] == '|') {
            ++targetName;
            isPipe = 1;
        }
        outputStream = isPipe ? RibStream::openPipe(targetName) : RibStream::openFile(targetName);
        // A target that cannot be opened is the caller's to handle: the
        // program goes on, and this writer discards what it is given.
        if (!outputStream) {
            std::string message = isPipe ? std::string("Error opening pipe to ") + targetName
                                         : std::string("Error making RIB file: bad filename");
            lastError = RIE_NOFILE;
            reportError(RIE_NOFILE, RIE_ERROR, message.c_str());
            return;
        }
    } else {
        outputStream = RibStream::openStandardOutput();
    }
    outputStream->errorSink = &lastError;
    // Without zlib's state the text still goes out, uncompressed.
    if (settings.gzip && !outputStream->compress()) {
        Report(RIE_SYSTEM, RIE_WARNING, "cannot compress the RIB output; it is written uncompressed");
    }
    WriteText("##RenderMan RIB-Structure 1.0\n");
    WriteText("version 3.03\n");
}

void RibWriter::Report(RtInt code, RtInt severity, const char* message) {
    if (!outputStream) return;
    lastError = code;
    reportError(code, severity, message);
}

RibWriter::~RibWriter() {
    if (!outputStream) return;
    WriteChar('\n');
    delete outputStream;
    outputStream = nullptr;
}

void RibWriter::Flush() {
    if (outputStream) outputStream->flush();
}

void RibWriter::WriteText(const char* s) {
    if (s) WriteBytes(s, std::strlen(s));
}

void RibWriter::WriteInt(long v) {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, v).ptr;
    WriteBytes(text, size_t(end - text));
}

void RibWriter::WriteG(double v) {
    // C++ defines to_chars with a precision as the bytes of printf "%.6g".
    char text[32];
    char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6).ptr;
    WriteBytes(text, size_t(end - text));
}

void RibWriter::WriteFixed(double v) {
    // Room for the largest double in fixed notation.
    char text[400];
    char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 6).ptr;
    WriteBytes(text, size_t(end - text));
}

void RibWriter::WriteQuoted(const char* s) {
    WriteChar('"');
    if (s) {
        const char* run = s;
        for (const char* p = s; *p; ++p) {
            unsigned char c = static_cast<unsigned char>(*p);
            // A quote or backslash would end or bend the string, and a line
            // break or other control character inside one is refused by
            // strict readers: each is written as its escape.
            if (c != '"' && c != '\\' && c >= 0x20 && c != 0x7f) continue;
            WriteBytes(run, size_t(p - run));
            run = p + 1;
            char escape[4] = {'\\', char(c)};
            switch (c) {
                case '\n': escape[1] = 'n'; break;
                case '\r': escape[1] = 'r'; break;
                case '\t': escape[1] = 't'; break;
                case '\b': escape[1] = 'b'; break;
                case '\f': escape[1] = 'f'; break;
                case '"':
                case '\\':
                    break;
                default: {
                    char octal[4] = {'\\', char('0' + (c >> 6)), char('0' + ((c >> 3) & 7)),
                                     char('0' + (c & 7))};
                    WriteBytes(octal, 4);
                    continue;
                }
            }
            WriteBytes(escape, 2);
        }
        WriteText(run);
    }
    WriteChar('"');
}

void RibWriter::WriteFloat(RtFloat v) {
    if (binaryOutput) {
        unsigned char bytes[5] = {kBinaryFloat};
        putBigEndian(bytes + 1, floatBits(v), 4);
        WriteBytes(bytes, sizeof bytes);
    } else {
        WriteG(v);
        WriteChar(' ');
    }
}

void RibWriter::WriteFloatArray(const RtFloat* values, RtInt n) {
    if (n < 0) n = 0;
    if (binaryOutput) {
        uint32_t count = uint32_t(n);
        int countBytes = count < 256u ? 1 : count < 65536u ? 2 : count < 16777216u ? 3 : 4;
        unsigned char header[5] = {static_cast<unsigned char>(kBinaryFloatArray + countBytes - 1)};
        putBigEndian(header + 1, count, countBytes);
        WriteBytes(header, size_t(1 + countBytes));
        for (RtInt i = 0; i < n; ++i) {
            unsigned char bytes[4];
            putBigEndian(bytes, floatBits(values[i]), 4);
            WriteBytes(bytes, sizeof bytes);
        }
        return;
    }
    WriteChar('[');
    for (RtInt i = 0; i < n; ++i) {
        if (i > 0) WriteChar(' ');
        WriteG(values[i]);
    }
    WriteChar(']');
}

void RibWriter::WriteIntArray(const RtInt* values, RtInt n) {
    WriteChar('[');
    for (RtInt i = 0; i < n; ++i) {
        WriteInt(values[i]);
        WriteChar(' ');
    }
    WriteChar(']');
}

void RibWriter::WriteStringArray(const RtString* texts, RtInt n) {
    WriteChar('[');
    for (RtInt i = 0; i < n; ++i) {
        WriteQuoted(texts[i]);
        WriteChar(' ');
    }
    WriteChar(']');
}

void RibWriter::WriteParamValues(RtInt elements, int type, const void* value) {
    switch (type) {
        case kTypeColor:
            WriteFloatArray(static_cast<const RtFloat*>(value),
                            clampedCount(1LL * elements * colorSamples));
            break;
        case kTypeFloat:
        case kTypePoint:
        case kTypeVector:
        case kTypeNormal:
        case kTypeHpoint:
        case kTypeMatrix:
            WriteFloatArray(static_cast<const RtFloat*>(value),
                            clampedCount(1LL * elements * declarationTypeFloats(type)));
            break;
        case kTypeInteger:
            WriteIntArray(static_cast<const RtInt*>(value), elements);
            break;
        case kTypeString: {
            const RtString* texts = static_cast<const RtString*>(value);
            WriteChar('[');
            for (RtInt i = 0; i < elements; ++i) {
                if (i > 0) WriteChar(' ');
                WriteQuoted(texts[i]);
            }
            WriteChar(']');
            break;
        }
        default:  // mpoint and no type: the token alone
            break;
    }
}

void RibWriter::WriteParams(RtToken name, RtInt handle, RtInt n, const RtToken tokens[],
                            const RtPointer values[]) {
    if (name) {
        WriteChar(' ');
        WriteQuoted(name);
    }
    if (handle > 0) {
        WriteChar(' ');
        WriteInt(handle);
    }
    for (RtInt i = 0; i < n; ++i) {
        const Declaration* d = declarations->find(tokens[i]);
        if (!d) {
            Report(RIE_BADTOKEN, RIE_ERROR, quotedMessage("undeclared parameter ", tokens[i]).c_str());
            continue;
        }
        WriteChar(' ');
        WriteQuoted(tokens[i]);
        WriteChar(' ');
        WriteParamValues(clampedCount(d->arraySize), d->type, values[i]);
    }
    WriteChar('\n');
}

void RibWriter::WriteParams(RtToken name, RtInt handle, const RtPointer pairs[]) {
    std::vector<RtToken> tokens;
    std::vector<RtPointer> values;
    splitPairs(pairs, tokens, values);
    WriteParams(name, handle, RtInt(tokens.size()), tokens.data(), values.data());
}

void RibWriter::WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                                     RtInt n, const RtToken tokens[], const RtPointer values[]) {
    WritePrimitiveParams(vertexCount, varyingCount, uniformCount, varyingCount, n, tokens, values);
}

void RibWriter::WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                                     RtInt faceVaryingCount, RtInt n, const RtToken tokens[],
                                     const RtPointer values[]) {
    for (RtInt i = 0; i < n; ++i) {
        const Declaration* d = declarations->find(tokens[i]);
        if (!d) {
            Report(RIE_BADTOKEN, RIE_ERROR, quotedMessage("undeclared parameter ", tokens[i]).c_str());
            continue;
        }
        long long classCount = 1;
        switch (d->storageClass) {
            case kClassUniform:
                classCount = uniformCount;
                break;
            case kClassVarying:
                classCount = varyingCount;
                break;
            case kClassVertex:
                classCount = vertexCount;
                break;
            case kClassFaceVarying:
                classCount = faceVaryingCount;
                break;
            default:
                break;
        }
        // A negative count or size stands for no values; two of them must not
        // multiply into a positive count the caller never supplied.
        long long elements = classCount < 0 || d->arraySize < 0 ? 0 : classCount * d->arraySize;
        WriteChar(' ');
        WriteQuoted(tokens[i]);
        WriteChar(' ');
        WriteParamValues(clampedCount(elements), d->type, values[i]);
    }
    WriteChar('\n');
}

void RibWriter::WritePrimitiveParams(RtInt vertexCount, RtInt varyingCount, RtInt uniformCount,
                                     const RtPointer pairs[]) {
    std::vector<RtToken> tokens;
    std::vector<RtPointer> values;
    splitPairs(pairs, tokens, values);
    WritePrimitiveParams(vertexCount, varyingCount, uniformCount, RtInt(tokens.size()),
                         tokens.data(), values.data());
}

void RibWriter::SaveState(bool frame) {
    savedStates.push_back({uStep, vStep, colorSamples, frame});
}

void RibWriter::RestoreState() {
    // An end without its begin has nothing to restore.
    if (savedStates.empty()) return;
    uStep = savedStates.back().uStep;
    vStep = savedStates.back().vStep;
    if (savedStates.back().frame) colorSamples = savedStates.back().colorSamples;
    savedStates.pop_back();
}

void RibWriter::FrameBegin(RtInt frame) {
    WriteText("FrameBegin ");
    WriteInt(frame);
    WriteChar('\n');
    SaveState(true);
}

void RibWriter::FrameEnd() {
    WriteText("FrameEnd\n");
    RestoreState();
}

void RibWriter::WorldBegin() {
    WriteText("WorldBegin\n");
    SaveState(false);
}

void RibWriter::WorldEnd() {
    WriteText("WorldEnd\n");
    RestoreState();
    Flush();
}

void RibWriter::AttributeBegin() {
    WriteText("AttributeBegin\n");
    SaveState(false);
}

void RibWriter::AttributeEnd() {
    WriteText("AttributeEnd\n");
    RestoreState();
}

void RibWriter::ArchiveRecordV(RtToken type, const char* format, va_list args) {
    if (!type || !format) return;
    bool comment = std::strcmp(type, "comment") == 0;
    bool structure = std::strcmp(type, "structure") == 0;
    bool verbatim = std::strcmp(type, "verbatim") == 0;
    if (!comment && !structure && !verbatim) return;
    // The whole record is written, however long it is.
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) return;
    std::vector<char> record(size_t(length) + 1);
    std::vsnprintf(record.data(), record.size(), format, args);
    const char* prefix = comment ? "# " : structure ? "##" : "";
    WriteText(prefix);
    // The record is text: a NUL formatted into it ends it.
    const char* text = record.data();
    if (!verbatim) {
        // Every line of the record stays inside the comment, so nothing in
        // it can be read as a request.
        for (const char* p = text; *p; ++p) {
            bool lineEnd = *p == '\n' || (*p == '\r' && p[1] != '\n');
            if (!lineEnd || p[1] == '\0') continue;
            WriteBytes(text, size_t(p + 1 - text));
            WriteText(prefix);
            text = p + 1;
        }
    }
    WriteText(text);
    if (!verbatim) WriteChar('\n');
}

void RibWriter::ReadArchiveV(RtToken name, RtArchiveCallback, RtInt n, RtToken tokens[],
                             RtPointer values[]) {
    writeNamedRequest(*this, "ReadArchive", name, 0, n, tokens, values);
}

void RibWriter::ErrorHandler(RtErrorHandler handler) {
    if (handler == RiErrorIgnore) {
        WriteText("ErrorHandler \"ignore\"\n");
    } else if (handler == RiErrorPrint) {
        WriteText("ErrorHandler \"print\"\n");
    } else if (handler == RiErrorAbort) {
        WriteText("ErrorHandler \"abort\"\n");
    }
}

RtToken RibWriter::Declare(const char* name, const char* declaration) {
    // A declaration no reader could take back is reported and left out of
    // the stream and of the writer's declarations alike.
    if (!usableName(name)) {
        Report(RIE_BADTOKEN, RIE_ERROR, quotedMessage("Declare: not a parameter name: ", name).c_str());
        return name ? internString(name) : nullptr;
    }
    ParsedDeclaration parsed = parseDeclarationText(declaration);
    if (parsed.type == kTypeNone) {
        std::string message = quotedMessage("Declare ", name, ": no type in ") +
                              quotedMessage("", declaration);
        Report(RIE_SYNTAX, RIE_ERROR, message.c_str());
        return internString(name);
    }
    WriteText("Declare ");
    WriteQuoted(name);
    WriteChar(' ');
    WriteQuoted(declaration);
    WriteChar('\n');
    RtToken token = declarations->declare(name, parsed);
    // The process-wide table follows every writer's declarations, for
    // programs that look them up; no writer reads it.
    parseDeclaration(name, declaration, nullptr, 0);
    return token;
}
