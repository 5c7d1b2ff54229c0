// Token declarations: the type and storage class of every parameter name.
// Each writer owns its declarations (a Declarations value); the process-wide
// functions at the end keep tokenTable, which records every declaration made
// by any writer or through them, for programs that look declarations up.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "rib/ri.h"
#include "rib/internal/symtab.h"

namespace duzozo {

// Type codes.
constexpr int kTypeNone = 0;
constexpr int kTypeFloat = 1;
constexpr int kTypePoint = 2;
constexpr int kTypeColor = 3;
constexpr int kTypeString = 4;
constexpr int kTypeInteger = 5;
constexpr int kTypeVector = 6;
constexpr int kTypeNormal = 7;
constexpr int kTypeHpoint = 8;
constexpr int kTypeMatrix = 9;
constexpr int kTypeMpoint = 16;

// Storage class codes.
constexpr int kClassConstant = 1;
constexpr int kClassUniform = 2;
constexpr int kClassVarying = 3;
constexpr int kClassVertex = 4;
// One value per vertex of each face: the face vertex count of polygons and
// subdivision meshes, the varying count of every other primitive.
constexpr int kClassFaceVarying = 5;

// The name of a type or storage class code ("" for an unknown code).
const char* declarationTypeName(int type);
const char* storageClassName(int storageClass);
// Bytes of one element of the type (a string is one text pointer).
int declarationTypeBytes(int type);
// Values written per element of the type (a string counts 1; mpoint 0).
int declarationTypeFloats(int type);

// Room formatDeclaration needs for its output.
constexpr int kDeclarationTextSize = 64;

// A declaration text taken apart: "[class] [type] [\[size\]]".
struct ParsedDeclaration {
    int storageClass;
    int type;
    int arraySize;
};
ParsedDeclaration parseDeclarationText(const char* text);

// What one writer knows of one token.
struct Declaration {
    const char* token;  // the interned bare name
    int8_t type;
    int8_t storageClass;
    int32_t arraySize;
};

// The declarations of one writer: the standard ones to start with, then those
// its Declare requests and its inline-declared tokens add. A plain value:
// nothing but its owner reads or changes it, so writers never see each
// other's declarations, on one thread or on many.
class Declarations {
  public:
    // The standard declarations.
    Declarations();

    // The declaration of a token, declaring an inline-declared token such as
    // "uniform color tint" on its first use; null for an undeclared token.
    const Declaration* find(const char* token);
    // Records (or changes) the declaration of name; returns the interned name.
    const char* declare(const char* name, const ParsedDeclaration& parsed);
    // Puts every standard declaration back as it was at the start.
    void restoreStandard();

  private:
    struct Standard {};
    explicit Declarations(Standard);
    static const Declarations& standard();

    // Keyed by the bare name (Declare) or the whole inline text; keys point
    // at interned texts, which live as long as the process.
    std::unordered_map<std::string_view, Declaration> byKey;
};

// The standard declarations in their table's order, as (name, declaration)
// texts; names without a declaration are left out.
struct StandardDeclaration {
    const char* name;
    const char* declaration;
};
extern const StandardDeclaration kStandardDeclarations[];
extern const int kStandardDeclarationCount;

}  // namespace duzozo

// Keyed by the bare token name (Declare) or by the whole inline text; token
// is always the interned bare name.
struct TokenDeclaration : SymbolEntry {
    TokenDeclaration(const char* key, const char* bareToken, int typeCode, int classCode, int size)
        : SymbolEntry(key),
          token(bareToken),
          type(int8_t(typeCode)),
          storageClass(int8_t(classCode)),
          arraySize(size) {}

    const char* token;
    int8_t type;
    int8_t storageClass;
    // Full width: a large array declaration must not wrap into a small or
    // negative size and lose the caller's values.
    int32_t arraySize;
};

// The process-wide declarations, kept in tokenTable; each call holds the
// table's lock, so any thread may make them. A writer never reads them.
//
// Parses "[class] [type] [\[size\]]" and records it for name, or updates the
// existing declaration unless skipLookup is set. Returns the interned name.
const char* parseDeclaration(const char* name, const char* declaration, const char* key,
                             int skipLookup);
// The declaration of a token, declaring an inline-declared token such as
// "uniform color tint" on first use; null for an undeclared token.
TokenDeclaration* lookupDeclaration(const char* token);
// Number of leading characters of text that are declaration words.
int inlineDeclarationLength(const char* text);
// Writes "class type" and "[size]" (size above 1) or "[]" (size below 0).
// output must hold duzozo::kDeclarationTextSize bytes.
void formatDeclaration(char* output, int storageClass, int type, int arraySize);
// Array size times bytes per element; 0 for an undeclared token.
int declarationByteSize(const char* token);
