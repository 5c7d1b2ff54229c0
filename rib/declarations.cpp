#include "rib/declarations.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rib/ribwriter.h"

RtToken RI_INTENSITY = "intensity";
RtToken RI_LIGHTCOLOR = "lightcolor";
RtToken RI_FROM = "from";
RtToken RI_TO = "to";
RtToken RI_CONEANGLE = "coneangle";
RtToken RI_CONEDELTAANGLE = "conedeltaangle";
RtToken RI_BEAMDISTRIBUTION = "beamdistribution";
RtToken RI_KA = "Ka";
RtToken RI_KD = "Kd";
RtToken RI_KS = "Ks";
RtToken RI_KR = "Kr";
RtToken RI_ROUGHNESS = "roughness";
RtToken RI_TEXTURENAME = "texturename";
RtToken RI_SPECULARCOLOR = "specularcolor";
RtToken RI_MINDISTANCE = "mindistance";
RtToken RI_MAXDISTANCE = "maxdistance";
RtToken RI_BACKGROUND = "background";
RtToken RI_DISTANCE = "distance";
RtToken RI_AMPLITUDE = "amplitude";
RtToken RI_RGB = "rgb";
RtToken RI_N = "N";
RtToken RI_NP = "Np";
RtToken RI_P = "P";
RtToken RI_PZ = "Pz";
RtToken RI_PW = "Pw";
RtToken RI_CS = "Cs";
RtToken RI_OS = "Os";
RtToken RI_S = "s";
RtToken RI_T = "t";
RtToken RI_ST = "st";
RtToken RI_FOV = "fov";
RtToken RI_WIDTH = "width";
RtToken RI_CONSTANTWIDTH = "constantwidth";
RtToken RI_SHADER = "shader";
RtToken RI_NONDIFFUSE = "__nondiffuse";
RtToken RI_NONSPECULAR = "__nonspecular";
RtToken RI_BOX = "box";
RtToken RI_CATMULLROM = "catmull-rom";
RtToken RI_GAUSSIAN = "gaussian";
RtToken RI_TRIANGLE = "triangle";
RtToken RI_SINC = "sinc";
RtToken RI_FILTER = "filter";
RtToken RI_SWIDTH = "swidth";
RtToken RI_TWIDTH = "twidth";
RtToken RI_FILL = "fill";
RtToken RI_FIDELITY = "fidelity";
RtToken RI_SAMPLES = "samples";
RtToken RI_BLUR = "blur";
RtToken RI_SBLUR = "sblur";
RtToken RI_TBLUR = "tblur";
RtToken RI_BIAS = "bias";
RtToken RI_LERP = "lerp";
RtToken RI_GAPBIAS = "gapbias";
RtToken RI_GAPOPT = "gapopt";
RtToken RI_SOURCE = "source";
RtToken RI_REFBLUR = "refblur";
RtToken RI_SREFBLUR = "srefblur";
RtToken RI_TREFBLUR = "trefblur";
RtToken RI_IGNOREABOVE = "ignoreabove";
RtToken RI_BILINEAR = "bilinear";
RtToken RI_BICUBIC = "bicubic";
RtToken RI_LINEAR = "linear";
RtToken RI_CUBIC = "cubic";
RtToken RI_COMMENT = "comment";
RtToken RI_STRUCTURE = "structure";
RtToken RI_VERBATIM = "verbatim";
RtToken RI_IDENTIFIER = "identifier";
RtToken RI_NAME = "name";
RtToken RI_IGNORE = "ignore";
RtToken RI_PRINT = "print";
RtToken RI_ABORT = "abort";
RtToken RI_HANDLER = "handler";
RtToken RI_CONSTANT = "constant";
RtToken RI_SMOOTH = "smooth";
RtToken RI_HIDDEN = "hidden";
RtToken RI_PAINT = "paint";
RtToken RI_INSIDE = "inside";
RtToken RI_OUTSIDE = "outside";
RtToken RI_LH = "lh";
RtToken RI_RH = "rh";
RtToken RI_PERIODIC = "periodic";
RtToken RI_NONPERIODIC = "nonperiodic";
RtToken RI_CLAMP = "clamp";
RtToken RI_BLACK = "black";
RtToken RI_PRIMITIVE = "primitive";
RtToken RI_INTERSECTION = "intersection";
RtToken RI_UNION = "union";
RtToken RI_DIFFERENCE = "difference";
RtToken RI_PERSPECTIVE = "perspective";
RtToken RI_ORTHOGRAPHIC = "orthographic";
RtToken RI_HOLE = "hole";
RtToken RI_CREASE = "crease";
RtToken RI_CORNER = "corner";
RtToken RI_INTERPOLATEBOUNDARY = "interpolateboundary";
RtToken RI_RASTER = "raster";
RtToken RI_SCREEN = "screen";
RtToken RI_NDC = "NDC";
RtToken RI_CAMERA = "camera";
RtToken RI_EYE = "eye";
RtToken RI_WORLD = "world";
RtToken RI_CURRENT = "current";
RtToken RI_OBJECT = "object";
RtToken RI_CATEGORY = "__category";
RtToken RI_PRIVATE_W = "_$w";

