// A real renderer draws the complete binary encoding of the example scene to
// the very pixels of its text. Skipped where no renderer is found.
#include <gtest/gtest.h>
#include <tiffio.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/childprocess.h"
#include "tests/support/renderer.h"

namespace {

// The RIB file rendered in its own folder, the renderer saying nothing; the
// pixels of the picture its Display names.
std::vector<uint32_t> rendered(const std::string& dir, const std::string& rib) {
    ChildOutcome r = runInChild([&] {
        if (chdir(dir.c_str()) != 0) _exit(120);
        execl("/bin/sh", "sh", "-c", (renderer() + " \"$1\"").c_str(), "sh", rib.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "") << "the renderer's words on " << rib;
    std::vector<uint32_t> pixels;
    TIFFSetWarningHandler(nullptr);
    TIFF* tiff = TIFFOpen((dir + "/scene.tif").c_str(), "r");
    if (!tiff) {
        ADD_FAILURE() << "no picture from " << rib;
        return pixels;
    }
    uint32_t w = 0, h = 0;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h);
    pixels.resize(size_t(w) * h);
    if (!TIFFReadRGBAImage(tiff, w, h, pixels.data(), 0)) pixels.clear();
    TIFFClose(tiff);
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
    std::vector<uint32_t> fromText = rendered(text.path, "scene.rib");
    std::vector<uint32_t> fromBinary = rendered(binary.path, "scene.rib");
    ASSERT_FALSE(fromText.empty());
    // Not a blank picture: the scene has something in it.
    size_t lit = 0;
    for (uint32_t p : fromText) lit += TIFFGetR(p) + TIFFGetG(p) + TIFFGetB(p) > 0;
    EXPECT_GT(lit, fromText.size() / 10);
    EXPECT_TRUE(fromBinary == fromText) << "the pictures differ";
}
