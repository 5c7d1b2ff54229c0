// Token declarations, inline declarations, the standard declarations and the
// parameter-list writers.
#include "rib/internal/declarations.h"

#include <climits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace duzozo;

using request_test::rib;

namespace {

// Storage class, type and array size.
using Parsed = std::tuple<int, int, int>;

Parsed parsed(const char* name) {
    TokenDeclaration* d = lookupDeclaration(name);
    if (!d) return {-1, -1, -1};
    return {d->storageClass, d->type, d->arraySize};
}

Parsed declared(const char* name, const char* declaration) {
    parseDeclaration(name, declaration, nullptr, 0);
    return parsed(name);
}

}  // namespace

TEST(Declarations, ParsingClassTypeAndSize) {
    EXPECT_EQ(declared("decl_a", "varying float[2]"), (Parsed{3, 1, 2}));
    EXPECT_EQ(declared("decl_b", " float"), (Parsed{2, 1, 1}));
    EXPECT_EQ(declared("decl_c", "vertex point"), (Parsed{4, 2, 1}));
    EXPECT_EQ(declared("decl_d", "constant int[4]"), (Parsed{1, 5, 4}));
    EXPECT_EQ(declared("decl_e", "hpoint[x]"), (Parsed{2, 8, 0}));
    EXPECT_EQ(declared("decl_f", "mpoint"), (Parsed{2, 16, 1}));
    EXPECT_EQ(declared("decl_g", "whatever"), (Parsed{2, 0, 1}));
    EXPECT_EQ(declared("decl_h", nullptr), (Parsed{2, 0, 1}));
    // Plain prefixes: "pointy" is a point.
    EXPECT_EQ(declared("decl_i", "pointy"), (Parsed{2, 2, 1}));
    // Declaring again changes the one declaration in place.
    EXPECT_EQ(declared("decl_a", "color"), (Parsed{2, 3, 1}));
    // Large sizes are kept whole, and one past int's range is held at its end.
    EXPECT_EQ(declared("decl_j", "float[70000]"), (Parsed{2, 1, 70000}));
    EXPECT_EQ(declared("decl_k", "float[99999999999]"), (Parsed{2, 1, INT_MAX}));
}

TEST(Declarations, InlineDeclarationsAreMadeOnFirstUse) {
    EXPECT_EQ(inlineDeclarationLength("uniform color tint"), 14);
    EXPECT_EQ(inlineDeclarationLength("varying float[2] uv"), 17);
    EXPECT_EQ(inlineDeclarationLength("float uniform Ka"), 6);  // each word once, in list order
    EXPECT_EQ(inlineDeclarationLength("floaty"), 0);
    EXPECT_EQ(inlineDeclarationLength("float[3"), 7);

    TokenDeclaration* tint = lookupDeclaration("uniform color tint");
    ASSERT_NE(tint, nullptr);
    EXPECT_STREQ(tint->token, "tint");
    EXPECT_STREQ(tint->name, "uniform color tint");
    EXPECT_EQ(lookupDeclaration("uniform color tint"), tint);  // found directly now
    EXPECT_EQ(lookupDeclaration("tint"), nullptr);             // the bare name is not declared

    TokenDeclaration* odd = lookupDeclaration("float uniform Ka_inline");
    ASSERT_NE(odd, nullptr);
    EXPECT_STREQ(odd->token, "uniform Ka_inline");
    EXPECT_EQ(parsed("float uniform Ka_inline"), (Parsed{kClassUniform, kTypeFloat, 1}));

    // Far more than 63 characters of declaration words.
    std::string token = "varying" + std::string(100, ' ') + "float[" + std::string(80, '0') + "2]" +
                        std::string(40, ' ') + "longwinded";
    TokenDeclaration* d = lookupDeclaration(token.c_str());
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->token, "longwinded");
    EXPECT_EQ(parsed(token.c_str()), (Parsed{3, 1, 2}));
}

TEST(Declarations, FormatAndByteSize) {
    struct Row {
        int storageClass, type, arraySize;
        const char* text;
    };
    for (Row row : {Row{3, 1, 2, "varying float[2]"}, Row{1, 5, 1, "constant integer"},
                    Row{4, 9, 0, "vertex matrix"}, Row{2, 8, -3, "uniform hpoint[]"},
                    Row{7, 0, 1, " "}}) {
        char text[kDeclarationTextSize];
        formatDeclaration(text, row.storageClass, row.type, row.arraySize);
        EXPECT_STREQ(text, row.text);
    }

    delete createRibWriter(tempPath("bytesize").c_str());
    parseDeclaration("bytes_big", "matrix[40000000]", nullptr, 0);
    using Size = std::pair<const char*, int>;
    for (Size row : {Size{"st", 8}, Size{"P", 12}, Size{"Pw", 16}, Size{"transform", 64},
                     Size{"never declared", 0}, Size{"bytes_big", INT_MAX}})
        EXPECT_EQ(declarationByteSize(row.first), row.second) << row.first;
}