// Standard names the writer does not declare.
RtToken RI_FRAMEBUFFER = "framebuffer";
RtToken RI_FILE = "file";
RtToken RI_RGBA = "rgba";
RtToken RI_RGBZ = "rgbz";
RtToken RI_RGBAZ = "rgbaz";
RtToken RI_A = "a";
RtToken RI_Z = "z";
RtToken RI_AZ = "az";
RtToken RI_FLATNESS = "flatness";
RtToken RI_AMBIENTLIGHT = "ambientlight";
RtToken RI_POINTLIGHT = "pointlight";
RtToken RI_DISTANTLIGHT = "distantlight";
RtToken RI_SPOTLIGHT = "spotlight";
RtToken RI_MATTE = "matte";
RtToken RI_METAL = "metal";
RtToken RI_SHINYMETAL = "shinymetal";
RtToken RI_PLASTIC = "plastic";
RtToken RI_PAINTEDPLASTIC = "paintedplastic";
RtToken RI_DEPTHCUE = "depthcue";
RtToken RI_FOG = "fog";
RtToken RI_BUMPY = "bumpy";
RtToken RI_WRAP = "wrap";
RtToken RI_NOWRAP = "nowrap";
RtToken RI_ORIGIN = "origin";

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
};
const Word kTypeWords[] = {
    {"float", kTypeFloat},   {"integer", kTypeInteger}, {"int", kTypeInteger},
    {"point", kTypePoint},   {"color", kTypeColor},     {"string", kTypeString},
    {"vector", kTypeVector}, {"normal", kTypeNormal},   {"hpoint", kTypeHpoint},
    {"matrix", kTypeMatrix}, {"mpoint", kTypeMpoint},
};
// Each tried once, in this order, when measuring an inline declaration.
const char* const kInlineWords[] = {"constant", "uniform", "varying", "vertex", "float",
                                    "integer",  "int",     "point",   "vector", "normal",
                                    "hpoint",   "color",   "string",  "matrix", "mpoint"};

bool startsWith(const char* text, const char* word) {
    return std::strncmp(text, word, std::strlen(word)) == 0;
}

