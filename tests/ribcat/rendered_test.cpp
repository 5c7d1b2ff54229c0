// A real renderer draws the complete binary encoding of the example scene to
// the very pixels of its text. Skipped where no renderer is found.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <string>
#include <vector>

#include "tests/support/picture.h"

namespace {

// The example scene's picture, 320 by 240, rendered from the RIB file in dir.
std::vector<uint32_t> rendered(const std::string& dir) {
    renderQuietly(dir, "scene.rib");
    std::vector<uint32_t> pixels = readPixels(dir + "/scene.tif", 320, 240);
    EXPECT_FALSE(pixels.empty()) << "no picture in " << dir;
    return pixels;
}

}  // namespace

TEST(RenderedEncodings, TheCompleteEncodingRendersAsTheText) {
    NEED_RENDERER();
    TempDir text, binary;
    ChildOutcome copy = runChild("/bin/cp", {EXAMPLES "/scene.rib", text.path + "/scene.rib"});
    ASSERT_EQ(copy.status, 0);
    ChildOutcome made =
        runChild(RIBCAT, {"--binary", "-o", binary.path + "/scene.rib", EXAMPLES "/scene.rib"});
    ASSERT_EQ(made.status, 0) << made.err;
    ASSERT_NE(readFile(binary.path + "/scene.rib").find('\xcc'), std::string::npos);
    std::vector<uint32_t> fromText = rendered(text.path);
    std::vector<uint32_t> fromBinary = rendered(binary.path);
    ASSERT_FALSE(fromText.empty());
    // Not a blank picture: the scene has something in it.
    size_t lit = 0;
    for (uint32_t p : fromText) lit += TIFFGetR(p) + TIFFGetG(p) + TIFFGetB(p) > 0;
    EXPECT_GT(lit, fromText.size() / 10);
    EXPECT_TRUE(fromBinary == fromText) << "the pictures differ";
}
