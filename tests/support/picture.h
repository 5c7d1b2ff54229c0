// A RIB file rendered by the tests' renderer, and the picture read back.
#pragma once

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/childprocess.h"
#include "tests/support/renderer.h"

// Renders `rib` in `dir`, where the pictures its Display names land; a clean
// file makes the renderer say nothing at all.
inline void renderQuietly(const std::string& dir, const std::string& rib) {
    ChildOutcome r = runChild("/bin/sh", {"-c", "cd \"$0\" && " + renderer() + " \"$1\"", dir, rib});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out + r.err, "") << "the renderer's words on " << rib;
}

// The pixels of a picture of the given size as packed RGBA (TIFFGetR ...),
// the top row first; empty when it cannot be read or is of another size.
inline std::vector<uint32_t> readPixels(const std::string& path, uint32_t width,
                                        uint32_t height) {
    TIFFSetWarningHandler(nullptr);
    std::vector<uint32_t> raster(std::size_t(width) * height);
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    uint32_t w = 0, h = 0;
    bool read = tiff && TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &w) && w == width &&
                TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &h) && h == height &&
                TIFFReadRGBAImageOriented(tiff, w, h, raster.data(), ORIENTATION_TOPLEFT, 0);
    if (tiff) TIFFClose(tiff);
    if (!read) raster.clear();
    return raster;
}
