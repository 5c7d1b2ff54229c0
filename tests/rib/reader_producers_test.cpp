// The reader reads what other programs wrote: the complete binary encoding
// from the independent encoder of the tests, and from another RIB tool where
// one is installed, gives the same requests as the text it was made from.
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "rib/ribreader.h"
#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"
#include "tests/support/ribcalls.h"
#include "tests/support/ribencoder.h"
#include "tests/support/ribreader.h"

namespace {

// The requests read from rib, as the library writes them in text.
std::string asText(const std::string& rib, int* problems) {
    std::string path = tempPath("producer_text");
    RibWriter* w = createRibWriter(path.c_str());
    duzozo::RibReader reader(*w);
    reader.readBuffer(rib.data(), rib.size(), "input");
    reader.finish();
    *problems = reader.problems();
    delete w;
    std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

std::string generatedText(unsigned seed) {
    std::vector<uint8_t> bytes = ribcheck::seededBytes(seed, 3000);
    ribcheck::ByteSource source(bytes.data(), bytes.size());
    std::string path = tempPath("producer_source");
    RibWriter* w = createRibWriter(path.c_str());
    ribcheck::makeCalls(source, *w);
    delete w;
    std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t at = 0; at <= folders.size();) {
        size_t colon = folders.find(':', at);
        std::string folder = folders.substr(at, colon == std::string::npos ? colon : colon - at);
        if (!folder.empty() && access((folder + "/" + program).c_str(), X_OK) == 0) return true;
        if (colon == std::string::npos) break;
        at = colon + 1;
    }
    return false;
}

}  // namespace

TEST(OtherProducers, TheTestsOwnEncoderReadsAsTheText) {
    std::vector<std::string> texts = {readFile(EXAMPLES "/scene.rib")};
    for (unsigned seed = 1; seed <= 60; ++seed) texts.push_back(generatedText(seed));
    for (size_t i = 0; i < texts.size(); ++i) {
        int textProblems = -1, binaryProblems = -1;
        std::string fromText = asText(texts[i], &textProblems);
        std::string encoded = ribcheck::encodeComplete(ribcheck::read(texts[i]));
        ASSERT_NE(encoded.find('\xcc'), std::string::npos) << "no request was encoded";
        std::string fromBinary = asText(encoded, &binaryProblems);
        EXPECT_EQ(textProblems, 0) << "text " << i;
        EXPECT_EQ(binaryProblems, 0) << "text " << i;
        EXPECT_EQ(fromBinary, fromText) << "text " << i;
    }
}

TEST(OtherProducers, AnotherToolsBinaryOutputReadsAsTheText) {
    if (!onPath("miqser")) GTEST_SKIP() << "no miqser on PATH";
    TempDir dir;
    std::string binary = dir.path + "/scene.ribb";
    ChildOutcome made = runChild("/bin/sh", {"-c", "miqser -b \"$0\" > \"$1\"",
                                             EXAMPLES "/scene.rib", binary});
    ASSERT_EQ(made.status, 0) << made.err;
    int textProblems = -1, binaryProblems = -1;
    std::string fromText = asText(readFile(EXAMPLES "/scene.rib"), &textProblems);
    std::string fromBinary = asText(readFile(binary), &binaryProblems);
    EXPECT_EQ(binaryProblems, 0);
    EXPECT_EQ(fromBinary, fromText);
}
