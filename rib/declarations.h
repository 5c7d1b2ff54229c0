// Token declarations: the type and storage class of every parameter name,
// kept in tokenTable, and the standard token names.
#pragma once

#include <cstdint>

#include "rib/ri.h"
#include "rib/symtab.h"

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

// The standard token names. Each starts as a literal and becomes the
// interned copy once a writer has made the standard declarations.
extern RtToken RI_INTENSITY;
extern RtToken RI_LIGHTCOLOR;
extern RtToken RI_FROM;
extern RtToken RI_TO;
extern RtToken RI_CONEANGLE;
extern RtToken RI_CONEDELTAANGLE;
extern RtToken RI_BEAMDISTRIBUTION;
extern RtToken RI_KA;
extern RtToken RI_KD;
extern RtToken RI_KS;
extern RtToken RI_KR;
extern RtToken RI_ROUGHNESS;
extern RtToken RI_TEXTURENAME;
extern RtToken RI_SPECULARCOLOR;
extern RtToken RI_MINDISTANCE;
extern RtToken RI_MAXDISTANCE;
extern RtToken RI_BACKGROUND;
extern RtToken RI_DISTANCE;
extern RtToken RI_AMPLITUDE;
extern RtToken RI_RGB;
extern RtToken RI_N;
extern RtToken RI_NP;
extern RtToken RI_P;
extern RtToken RI_PZ;
extern RtToken RI_PW;
extern RtToken RI_CS;
extern RtToken RI_OS;
extern RtToken RI_S;
extern RtToken RI_T;
extern RtToken RI_ST;
extern RtToken RI_FOV;
extern RtToken RI_WIDTH;
extern RtToken RI_CONSTANTWIDTH;
extern RtToken RI_SHADER;
extern RtToken RI_NONDIFFUSE;
extern RtToken RI_NONSPECULAR;
extern RtToken RI_BOX;
extern RtToken RI_CATMULLROM;
extern RtToken RI_GAUSSIAN;
extern RtToken RI_TRIANGLE;
extern RtToken RI_SINC;
extern RtToken RI_FILTER;
extern RtToken RI_SWIDTH;
extern RtToken RI_TWIDTH;
extern RtToken RI_FILL;
extern RtToken RI_FIDELITY;
extern RtToken RI_SAMPLES;
extern RtToken RI_BLUR;
extern RtToken RI_SBLUR;
extern RtToken RI_TBLUR;
extern RtToken RI_BIAS;
extern RtToken RI_LERP;
extern RtToken RI_GAPBIAS;
extern RtToken RI_GAPOPT;
extern RtToken RI_SOURCE;
extern RtToken RI_REFBLUR;
extern RtToken RI_SREFBLUR;
extern RtToken RI_TREFBLUR;
extern RtToken RI_IGNOREABOVE;
extern RtToken RI_BILINEAR;
extern RtToken RI_BICUBIC;
extern RtToken RI_LINEAR;
extern RtToken RI_CUBIC;
extern RtToken RI_COMMENT;
extern RtToken RI_STRUCTURE;
extern RtToken RI_VERBATIM;
extern RtToken RI_IDENTIFIER;
extern RtToken RI_NAME;
extern RtToken RI_IGNORE;
extern RtToken RI_PRINT;
extern RtToken RI_ABORT;
extern RtToken RI_HANDLER;
extern RtToken RI_CONSTANT;
extern RtToken RI_SMOOTH;
extern RtToken RI_HIDDEN;
extern RtToken RI_PAINT;
extern RtToken RI_INSIDE;
extern RtToken RI_OUTSIDE;
extern RtToken RI_LH;
extern RtToken RI_RH;
extern RtToken RI_PERIODIC;
extern RtToken RI_NONPERIODIC;
extern RtToken RI_CLAMP;
extern RtToken RI_BLACK;
extern RtToken RI_PRIMITIVE;
extern RtToken RI_INTERSECTION;
extern RtToken RI_UNION;
extern RtToken RI_DIFFERENCE;
extern RtToken RI_PERSPECTIVE;
extern RtToken RI_ORTHOGRAPHIC;
extern RtToken RI_HOLE;
extern RtToken RI_CREASE;
extern RtToken RI_CORNER;
extern RtToken RI_INTERPOLATEBOUNDARY;
extern RtToken RI_RASTER;
extern RtToken RI_SCREEN;
extern RtToken RI_NDC;
extern RtToken RI_CAMERA;
extern RtToken RI_EYE;
extern RtToken RI_WORLD;
extern RtToken RI_CURRENT;
extern RtToken RI_OBJECT;
extern RtToken RI_CATEGORY;
extern RtToken RI_PRIVATE_W;