#include "trace/tracewriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>


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

// The double of these bits, with the exponent's top bit cleared where
// they would make an infinity or a NaN.
double finiteFromBits(std::uint64_t bits) {
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isfinite(x)) return finiteFromBits(bits & ~(std::uint64_t(1) << 62));
    return x;
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

    // Any exponent, subnormals, the scale of positions and velocities, and
    // every magnitude a trace may well show.
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> everyday(-10.0, 10.0), decades(-13.0, 18.0);
    for (int n = 0; n < 400000; ++n) {
        std::uint64_t bits = random();
        double x = n % 4 == 0   ? finiteFromBits(bits)
                   : n % 4 == 1 ? finiteFromBits(bits & 0x800FFFFFFFFFFFFFu)
                   : n % 4 == 2 ? everyday(random)
                                : std::pow(10.0, decades(random)) * (bits & 1 ? -1 : 1);
        ASSERT_EQ(written(x), printed(x)) << printed(x);
    }
}