TEST(Declarations, TheStandardDeclarations) {
    std::string path = tempPath("standard");
    {
        RibWriter writer(path.c_str(), RI_NULL);
        predeclareTokens(&writer);
        writer.Flush();
        EXPECT_EQ(readFile(path), request_test::kHeader);  // and nothing written
    }

    EXPECT_EQ(parsed("st"), (Parsed{3, 1, 2}));
    EXPECT_EQ(parsed("Pw"), (Parsed{4, 8, 1}));
    EXPECT_EQ(parsed("constantwidth"), (Parsed{1, 1, 1}));
    EXPECT_EQ(parsed("windowlocation"), (Parsed{2, 5, 2}));
    EXPECT_EQ(parsed("zblur"), (Parsed{2, 1, 6}));
    EXPECT_EQ(parsed("enable gaussian"), (Parsed{2, 5, 1}));
    EXPECT_EQ(parsed("name"), (Parsed{2, 4, 1}));  // interned again, declaration kept
    EXPECT_EQ(parsed("bilinear"), (Parsed{-1, -1, -1}));

    // The standard token variables now hold the interned names.
    EXPECT_EQ(RI_P, internString("P"));
    EXPECT_EQ(RI_CATMULLROM, internString("catmull-rom"));
    EXPECT_EQ(RI_PRIVATE_W, internString("_$w"));
    EXPECT_EQ(RI_NAME, internString("name"));
    delete createRibWriter(path.c_str());  // a second writer finds them all again
    EXPECT_EQ(parsed("st"), (Parsed{3, 1, 2}));
    std::remove(path.c_str());
}

TEST(Declarations, DeclareWritesItsLineAndRecords) {
    RtToken kq = nullptr, bare = nullptr, nulled = nullptr;
    std::string written = rib([&](RibWriter& w) {
        kq = w.Declare("Kq", "uniform float[3]");
        bare = w.Declare("bareword", "");
        nulled = w.Declare("nulldecl", nullptr);
        w.Declare("odd\"name", "string");
    });
    // A declaration of no type is reported, not written: no reader takes it.
    EXPECT_EQ(written,
              "Declare \"Kq\" \"uniform float[3]\"\n"
              "Declare \"odd\\\"name\" \"string\"\n");
    EXPECT_EQ(kq, internString("Kq"));
    EXPECT_EQ(parsed("Kq"), (Parsed{2, 1, 3}));
    EXPECT_EQ(bare, internString("bareword"));
    EXPECT_EQ(nulled, internString("nulldecl"));
    EXPECT_EQ(lookupDeclaration("bareword"), nullptr);
    EXPECT_EQ(lookupDeclaration("nulldecl"), nullptr);
}

TEST(ParameterLists, WriteParams) {
    RtFloat half = 0.5f;
    RtFloat point[] = {1, 2, 3};
    RtFloat hpoint[] = {1, 2, 3, 4};
    RtInt pair[] = {7, 8};
    RtString strings[] = {"a", "b\"c"};
    RtToken tokens[] = {
        "Ka", "from", "P", "windowlocation", "uniform string[2] labels", "vertex hpoint hp"};
    RtPointer values[] = {&half, point, point, pair, strings, hpoint};
    std::string written = rib([&](RibWriter& w) {
        w.Declare("Ka", "float");
        w.WriteParams(nullptr, 0, 1, tokens, values);
        w.WriteParams("light", 3, 6, tokens, values);
    });
    EXPECT_EQ(written,
              "Declare \"Ka\" \"float\"\n"
              " \"Ka\" [0.5]\n"
              " \"light\" 3 \"Ka\" [0.5] \"from\" [1 2 3] \"P\" [1 2 3] \"windowlocation\" [7 8 ]"
              " \"uniform string[2] labels\" [\"a\" \"b\\\"c\"] \"vertex hpoint hp\" [1 2 3 4]\n");
}

