#include "rib/internal/declarations.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <mutex>

#include "rib/ribwriter.h"

// The standard token variables hold their own texts for good: the string
// pool takes these very texts as its copies of the names, so that interning
// a standard name gives the variable's pointer and nothing ever rewrites them.
#define DUZOZO_TOKEN(variable, name, declaration) RtToken variable = name;
#define DUZOZO_DECLARED(name, declaration)
#define DUZOZO_NAME(variable, name) RtToken variable = name;
#include "rib/standardtokens.h"

namespace duzozo {

namespace {

struct Word {
    const char* text;
    int code;
};

// Tried in this order as plain prefixes, so "int" must follow "integer".
const Word kClassWords[] = {
    {"uniform", kClassUniform},
    {"varying", kClassVarying},
    {"vertex", kClassVertex},
    {"constant", kClassConstant},
    {"facevarying", kClassFaceVarying},
};
const Word kTypeWords[] = {
    {"float", kTypeFloat},   {"integer", kTypeInteger}, {"int", kTypeInteger},
    {"point", kTypePoint},   {"color", kTypeColor},     {"string", kTypeString},
    {"vector", kTypeVector}, {"normal", kTypeNormal},   {"hpoint", kTypeHpoint},
    {"matrix", kTypeMatrix}, {"mpoint", kTypeMpoint},
};
// Each tried once, in this order, when measuring an inline declaration.
const char* const kInlineWords[] = {"constant", "uniform", "varying", "vertex", "facevarying",
                                    "float",    "integer", "int",     "point",  "vector",
                                    "normal",   "hpoint",  "color",   "string", "matrix",
                                    "mpoint"};

bool startsWith(const char* text, const char* word) {
    return std::strncmp(text, word, std::strlen(word)) == 0;
}

// Declarations part their words with blanks or tabs.
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

const char* skipSpaces(const char* p) {
    while (isBlank(*p)) ++p;
    return p;
}

// The decimal size after "[" (0 for no number), held to the range of int: a
// size too large to convert must not be undefined behaviour.
int arraySizeAt(const char* text) {
    long long size = std::strtoll(text, nullptr, 10);
    if (size > INT_MAX) return INT_MAX;
    if (size < INT_MIN) return INT_MIN;
    return int(size);
}

}  // namespace

const StandardDeclaration kStandardDeclarations[] = {
#define DUZOZO_TOKEN(variable, name, declaration) {name, declaration},
#define DUZOZO_DECLARED(name, declaration) {name, declaration},
#define DUZOZO_NAME(variable, name)
#include "rib/standardtokens.h"
};
const int kStandardDeclarationCount =
    int(sizeof kStandardDeclarations / sizeof kStandardDeclarations[0]);

ParsedDeclaration parseDeclarationText(const char* declaration) {
    const char* p = skipSpaces(declaration ? declaration : "");
    ParsedDeclaration parsed = {kClassUniform, kTypeNone, 1};
    for (const Word& w : kClassWords) {
        if (startsWith(p, w.text)) {
            parsed.storageClass = w.code;
            p += std::strlen(w.text);
            break;
        }
    }
    p = skipSpaces(p);
    for (const Word& w : kTypeWords) {
        if (startsWith(p, w.text)) {
            parsed.type = w.code;
            p += std::strlen(w.text);
            break;
        }
    }
    p = skipSpaces(p);
    if (*p == '[') parsed.arraySize = arraySizeAt(p + 1);
    return parsed;
}

Declarations::Declarations() : byKey(standard().byKey) {}

Declarations::Declarations(Standard) {
    for (int i = 0; i < kStandardDeclarationCount; ++i) {
        declare(kStandardDeclarations[i].name,
                parseDeclarationText(kStandardDeclarations[i].declaration));
    }
}

const Declarations& Declarations::standard() {
    // Built once, by whichever thread comes first; never changed after.
    static const Declarations table{Standard{}};
    return table;
}

void Declarations::restoreStandard() {
    for (const auto& entry : standard().byKey) byKey[entry.first] = entry.second;
}

const Declaration* Declarations::find(const char* token) {
    if (!token) return nullptr;
    const char* whole = skipSpaces(token);
    auto found = byKey.find(std::string_view(whole));
    if (found != byKey.end()) return &found->second;
    int length = inlineDeclarationLength(whole);
    if (length == 0) return nullptr;
    // However long the declaration words are, they are taken whole.
    ParsedDeclaration parsed = parseDeclarationText(std::string(whole, size_t(length)).c_str());
    Declaration d = {internString(skipSpaces(whole + length)), int8_t(parsed.type),
                     int8_t(parsed.storageClass), parsed.arraySize};
    return &byKey.emplace(internString(whole), d).first->second;
}

const char* Declarations::declare(const char* name, const ParsedDeclaration& parsed) {
    // A name that reads as an inline declaration changes that declaration,
    // as it would in the process-wide table.
    if (const Declaration* known = find(name)) {
        Declaration& d = const_cast<Declaration&>(*known);
        d.type = int8_t(parsed.type);
        d.storageClass = int8_t(parsed.storageClass);
        d.arraySize = parsed.arraySize;
        return d.token;
    }
    const char* token = internString(name ? name : "");
    byKey[token] = {token, int8_t(parsed.type), int8_t(parsed.storageClass), parsed.arraySize};
    return token;
}

const char* declarationTypeName(int type) {
    for (const Word& w : kTypeWords) {
        if (w.code == type && w.text[3] != '\0') return w.text;  // "integer", not "int"
    }
    return "";
}

const char* storageClassName(int storageClass) {
    for (const Word& w : kClassWords) {
        if (w.code == storageClass) return w.text;
    }
    return "";
}

int declarationTypeBytes(int type) {
    switch (type) {
        case kTypeFloat:
        case kTypeInteger:
            return 4;
        case kTypePoint:
        case kTypeColor:
        case kTypeVector:
        case kTypeNormal:
            return 12;
        case kTypeString:
            return int(sizeof(char*));
        case kTypeHpoint:
            return 16;
        case kTypeMatrix:
        case kTypeMpoint:
            return 64;
        default:
            return 0;
    }
}

int declarationTypeFloats(int type) {
    switch (type) {
        case kTypeFloat:
        case kTypeInteger:
        case kTypeString:
            return 1;
        case kTypePoint:
        case kTypeColor:
        case kTypeVector:
        case kTypeNormal:
            return 3;
        case kTypeHpoint:
            return 4;
        case kTypeMatrix:
            return 16;
        default:
            return 0;
    }
}

}  // namespace duzozo

