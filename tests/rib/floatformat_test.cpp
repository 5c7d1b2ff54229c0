// formatFloat against the C library's own printf, byte for byte, at every
// precision it takes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "rib/internal/floatformat.h"

namespace {

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

uint32_t toBits(float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

// Counts the disagreements over precisions 1 to 9, showing the first few.
struct Agreement {
    long long differing = 0;

    void check(float v) {
        for (int precision = 1; precision <= 9; ++precision) {
            char expected[64], got[duzozo::kFloatChars + 8];
            std::snprintf(expected, sizeof expected, "%.*g", precision, double(v));
            std::size_t size = std::size_t(duzozo::formatFloat(got, v, precision) - got);
            if (size <= duzozo::kFloatChars && std::string(got, size) == expected) continue;
            if (++differing <= 5)
                ADD_FAILURE() << "bits " << std::hex << toBits(v) << " precision " << precision
                              << ": printf \"" << expected << "\", got \""
                              << std::string(got, size < 40 ? size : 40) << '"';
        }
    }
    // Both signs of the value and its neighbours `reach` steps either way.
    void around(float v, int reach) {
        int64_t bits = toBits(std::fabs(v)), last = std::min<int64_t>(bits + reach, 0x7f7fffff);
        for (int64_t b = std::max<int64_t>(bits - reach, 0); b <= last; ++b) {
            check(fromBits(uint32_t(b)));
            check(fromBits(uint32_t(b) | 0x80000000u));
        }
    }
    ~Agreement() { EXPECT_EQ(differing, 0); }  // judged as the test ends
};

// Zeros, infinities, NaNs of both signs and payloads, the extremes and the
// subnormals; every power of ten and every value that rounds up to one at
// some precision (where the digits carry into a new place and %g changes
// notation), with their neighbours.
TEST(FloatFormat, AgreesWithPrintfAtSpecialValuesAndNotationBoundaries) {
    Agreement a;
    using limits = std::numeric_limits<float>;
    for (float v :
         {0.0f, -0.0f, limits::infinity(), -limits::infinity(), limits::quiet_NaN(),
          -limits::quiet_NaN(), fromBits(0x7f800001u), fromBits(0xffc00001u), limits::max(),
          limits::min(), limits::denorm_min(), -limits::denorm_min(), fromBits(0x007fffffu)})
        a.check(v);
    for (int e = -46; e <= 39; ++e) {
        a.around(float(std::pow(10.0, e)), 24);
        for (int precision = 1; precision <= 9; ++precision)
            a.around(float((1 - 0.5 * std::pow(10.0, -precision)) * std::pow(10.0, e)), 4);
    }
}

// Exact ties, which printf rounds to even (halves, quarters and so on of
// small integers), random bit patterns over the whole range, the magnitudes
// scenes hold most, and subnormals with the least normals.
TEST(FloatFormat, AgreesWithPrintfOnTiesAndRandomFloats) {
    Agreement a;
    for (int scale = 1; scale <= 12; ++scale)
        for (int i = 1; i < 4096; i += (i < 512 ? 1 : 7)) a.check(std::ldexp(float(i), -scale));
    for (int i = 0; i < 200000; i += 13) a.check(float(i) + 0.5f);
    std::mt19937 random(20240611);
    for (int i = 0; i < 120000; ++i) a.check(fromBits(uint32_t(random())));
    std::uniform_real_distribution<float> scene(-1000.0f, 1000.0f);
    for (int i = 0; i < 40000; ++i) a.check(scene(random));
    std::uniform_int_distribution<uint32_t> tiny(1, 0x00ffffffu);
    for (int i = 0; i < 5000; ++i) a.check(fromBits(tiny(random)));
}

}  // namespace