const char* skipSpaces(const char* p) {
    while (*p == ' ') ++p;
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

struct StandardDeclaration {
    const char* name;
    const char* declaration;  // null: the name is interned, nothing declared
    RtToken* variable;        // the standard token variable, if there is one
};

// Every new writer makes these, in this order.
const StandardDeclaration kStandardDeclarations[] = {
    {"intensity", "float", &RI_INTENSITY},
    {"lightcolor", "color", &RI_LIGHTCOLOR},
    {"from", "point", &RI_FROM},
    {"to", "point", &RI_TO},
    {"coneangle", "float", &RI_CONEANGLE},
    {"conedeltaangle", "float", &RI_CONEDELTAANGLE},
    {"beamdistribution", "float", &RI_BEAMDISTRIBUTION},
    {"Ka", "float", &RI_KA},
    {"Kd", "float", &RI_KD},
    {"Ks", "float", &RI_KS},
    {"Kr", "float", &RI_KR},
    {"roughness", "float", &RI_ROUGHNESS},
    {"texturename", "string", &RI_TEXTURENAME},
    {"specularcolor", "color", &RI_SPECULARCOLOR},
    {"mindistance", "float", &RI_MINDISTANCE},
    {"maxdistance", "float", &RI_MAXDISTANCE},
    {"background", "color", &RI_BACKGROUND},
    {"distance", "float", &RI_DISTANCE},
    {"amplitude", "float", &RI_AMPLITUDE},
    {"rgb", "string", &RI_RGB},
    {"N", "varying normal", &RI_N},
    {"Np", "point", &RI_NP},
    {"P", "vertex point", &RI_P},
    {"Pz", "vertex float", &RI_PZ},
    {"Pw", "vertex hpoint", &RI_PW},
    {"Cs", "varying color", &RI_CS},
    {"Os", "varying color", &RI_OS},
    {"s", "varying float", &RI_S},
    {"t", "varying float", &RI_T},
    {"st", "varying float[2]", &RI_ST},
    {"fov", "float", &RI_FOV},
    {"width", "varying float", &RI_WIDTH},
    {"constantwidth", "constant float", &RI_CONSTANTWIDTH},
    {"look_behind", "integer", nullptr},
    {"patch_maxlevel", "integer", nullptr},
    {"patch_minlevel", "integer", nullptr},
    {"patch_splitdepth", "integer", nullptr},
    {"patch_multiplier", "float", nullptr},
    {"verbose", "integer", nullptr},
    {"maxsamples", "integer", nullptr},
    {"minsamples", "integer", nullptr},
    {"use_hierarchy", "integer", nullptr},
    {"branch_ratio", "float", nullptr},
    {"max_branch_ratio", "float", nullptr},
    {"max_raylevel", "integer", nullptr},
    {"debug", "integer", nullptr},
    {"patchsize", "float", nullptr},
    {"elemsize", "float", nullptr},
    {"minsize", "float", nullptr},
    {"has_caustics", "integer", nullptr},
    {"has_shadows", "integer", nullptr},
    {"archive", "string", nullptr},
    {"include", "string", nullptr},
    {"texture", "string", nullptr},
    {"shader", "string", &RI_SHADER},
    {"procedural", "string", nullptr},
    {"serverresource", "string", nullptr},
    {"resource", "string", nullptr},
    {"display", "string", nullptr},
    {"casts_shadows", "string", nullptr},
    {"shadows", "string", nullptr},
    {"shadowrays", "integer", nullptr},
    {"minshadowbias", "float", nullptr},
    {"maxshadowbias", "float", nullptr},
    {"zonal", "string", nullptr},
    {"averagecolor", "color", nullptr},
    {"emissioncolor", "color", nullptr},
    {"refractioncolor", "color", nullptr},
    {"refractionindex", "float", nullptr},
    {"origin", "integer[2]", nullptr},
    {"verbosity", "string", nullptr},
    {"steps", "integer", nullptr},
    {"minpatchsamples", "integer", nullptr},
    {"cache", "string", nullptr},
    {"prmanspecular", "integer", nullptr},
    {"cooktorrancespecular", "integer", nullptr},
    {"truedisplacement", "integer", nullptr},
    {"use_shadingrate", "integer", nullptr},
    {"visibility", "integer", nullptr},
    {"name", "string", nullptr},
    {"shadinggroup", "string", nullptr},
    {"displacement", "float", nullptr},
    {"gridsize", "integer", nullptr},
    {"bucketsize", "integer[2]", nullptr},
    {"algorithm", "string", nullptr},
    {"interleave", "string", nullptr},
    {"binary", "integer", nullptr},
    {"eyesplits", "integer", nullptr},
    {"jitter", "integer", nullptr},
    {"bias0", "float", nullptr},
    {"bias1", "float", nullptr},
    {"zlerp", "float", nullptr},
    {"texturememory", "integer", nullptr},
    {"geommemory", "integer", nullptr},
    {"derivmemory", "integer", nullptr},
    {"coordinatesystem", "string", nullptr},
    {"sphere", "float", nullptr},
    {"enable gaussian", "integer", nullptr},
    {"enable lerp", "integer", nullptr},
    {"disable", "integer", nullptr},
    {"automatic", "integer", nullptr},
    {"pdisc", "integer", nullptr},
    {"pdisk", "integer", nullptr},
    {"colorclamp", "float[2]", nullptr},
    {"endofframe", "integer", nullptr},
    {"profile_shaders", "integer", nullptr},
    {"merge", "integer", nullptr},
    {"sense", "string", nullptr},
    {"nsamples", "integer", nullptr},
    {"primary", "integer", nullptr},
    {"secondary", "integer", nullptr},
    {"shadow", "integer", nullptr},
    {"udivisions", "integer", nullptr},
    {"vdivisions", "integer", nullptr},
    {"windowid", "integer", nullptr},
    {"windowlocation", "int[2]", nullptr},
    {"windowdpy", "integer", nullptr},
    {"windowrc", "integer", nullptr},
    {"windowstyle", "integer", nullptr},
    {"windowvi", "integer", nullptr},
    {"windowcmap", "integer", nullptr},
    {"pickregion", "float[4]", nullptr},
    {"clearfb", "integer", nullptr},
    {"clearcolor", "color", nullptr},
    {"framebufferaddr", "string", nullptr},
    {"scanlinecallback", "string", nullptr},
    {"waitforlastframe", "integer", nullptr},
    {"doublebuffer", "integer", nullptr},
    {"dumpimage", "integer", nullptr},
    {"resolutionunit", "string", nullptr},
    {"resolution", "float[2]", nullptr},
    {"compression", "string", nullptr},
    {"zcompression", "string", nullptr},
    {"rowsperstrip", "string", nullptr},
    {"zthreshold", "color", nullptr},
    {"extremedisplacement", "integer", nullptr},
    {"backfacetolerance", "float", nullptr},
    {"doubleshaded", "integer", nullptr},
    {"transform", "matrix", nullptr},
    {"outputalldeclares", "integer", nullptr},
    {"zblur", "float[6]", nullptr},
    {"rasterorient", "integer", nullptr},
    {"subpixel", "integer", nullptr},
    {"filename", "string", nullptr},
    {"strategy", "integer", nullptr},
    {"mpcache", "integer", nullptr},
    {"mpmemory", "integer", nullptr},
    {"mpcachedir", "string", nullptr},
    {"mpcachestride", "integer", nullptr},
    {"ysplits", "integer", nullptr},
    {"timer", "integer", nullptr},
    {"opacitycull", "integer", nullptr},
    {"othreshold", "color", nullptr},
    {"hair", "integer", nullptr},
    {"minwidth", "constant float", nullptr},
    {"clampwidth", "integer", nullptr},
    {"safetyfile", "integer", nullptr},
    {"centered", "integer", nullptr},
    {"extrapolate", "integer", nullptr},
    {"curvethinning", "integer", nullptr},
    {"curvethinthreshold", "integer", nullptr},
    {"useprmandspy", "integer", nullptr},
    {"useprmannoise", "integer", nullptr},
    {"maxerror", "float", nullptr},
    {"maxpixeldist", "float", nullptr},
    {"minvalid", "integer", nullptr},
    {"interpolate", "integer", nullptr},
    {"seedfile", "string", nullptr},
    {"savefile", "string", nullptr},
    {"preseed", "integer", nullptr},
    {"resize", "string", nullptr},
    {"stitch", "integer", nullptr},
    {"maxdepth", "integer", nullptr},
    {"vpimage", "integer", nullptr},
    {"vpdepth", "integer", nullptr},
    {"enable", "integer", nullptr},
    {"newgroup", "integer", nullptr},
    {"__nondiffuse", "varying float", &RI_NONDIFFUSE},
    {"__nonspecular", "varying float", &RI_NONSPECULAR},
    {"box", nullptr, &RI_BOX},
    {"catmull-rom", nullptr, &RI_CATMULLROM},
    {"gaussian", nullptr, &RI_GAUSSIAN},
    {"triangle", nullptr, &RI_TRIANGLE},
    {"sinc", nullptr, &RI_SINC},
    {"filter", nullptr, &RI_FILTER},
    {"swidth", nullptr, &RI_SWIDTH},
    {"twidth", nullptr, &RI_TWIDTH},
    {"fill", nullptr, &RI_FILL},
    {"fidelity", nullptr, &RI_FIDELITY},
    {"samples", nullptr, &RI_SAMPLES},
    {"blur", nullptr, &RI_BLUR},
    {"sblur", nullptr, &RI_SBLUR},
    {"tblur", nullptr, &RI_TBLUR},
    {"bias", nullptr, &RI_BIAS},
    {"lerp", nullptr, &RI_LERP},
    {"gapbias", nullptr, &RI_GAPBIAS},
    {"gapopt", nullptr, &RI_GAPOPT},
    {"source", nullptr, &RI_SOURCE},
    {"refblur", nullptr, &RI_REFBLUR},
    {"srefblur", nullptr, &RI_SREFBLUR},
    {"trefblur", nullptr, &RI_TREFBLUR},
    {"ignoreabove", nullptr, &RI_IGNOREABOVE},
    {"bilinear", nullptr, &RI_BILINEAR},
    {"bicubic", nullptr, &RI_BICUBIC},
    {"linear", nullptr, &RI_LINEAR},
    {"cubic", nullptr, &RI_CUBIC},
    {"comment", nullptr, &RI_COMMENT},
    {"structure", nullptr, &RI_STRUCTURE},
    {"verbatim", nullptr, &RI_VERBATIM},
    {"identifier", nullptr, &RI_IDENTIFIER},
    {"name", nullptr, &RI_NAME},
    {"ignore", nullptr, &RI_IGNORE},
    {"print", nullptr, &RI_PRINT},
    {"abort", nullptr, &RI_ABORT},
    {"handler", nullptr, &RI_HANDLER},
    {"constant", nullptr, &RI_CONSTANT},
    {"smooth", nullptr, &RI_SMOOTH},
    {"hidden", nullptr, &RI_HIDDEN},
    {"paint", nullptr, &RI_PAINT},
    {"inside", nullptr, &RI_INSIDE},
    {"outside", nullptr, &RI_OUTSIDE},
    {"lh", nullptr, &RI_LH},
    {"rh", nullptr, &RI_RH},
    {"periodic", nullptr, &RI_PERIODIC},
    {"nonperiodic", nullptr, &RI_NONPERIODIC},
    {"clamp", nullptr, &RI_CLAMP},
    {"black", nullptr, &RI_BLACK},
    {"primitive", nullptr, &RI_PRIMITIVE},
    {"intersection", nullptr, &RI_INTERSECTION},
    {"union", nullptr, &RI_UNION},
    {"difference", nullptr, &RI_DIFFERENCE},
    {"perspective", nullptr, &RI_PERSPECTIVE},
    {"orthographic", nullptr, &RI_ORTHOGRAPHIC},
    {"hole", nullptr, &RI_HOLE},
    {"crease", nullptr, &RI_CREASE},
    {"corner", nullptr, &RI_CORNER},
    {"interpolateboundary", nullptr, &RI_INTERPOLATEBOUNDARY},
    {"raster", nullptr, &RI_RASTER},
    {"screen", nullptr, &RI_SCREEN},
    {"NDC", nullptr, &RI_NDC},
    {"camera", nullptr, &RI_CAMERA},
    {"eye", nullptr, &RI_EYE},
    {"world", nullptr, &RI_WORLD},
    {"current", nullptr, &RI_CURRENT},
    {"object", nullptr, &RI_OBJECT},
    {"__category", "string", &RI_CATEGORY},
    {"_$w", "vertex float", &RI_PRIVATE_W},
};

}  // namespace

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

