// An independent RIB reader for the tests: it decodes text and binary RIB,
// the complete encoding too, back into requests and values, and checks
// every parameter of a primitive against the number of values a renderer
// would take for it.
#pragma once

#include <string>
#include <vector>

namespace ribcheck {

// One value of a request: a number, a string, or an array of either. An empty
// array "[]" is read as an empty number array.
struct Value {
    enum Kind { Number, String, Numbers, Strings };
    Kind kind = Number;
    std::vector<double> numbers;       // Number holds one
    std::vector<std::string> strings;  // String holds one
    bool isArray() const { return kind == Numbers || kind == Strings; }
    size_t size() const { return kind == Number || kind == Numbers ? numbers.size() : strings.size(); }
};

struct Param {
    std::string token;
    Value value;
};

// A request as read; a comment line is a request named "#" (or "##" for a
// structure comment) with its text as the one argument.
struct Request {
    std::string name;
    std::vector<Value> args;
    std::vector<Param> params;
};

struct Document {
    std::vector<Request> requests;
    // Everything a strict reader would reject, one line each.
    std::vector<std::string> errors;
    // Keywords, strings and numbers read as text, which the complete
    // encoding promises to have none of.
    size_t textTokens = 0;
};

Document read(const std::string& bytes);

// Storage classes as declarations name them.
enum StorageClass { Constant, Uniform, Varying, Vertex, FaceVarying };

struct Declaration {
    StorageClass storage = Uniform;
    std::string type;  // "float", "point", ... ("integer" for "int")
    long long arraySize = 1;
};

// Parses "[class] type [ '[' n ']' ]"; false when the text is not one.
bool parseDeclaration(const std::string& text, Declaration& out);
// Parses an inline declaration "[class] type [ '[' n ']' ] name"; false when
// the token is a plain name.
bool parseInline(const std::string& token, Declaration& out, std::string& name);
// Values per element of a type; colours have nColors. -1 for an unknown type.
long long typeWidth(const std::string& type, long long nColors);

// How many values each storage class takes for one primitive.
struct Counts {
    long long uniform = 1, varying = 1, vertex = 1, faceVarying = 1;
    long long of(StorageClass c) const;
};

// The counts of each primitive from its own arguments. Most primitives have
// one uniform value and n of each other class; meshes have one per face.
Counts quadricCounts();
Counts perVertexCounts(long long n);
Counts meshCounts(long long faces, const std::vector<long long>& nvertices,
                  const std::vector<long long>& vertices);
Counts patchCounts(const std::string& type);
Counts patchMeshCounts(const std::string& type, long long nu, bool uperiodic, long long nv,
                       bool vperiodic, long long ustep, long long vstep);
Counts nuPatchCounts(long long nu, long long uorder, long long nv, long long vorder);
Counts curvesCounts(const std::string& type, const std::vector<long long>& nvertices,
                    bool periodic, long long vstep);

// Text and binary decodings of one call sequence agree: same requests, same
// strings, numbers equal to the six digits the text form keeps, or, exact,
// each the very float of the other (text written at nine digits). Returns
// the first difference, or "" when there is none.
std::string compare(const Document& text, const Document& binary, bool exact = false);

// The text of some calls at nine digits and their complete encoding, both
// without the header lines that stay text: the same complaints, no text in
// the encoding, the same document exactly. Returns the first difference, or
// "" when there is none.
std::string compareComplete(const std::string& text, const std::string& complete);

}  // namespace ribcheck