using namespace duzozo;

namespace {

// One lock for the process-wide table: the public functions below call one
// another, so it may be taken again by the thread that holds it.
std::recursive_mutex tokenTableLock;

// The process-wide table starts with the standard declarations, as a
// program with one writer has always found it.
void seedTokenTable() {
    static bool seeded = false;
    if (seeded) return;
    seeded = true;
    for (int i = 0; i < kStandardDeclarationCount; ++i) {
        parseDeclaration(kStandardDeclarations[i].name, kStandardDeclarations[i].declaration,
                         nullptr, 0);
    }
}

}  // namespace

const char* parseDeclaration(const char* name, const char* declaration, const char* key,
                             int skipLookup) {
    std::lock_guard<std::recursive_mutex> hold(tokenTableLock);
    seedTokenTable();
    ParsedDeclaration parsed = parseDeclarationText(declaration);
    if (!skipLookup) {
        if (TokenDeclaration* existing = lookupDeclaration(name)) {
            existing->type = int8_t(parsed.type);
            existing->storageClass = int8_t(parsed.storageClass);
            existing->arraySize = parsed.arraySize;
            return existing->token;
        }
    }
    const char* token = internString(name ? name : "");
    const char* entryKey = key ? internString(key) : token;
    TokenDeclaration* d = new TokenDeclaration(entryKey, token, parsed.type,
                                               parsed.storageClass, parsed.arraySize);
    if (tokenTable.insert(d, 0)) delete d;  // an equal key is already there and stays
    return token;
}

int inlineDeclarationLength(const char* text) {
    if (!text) return 0;
    size_t position = 0;
    for (const char* word : kInlineWords) {
        size_t length = std::strlen(word);
        if (std::strncmp(text + position, word, length) != 0) continue;
        char after = text[position + length];
        if (!isBlank(after) && after != '[') continue;
        position = size_t(skipSpaces(text + position + length) - text);
        // The array size may stand apart from its type: "float [3] k".
        if (text[position] == '[') {
            const char* close = std::strchr(text + position, ']');
            position = close ? size_t(close - text) + 1 : std::strlen(text);
            position = size_t(skipSpaces(text + position) - text);
        }
    }
    return int(position);
}

TokenDeclaration* lookupDeclaration(const char* token) {
    if (!token) return nullptr;
    std::lock_guard<std::recursive_mutex> hold(tokenTableLock);
    seedTokenTable();
    const char* whole = skipSpaces(token);
    if (SymbolEntry* found = tokenTable.lookup(whole)) return static_cast<TokenDeclaration*>(found);
    int length = inlineDeclarationLength(whole);
    if (length == 0) return nullptr;
    // However long the declaration words are, they are taken whole.
    std::string words(whole, size_t(length));
    const char* name = skipSpaces(whole + length);
    parseDeclaration(name, words.c_str(), whole, 1);
    return static_cast<TokenDeclaration*>(tokenTable.lookup(whole));
}

void formatDeclaration(char* output, int storageClass, int type, int arraySize) {
    int n = std::snprintf(output, kDeclarationTextSize, "%s %s", storageClassName(storageClass),
                          declarationTypeName(type));
    char* rest = output + n;
    size_t room = size_t(kDeclarationTextSize - n);
    if (arraySize > 1) {
        std::snprintf(rest, room, "[%d]", arraySize);
    } else if (arraySize < 0) {
        std::snprintf(rest, room, "[]");
    }
}

int declarationByteSize(const char* token) {
    std::lock_guard<std::recursive_mutex> hold(tokenTableLock);
    TokenDeclaration* d = lookupDeclaration(token);
    if (!d) return 0;
    long long bytes = 1LL * d->arraySize * declarationTypeBytes(d->type);
    if (bytes > INT_MAX) return INT_MAX;
    if (bytes < INT_MIN) return INT_MIN;
    return int(bytes);
}

void predeclareTokens(RibWriter* writer) {
    if (writer) writer->declarations->restoreStandard();
    std::lock_guard<std::recursive_mutex> hold(tokenTableLock);
    seedTokenTable();
    for (int i = 0; i < kStandardDeclarationCount; ++i) {
        parseDeclaration(kStandardDeclarations[i].name, kStandardDeclarations[i].declaration,
                         nullptr, 0);
    }
}
