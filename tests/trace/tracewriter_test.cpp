#include "trace/tracewriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/capture.h"

namespace {

std::string printed(double x) {
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", x);
    return text;
}

std::string written(double x) {
    char text[kDoubleChars];
    return std::string(text, writeDouble(text, x));
}

double fromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

std::string slurp(std::FILE* file) {
    std::string text;
    std::rewind(file);
    for (int c; (c = std::fgetc(file)) != EOF;) text += char(c);
    return text;
}

}  // namespace

TEST(TraceWriter, NumbersAreTheBytesOfPrintf) {
    const double lowest = std::numeric_limits<double>::denorm_min();
    std::vector<double> edges = {
        0.0, -0.0, lowest, -lowest, std::numeric_limits<double>::min(),
        std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::nan(""), 0.1, 0.5, -0.75, -9.8, -0.049,
        // Exact ties at the 18th digit round to even.
        1234567890123456.75, 1234567890123456.25, -1234567890123456.75, 4503599627370497.5,
        123456789012345678.0};
    // Each side of every power of ten from where the notation changes.
    for (int e = -13; e <= 18; ++e) {
        double ten = std::pow(10.0, e);
        for (double x : {ten, std::nextafter(ten, 0.0), std::nextafter(ten, 1e300)})
            edges.insert(edges.end(), {x, -x});
    }
    for (double x : edges) EXPECT_EQ(written(x), printed(x)) << printed(x);

    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> everyday(-10.0, 10.0), decades(-13.0, 18.0);
    for (int n = 0; n < 400000; ++n) {
        std::uint64_t bits = random();
        double x;
        switch (n % 4) {
            case 0:  // any exponent
                x = fromBits(bits);
                if (!std::isfinite(x)) x = fromBits(bits & ~(std::uint64_t(1) << 62));
                break;
            case 1:  // subnormal
                x = fromBits(bits & 0x800FFFFFFFFFFFFFu);
                break;
            case 2:  // the scale of positions, velocities and forces
                x = everyday(random);
                break;
            default:  // every magnitude a trace may well show
                x = std::pow(10.0, decades(random)) * (bits & 1 ? -1 : 1);
                break;
        }
        ASSERT_EQ(written(x), printed(x)) << printed(x);
    }
}

TEST(TraceWriter, OutputLargerThanOneBlockArrivesWholeAndFailuresAreKept) {
    World world;
    captureStderr([&] { world = World(); });
    std::string expected = "frame,body,i,j,k,x,y,z,vx,vy,vz\n";
    std::FILE* file = std::tmpfile();
    TraceWriter trace(file);
    trace.header();
    // Well over a megabyte, one frame at a time, each a little different.
    for (int frame = 0; frame < 400; ++frame) {
        char row[512];
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j)
                for (int k = 0; k < 4; ++k) {
                    const MassNode* n = world.nodes[i][j][k];
                    std::snprintf(row, sizeof row,
                                  "%d,0,%d,%d,%d,%.17g,%.17g,%.17g,%.17g,%.17g,%.17g\n", frame, i, j,
                                  k, n->position.x, n->position.y, n->position.z, n->velocity.x,
                                  n->velocity.y, n->velocity.z);
                    expected += row;
                }
        trace.frame(frame, world);
        world.step();
    }
    ASSERT_TRUE(trace.finish());
    EXPECT_TRUE(slurp(file) == expected);
    std::fclose(file);

    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    TraceWriter lost(full);
    for (int n = 0; n < 400; ++n) lost.frame(n, world);
    EXPECT_FALSE(lost.finish());
    EXPECT_EQ(errno, ENOSPC);
    std::fclose(full);
}