TEST(ParameterLists, WritePrimitiveParamsCountsByStorageClass) {
    std::vector<RtFloat> values(64);
    for (size_t i = 0; i < values.size(); ++i) values[i] = float(i);
    RtFloat* v = values.data();
    RtToken tokens[] = {"P", "st", "constantwidth", "uniform color Cu", "Pw", "N"};
    RtPointer data[] = {v, v, v, v, v, v};
    std::string written = rib([&](RibWriter& w) {
        w.WritePrimitiveParams(4, 2, 1, 6, tokens, data);
        w.WritePrimitiveParams(1, 1, 1, 0, tokens, data);
    });
    EXPECT_EQ(written,
              " \"P\" [0 1 2 3 4 5 6 7 8 9 10 11]"
              " \"st\" [0 1 2 3]"
              " \"constantwidth\" [0]"
              " \"uniform color Cu\" [0 1 2]"
              " \"Pw\" [0 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15]"
              " \"N\" [0 1 2 3 4 5]\n"
              "\n");
}

TEST(ParameterLists, TokensWithoutValuesAndNegativeSizes) {
    RtFloat v[] = {1, 2, 3, 4};
    RtString s[] = {"x"};
    RtInt i[] = {5};
    RtToken tokens[] = {"mpoint mp", "typeless", "negative", "negativestrings", "negativeints"};
    RtPointer values[] = {v, v, v, s, i};
    std::string written = rib([&](RibWriter& w) {
        w.Declare("typeless", "uniform");  // no type: reported, and left undeclared
        w.Declare("negative", "vertex point[-2]");
        w.Declare("negativestrings", "string[-1]");
        w.Declare("negativeints", "int[-1]");
        w.WriteParams(nullptr, 0, 5, tokens, values);
        w.WritePrimitiveParams(4, 4, 4, 5, tokens, values);
        // A negative count times a negative size is still no values.
        w.WritePrimitiveParams(-4, -4, -4, 5, tokens, values);
    });
    std::string list =
        " \"mpoint mp\"  \"negative\" [] \"negativestrings\" []"
        " \"negativeints\" []\n";
    EXPECT_EQ(written.substr(written.find('\n', written.find("negativeints")) + 1),
              list + list + list);
}

TEST(ParameterLists, UndeclaredTokensAreReportedAndSkipped) {
    auto r = runInChild([] {
        RtFloat half = 0.5f;
        RtToken tokens[] = {"nosuchtoken", "Kd", "another one"};
        RtPointer values[] = {&half, &half, &half};
        RibWriter* w = createRibWriter(nullptr);
        w->WriteParams("matte", 0, 3, tokens, values);
        w->WritePrimitiveParams(1, 1, 1, 3, tokens, values);
        delete w;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, request_test::kHeader + " \"matte\" \"Kd\" [0.5]\n \"Kd\" [0.5]\n\n");
    std::string reports = "ERROR: Invalid token\n    --> undeclared parameter \"nosuchtoken\"\n"
                          "ERROR: Invalid token\n    --> undeclared parameter \"another one\"\n";
    EXPECT_EQ(r.err, reports + reports);
}

TEST(ParameterLists, NullTerminatedVariantsWriteAsTheVectorForms) {
    RtFloat half = 0.5f;
    RtFloat st[] = {1, 2, 3, 4};
    RtPointer pairs[] = {const_cast<char*>("Kd"), &half, const_cast<char*>("st"), st, nullptr};
    RtToken tokens[] = {"Kd", "st"};
    RtPointer values[] = {&half, st};
    std::string viaPairs = rib([&](RibWriter& w) {
        w.WriteParams("plastic", 2, pairs);
        w.WritePrimitiveParams(1, 2, 1, pairs);
    });
    std::string viaVectors = rib([&](RibWriter& w) {
        w.WriteParams("plastic", 2, 2, tokens, values);
        w.WritePrimitiveParams(1, 2, 1, 2, tokens, values);
    });
    EXPECT_EQ(viaPairs, viaVectors);
    EXPECT_EQ(viaPairs,
              " \"plastic\" 2 \"Kd\" [0.5] \"st\" [1 2]\n \"Kd\" [0.5] \"st\" [1 2 3 4]\n");
}

TEST(ParameterLists, BinaryValuesInsideATextLine) {
    RtFloat half = 0.5f;
    RtInt n = 3;
    RtToken tokens[] = {"Kd", "maxsamples"};
    RtPointer values[] = {&half, &n};
    std::string written =
        rib([&](RibWriter& w) { w.WriteParams("plastic", 0, 2, tokens, values); }, 1);
    EXPECT_EQ(written, std::string(" \"plastic\" \"Kd\" \xC8\x01\x3F\x00\x00\x00", 22) +
                           " \"maxsamples\" [3 ]\n");
}