const char* parseDeclaration(const char* name, const char* declaration, const char* key,
                             int skipLookup) {
    const char* p = skipSpaces(declaration ? declaration : "");
    int storageClass = kClassUniform;
    for (const Word& w : kClassWords) {
        if (startsWith(p, w.text)) {
            storageClass = w.code;
            p += std::strlen(w.text);
            break;
        }
    }
    p = skipSpaces(p);
    int type = kTypeNone;
    for (const Word& w : kTypeWords) {
        if (startsWith(p, w.text)) {
            type = w.code;
            p += std::strlen(w.text);
            break;
        }
    }
    p = skipSpaces(p);
    int arraySize = *p == '[' ? arraySizeAt(p + 1) : 1;

    if (!skipLookup) {
        if (TokenDeclaration* existing = lookupDeclaration(name)) {
            existing->type = int8_t(type);
            existing->storageClass = int8_t(storageClass);
            existing->arraySize = arraySize;
            return existing->token;
        }
    }
    const char* token = internString(name ? name : "");
    const char* entryKey = key ? internString(key) : token;
    TokenDeclaration* d = new TokenDeclaration(entryKey, token, type, storageClass, arraySize);
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
        if (after != ' ' && after != '[') continue;
        position += length;
        if (after == '[') {
            const char* close = std::strchr(text + position, ']');
            position = close ? size_t(close - text) + 1 : std::strlen(text);
        }
        while (text[position] == ' ') ++position;
    }
    return int(position);
}

TokenDeclaration* lookupDeclaration(const char* token) {
    if (!token) return nullptr;
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
    TokenDeclaration* d = lookupDeclaration(token);
    if (!d) return 0;
    long long bytes = 1LL * d->arraySize * declarationTypeBytes(d->type);
    if (bytes > INT_MAX) return INT_MAX;
    if (bytes < INT_MIN) return INT_MIN;
    return int(bytes);
}

void predeclareTokens(RibWriter* writer) {
    int savedEcho = echoDeclarations;
    echoDeclarations = 0;
    for (const StandardDeclaration& d : kStandardDeclarations) {
        RtToken token = writer->Declare(d.name, d.declaration);
        if (d.variable) *d.variable = token;
    }
    echoDeclarations = savedEcho;
}
