#include "rib/ribwriter.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rib/internal/declarations.h"
#include "rib/internal/floatformat.h"
#include "rib/internal/errors.h"
#include "rib/internal/parampairs.h"
#include "rib/internal/requests.h"
#include "rib/internal/symtab.h"

using namespace duzozo;

namespace {

// Binary encoding bytes.
constexpr unsigned char kEncodedInt = 0x80;         // + (value bytes - 1)
constexpr unsigned char kEncodedString = 0x90;      // + length, below 16
constexpr unsigned char kEncodedLongString = 0xA0;  // + (length bytes - 1)
constexpr unsigned char kBinaryFloat = 0xA4;
constexpr unsigned char kBinaryDouble = 0xA5;
constexpr unsigned char kEncodedRequest = 0xA6;
constexpr unsigned char kBinaryFloatArray = 0xC8;   // + (count bytes - 1)
constexpr unsigned char kDefineRequest = 0xCC;
constexpr unsigned char kDefineString = 0xCD;       // + (code bytes - 1)
constexpr unsigned char kStringReference = 0xCF;    // + (code bytes - 1)

// A request code is one byte, a string code at most two.
constexpr size_t kRequestCodes = 256;
constexpr size_t kStringCodes = 65536;



// The one place where floats become text, at the caller's precision: the
// bytes of printf "%.*g". Every RtFloat goes through the exact integer
// rounding of formatFloat; a double that is no float, through the general
// conversion. Room for 32 bytes at out.
char* formatGeneral(char* out, double v, int precision) {
    float f = float(v);
    if (double(f) == v) return formatFloat(out, f, precision);
    return std::to_chars(out, out + 32, v, std::chars_format::general, precision).ptr;
}

// The decimal text of an int, as to_chars writes it; the counts and vertex
// indices of meshes, small and never negative, two digits at a time.
char* writeDecimal(char* out, RtInt v) {
    if (v < 0 || v >= 100000000) return std::to_chars(out, out + 11, v).ptr;
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    uint32_t u = uint32_t(v);
    int digits = u < 10 ? 1 : u < 100 ? 2 : u < 1000 ? 3 : u < 10000 ? 4 : u < 100000 ? 5
                 : u < 1000000 ? 6 : u < 10000000 ? 7 : 8;
    char* end = out + digits;
    char* p = end;
    while (u >= 100) {
        p -= 2;
        std::memcpy(p, kPairs + 2 * (u % 100), 2);
        u /= 100;
    }
    if (u >= 10) {
        std::memcpy(p - 2, kPairs + 2 * u, 2);
    } else {
        p[-1] = char('0' + u);
    }
    return end;
}

bool isRendererName(const char* name) {
    return std::strcmp(name, "rendrib") == 0 || std::strcmp(name, "rgl") == 0 ||
           std::strcmp(name, "prman") == 0;
}

// Most significant byte first, whatever the machine's own order.
void putBigEndian(unsigned char* out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(v >> (8 * (bytes - 1 - i)));
}

void putBig32(unsigned char* out, uint32_t v) {
    out[0] = static_cast<unsigned char>(v >> 24);
    out[1] = static_cast<unsigned char>(v >> 16);
    out[2] = static_cast<unsigned char>(v >> 8);
    out[3] = static_cast<unsigned char>(v);
}

uint32_t floatBits(RtFloat v) {
    uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// An integer token at out; returns its length. Non-negative values take the
// fewest bytes that leave the top bit clear, so that readers that take short
// integers as unsigned and those that take them as signed read the same
// value; negative ones always take four bytes, where both agree.
// Always stores five bytes at out (room the callers keep), of which the
// token is the first 1 + bytes.
inline size_t encodeInt(unsigned char* out, int32_t v) {
    int bytes = v < 0 ? 4 : v < 0x80 ? 1 : v < 0x8000 ? 2 : v < 0x800000 ? 3 : 4;
    out[0] = static_cast<unsigned char>(kEncodedInt + bytes - 1);
    putBig32(out + 1, uint32_t(v) << (8 * (4 - bytes)));
    return size_t(1 + bytes);
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

// Writes n values, each of at most `width` bytes as put(at, i) makes them,
// straight into the stream's buffer a batch at a time rather than a few
// bytes per call. A stream with no buffer (plain standard output) takes them
// one by one.
template <class Put>
void writeEach(RibWriter& w, RtInt n, size_t width, Put put) {
    constexpr RtInt kBatch = 256;
    for (RtInt i = 0; i < n;) {
        RtInt end = n - i < kBatch ? n : i + kBatch;
        char* at = w.outputStream ? w.outputStream->room(size_t(end - i) * width) : nullptr;
        if (!at) {
            char one[32];
            w.WriteBytes(one, size_t(put(one, i++) - one));
            continue;
        }
        for (; i < end; ++i) at = put(at, i);
        w.outputStream->commit(at);
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
    if (!settings.apply(n, tokens, values)) lastError = RIE_RANGE;
    binaryOutput = settings.binary;
    precision = settings.precision;
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
    if (binaryOutput == kCompleteBinary) {
        WriteEncodedInt(v);
    } else {
        WriteTextInt(v);
    }
}

void RibWriter::WriteTextInt(long v) {
    if (outputStream) {
        if (char* at = outputStream->room(24)) {
            outputStream->commit(std::to_chars(at, at + 24, v).ptr);
            return;
        }
    }
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, v).ptr;
    WriteBytes(text, size_t(end - text));
}

bool RibWriter::SetPrecision(int digits) {
    if (digits < 1 || digits > 9) {
        std::string message =
            "\"precision\" of " + std::to_string(digits) + ": 1 to 9 significant digits";
        Report(RIE_RANGE, RIE_ERROR, message.c_str());
        return false;
    }
    precision = digits;
    return true;
}

bool RibWriter::CodeTable::find(std::string_view text, uint32_t& code) const {
    auto found = codes.find(text);
    if (found == codes.end()) return false;
    code = found->second;
    return true;
}

uint32_t RibWriter::CodeTable::add(std::string_view text) {
    // The key must outlive the caller's text: it views the table's own copy.
    texts.emplace_back(text);
    uint32_t code = uint32_t(codes.size());
    codes.emplace(std::string_view(texts.back()), code);
    return code;
}

void RibWriter::WriteRequest(const char* keyword) {
    if (binaryOutput != kCompleteBinary) {
        WriteText(keyword);
        return;
    }
    std::string_view name(keyword ? keyword : "");
    uint32_t code;
    if (!requestCodes.find(name, code)) {
        // Only a writer's own subclass can name this many requests; the
        // rest go out as text, which readers of the encoding also accept.
        if (requestCodes.codes.size() >= kRequestCodes) {
            WriteText(keyword);
            WriteChar(' ');
            return;
        }
        code = requestCodes.add(name);
        unsigned char definition[2] = {kDefineRequest, static_cast<unsigned char>(code)};
        WriteBytes(definition, 2);
        WriteStringToken(name);
    }
    unsigned char request[2] = {kEncodedRequest, static_cast<unsigned char>(code)};
    WriteBytes(request, 2);
}

void RibWriter::WriteStringToken(std::string_view text) {
    // No length field holds more than 32 bits.
    size_t length = std::min<size_t>(text.size(), 0xffffffffu);
    unsigned char header[5];
    size_t headerBytes = 1;
    if (length < 16) {
        header[0] = static_cast<unsigned char>(kEncodedString + length);
    } else {
        int bytes = length < 0x100 ? 1 : length < 0x10000 ? 2 : length < 0x1000000 ? 3 : 4;
        header[0] = static_cast<unsigned char>(kEncodedLongString + bytes - 1);
        putBigEndian(header + 1, uint32_t(length), bytes);
        headerBytes += size_t(bytes);
    }
    WriteBytes(header, headerBytes);
    WriteBytes(text.data(), length);
}

void RibWriter::WriteEncodedString(const char* s) {
    std::string_view text(s ? s : "");
    uint32_t code;
    if (!stringCodes.find(text, code)) {
        if (stringCodes.codes.size() >= kStringCodes) {
            WriteStringToken(text);
            return;
        }
        code = stringCodes.add(text);
        unsigned char definition[3] = {kDefineString, static_cast<unsigned char>(code)};
        if (code > 0xff) {
            definition[0] = kDefineString + 1;
            putBigEndian(definition + 1, code, 2);
        }
        WriteBytes(definition, code > 0xff ? 3 : 2);
        WriteStringToken(text);
    }
    unsigned char reference[3] = {kStringReference, static_cast<unsigned char>(code)};
    if (code > 0xff) {
        reference[0] = kStringReference + 1;
        putBigEndian(reference + 1, code, 2);
    }
    WriteBytes(reference, code > 0xff ? 3 : 2);
}

void RibWriter::WriteEncodedInt(long v) {
    unsigned char bytes[9];
    if (v >= INT32_MIN && v <= INT32_MAX) {
        WriteBytes(bytes, encodeInt(bytes, int32_t(v)));
        return;
    }
    // No integer token holds it: the double keeps it exactly up to 2^53.
    double d = double(v);
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    bytes[0] = kBinaryDouble;
    putBig32(bytes + 1, uint32_t(bits >> 32));
    putBig32(bytes + 5, uint32_t(bits));
    WriteBytes(bytes, 9);
}

void RibWriter::WriteEncodedFloat(float v) {
    unsigned char bytes[5] = {kBinaryFloat};
    putBig32(bytes + 1, floatBits(v));
    WriteBytes(bytes, sizeof bytes);
}

void RibWriter::WriteTextG(double v) {
    if (outputStream) {
        if (char* at = outputStream->room(32)) {
            outputStream->commit(formatGeneral(at, v, precision));
            return;
        }
    }
    char text[32];
    char* end = formatGeneral(text, v, precision);
    WriteBytes(text, size_t(end - text));
}

void RibWriter::WriteG(double v) {
    if (binaryOutput == kCompleteBinary) {
        WriteEncodedFloat(RtFloat(v));
    } else {
        WriteTextG(v);
    }
}

void RibWriter::WriteFixed(double v) {
    if (binaryOutput == kCompleteBinary) {
        WriteEncodedFloat(RtFloat(v));
        return;
    }
    // Six decimals lose small numbers altogether; a caller who asks for
    // other than the default digits gets them here as everywhere else.
    if (precision != 6) {
        WriteTextG(v);
        return;
    }
    // Room for the largest double in fixed notation.
    char text[400];
    char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, 6).ptr;
    WriteBytes(text, size_t(end - text));
}

void RibWriter::WriteQuoted(const char* s) {
    if (binaryOutput == kCompleteBinary) {
        WriteEncodedString(s);
        return;
    }
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
        WriteEncodedFloat(v);
    } else {
        WriteTextG(v);
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
        writeEach(*this, n, 4, [&](char* at, RtInt i) {
            putBig32(reinterpret_cast<unsigned char*>(at), floatBits(values[i]));
            return at + 4;
        });
        return;
    }
    WriteChar('[');
    writeEach(*this, n, kFloatChars + 1, [&](char* at, RtInt i) {
        if (i > 0) *at++ = ' ';
        return formatFloat(at, values[i], precision);
    });
    WriteChar(']');
}

void RibWriter::WriteEncodedIntArray(const RtInt* values, RtInt n) {
    // No array token holds integers: '[', each integer token, ']'.
    WriteChar('[');
    writeEach(*this, n, 5, [&](char* at, RtInt i) {
        return at + encodeInt(reinterpret_cast<unsigned char*>(at), values[i]);
    });
    WriteChar(']');
}

void RibWriter::WriteIntArray(const RtInt* values, RtInt n) {
    if (binaryOutput == kCompleteBinary) {
        WriteEncodedIntArray(values, n);
        return;
    }
    WriteChar('[');
    writeEach(*this, n, 12, [&](char* at, RtInt i) {
        at = writeDecimal(at, values[i]);
        *at++ = ' ';
        return at;
    });
    WriteChar(']');
}

void RibWriter::WriteStrings(const RtString* texts, RtInt n, bool blankAfterEach) {
    WriteChar('[');
    for (RtInt i = 0; i < n; ++i) {
        if (i > 0 && !blankAfterEach) WriteSpace();
        WriteQuoted(texts[i]);
        if (blankAfterEach) WriteSpace();
    }
    WriteChar(']');
}

void RibWriter::WriteStringArray(const RtString* texts, RtInt n) {
    WriteStrings(texts, n, true);
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
        case kTypeString:
            WriteStrings(static_cast<const RtString*>(value), elements, false);
            break;
        default:  // mpoint and no type: the token alone
            break;
    }
}

