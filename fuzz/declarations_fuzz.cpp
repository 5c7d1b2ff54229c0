// Declaration texts from the input bytes: the first byte chooses between a
// Declare of the text and the text as an inline-declared token; the rest is
// the text. Where the independent reader accepts the declaration, a
// parameter with exactly that many values is written in a primitive and in a
// shader list and read back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "rib/internal/declarations.h"
#include "rib/ribwriter.h"
#include "tests/support/files.h"
#include "tests/support/ribreader.h"

using namespace duzozo;

namespace {

// Exactly n values of the declared type, on the heap.
struct Values {
    std::vector<RtString> strings;
    std::vector<RtInt> ints;
    std::vector<RtFloat> floats;
    RtPointer make(const std::string& type, long long n) {
        if (type == "string") {
            strings.assign(size_t(n), "s");
            return strings.data();
        }
        if (type == "integer") {
            ints.assign(size_t(n), 7);
            return ints.data();
        }
        floats.assign(size_t(n), 0.5f);
        return floats.data();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    bool inlineToken = data[0] & 1;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    text = text.c_str();  // the library takes NUL-terminated text

    // The parts of the declaration store that no request uses.
    inlineDeclarationLength(text.c_str());
    declarationByteSize(text.c_str());
    if (TokenDeclaration* d = lookupDeclaration(text.c_str())) {
        char formatted[kDeclarationTextSize];
        formatDeclaration(formatted, d->storageClass, d->type, d->arraySize);
    }

    std::string path = tempPath("declfuzz");
    std::unique_ptr<RibWriter> w(createRibWriter(path.c_str()));
    ribcheck::Declaration d;
    std::string name;
    bool known;
    RtToken token;
    if (inlineToken) {
        token = text.c_str();
        known = ribcheck::parseInline(text, d, name);
    } else {
        token = w->Declare("fz", text.c_str());
        known = ribcheck::parseDeclaration(text, d);
    }
    long long width = known ? ribcheck::typeWidth(d.type, 3) : -1;
    if (width > 0 && d.arraySize <= 4096) {
        Values forPrimitive, forShader;
        long long perElement = d.arraySize * width;
        RtPointer primitiveValues[] = {
            forPrimitive.make(d.type, ribcheck::quadricCounts().of(d.storage) * perElement)};
        RtPointer shaderValues[] = {forShader.make(d.type, perElement)};
        RtToken tokens[] = {token};
        w->SphereV(1, -1, 1, 360, 1, tokens, primitiveValues);
        w->SurfaceV("s", 1, tokens, shaderValues);
    }
    w.reset();
    std::string rib = readFile(path);
    std::remove(path.c_str());
    if (width <= 0) return 0;
    ribcheck::Document doc = ribcheck::read(rib);
    // Both requests must carry the parameter: a declaration the reader takes
    // must not be dropped as undeclared either.
    for (const ribcheck::Request& r : doc.requests) {
        if ((r.name == "Sphere" || r.name == "Surface") && r.params.size() != 1)
            doc.errors.push_back(r.name + " lost its parameter");
    }
    if (!doc.errors.empty()) {
        for (const std::string& e : doc.errors) std::fprintf(stderr, "%s\n", e.c_str());
        std::abort();
    }
    return 0;
}