void RibWriter::WriteParams(RtToken name, RtInt handle, RtInt n, const RtToken tokens[],
                            const RtPointer values[]) {
    if (name) {
        WriteSpace();
        WriteQuoted(name);
    }
    if (handle > 0) {
        WriteSpace();
        WriteInt(handle);
    }
    for (RtInt i = 0; i < n; ++i) {
        const Declaration* d = declarations->find(tokens[i]);
        if (!d) {
            Report(RIE_BADTOKEN, RIE_ERROR, quotedMessage("undeclared parameter ", tokens[i]).c_str());
            continue;
        }
        WriteSpace();
        WriteQuoted(tokens[i]);
        WriteSpace();
        WriteParamValues(clampedCount(d->arraySize), d->type, values[i]);
    }
    EndRequest();
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
        WriteSpace();
        WriteQuoted(tokens[i]);
        WriteSpace();
        WriteParamValues(clampedCount(elements), d->type, values[i]);
    }
    EndRequest();
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
    WriteRequest("FrameBegin");
    WriteSpace();
    WriteInt(frame);
    EndRequest();
    SaveState(true);
}

void RibWriter::FrameEnd() {
    WriteRequest("FrameEnd");
    EndRequest();
    RestoreState();
}

void RibWriter::WorldBegin() {
    WriteRequest("WorldBegin");
    EndRequest();
    SaveState(false);
}

void RibWriter::WorldEnd() {
    WriteRequest("WorldEnd");
    EndRequest();
    RestoreState();
    Flush();
}

void RibWriter::AttributeBegin() {
    WriteRequest("AttributeBegin");
    EndRequest();
    SaveState(false);
}

void RibWriter::AttributeEnd() {
    WriteRequest("AttributeEnd");
    EndRequest();
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
    const char* name = handler == RiErrorIgnore  ? "ignore"
                       : handler == RiErrorPrint ? "print"
                       : handler == RiErrorAbort ? "abort"
                                                 : nullptr;
    // The caller's own routine has no name a renderer could know.
    if (!name) return;
    WriteRequest("ErrorHandler");
    WriteSpace();
    WriteQuoted(name);
    EndRequest();
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
    WriteRequest("Declare");
    WriteSpace();
    WriteQuoted(name);
    WriteSpace();
    WriteQuoted(declaration);
    EndRequest();
    RtToken token = declarations->declare(name, parsed);
    // The process-wide table follows every writer's declarations, for
    // programs that look them up; no writer reads it.
    parseDeclaration(name, declaration, nullptr, 0);
    return token;
}
