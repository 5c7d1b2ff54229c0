// formatFloat against the C library's own printf, byte for byte, at every
// precision it takes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

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

// Counts the values where formatFloat and snprintf disagree, keeping the
// first few as readable lines.
struct Agreement {
    long long checked = 0, differing = 0;
    std::string examples;

    void check(float v) {
        for (int precision = 1; precision <= 9; ++precision) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*g", precision, double(v));
            char got[duzozo::kFloatChars + 8];
            char* end = duzozo::formatFloat(got, v, precision);
            ++checked;
            std::size_t size = std::size_t(end - got);
            if (size <= duzozo::kFloatChars && std::string(got, size) == expected) continue;
            if (++differing <= 5) {
                char line[160];
                std::snprintf(line, sizeof line, "bits %08x precision %d: printf \"%s\", got \"%.*s\"\n",
                              unsigned(toBits(v)), precision, expected,
                              int(size < 40 ? size : 40), got);
                examples += line;
            }
        }
    }
    // Both signs of the value and its neighbours `reach` steps either way.
    void around(float v, int reach) {
        uint32_t bits = toBits(std::fabs(v));
        for (int step = -reach; step <= reach; ++step) {
            int64_t b = int64_t(bits) + step;
            if (b < 0 || b >= 0x7f800000) continue;
            check(fromBits(uint32_t(b)));
            check(fromBits(uint32_t(b) | 0x80000000u));
        }
    }
};

#define EXPECT_AGREES(a)                                                        \
    EXPECT_EQ((a).differing, 0) << (a).differing << " of " << (a).checked \
                                << " differ, first:\n"                     \
                                << (a).examples

TEST(FloatFormat, SpecialValuesAsPrintfWritesThem) {
    Agreement a;
    const float inf = std::numeric_limits<float>::infinity();
    for (float v : {0.0f, -0.0f, inf, -inf, std::numeric_limits<float>::quiet_NaN(),
                    -std::numeric_limits<float>::quiet_NaN(), fromBits(0x7f800001u),
                    fromBits(0xffc00001u), std::numeric_limits<float>::max(),
                    std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min(),
                    -std::numeric_limits<float>::denorm_min(), fromBits(0x007fffffu)})
        a.check(v);
    EXPECT_AGREES(a);
    // The bytes and nothing after them: no terminator is promised.
    char text[duzozo::kFloatChars];
    EXPECT_EQ(std::string(text, duzozo::formatFloat(text, -0.33333334f, 9)), "-0.333333343");
    EXPECT_EQ(std::string(text, duzozo::formatFloat(text, -0.33333334f, 6)), "-0.333333");
    EXPECT_EQ(std::string(text, duzozo::formatFloat(text, 1e6f, 6)), "1e+06");
    EXPECT_EQ(std::string(text, duzozo::formatFloat(text, 0.0001f, 6)), "0.0001");
}

// Where the digits carry into a new place and where %g changes notation:
// every power of ten, and every value that rounds up to one at some
// precision, with their float neighbours.
TEST(FloatFormat, AgreesAroundPowersOfTenAndRoundingCarries) {
    Agreement a;
    for (int e = -46; e <= 39; ++e) {
        a.around(float(std::pow(10.0, e)), 24);
        for (int precision = 1; precision <= 9; ++precision) {
            double carry = (1 - 0.5 * std::pow(10.0, -precision)) * std::pow(10.0, e);
            a.around(float(carry), 4);
        }
    }
    EXPECT_AGREES(a);
}

// Exact ties, which printf rounds to even: halves, quarters and so on of
// small integers, which floats hold exactly.
TEST(FloatFormat, AgreesOnExactTies) {
    Agreement a;
    for (int scale = 1; scale <= 12; ++scale) {
        for (int i = 1; i < 4096; i += (i < 512 ? 1 : 7)) a.check(std::ldexp(float(i), -scale));
    }
    for (int i = 0; i < 200000; i += 13) a.check(float(i) + 0.5f);
    EXPECT_AGREES(a);
}

// Random bit patterns over the whole range, subnormals and all, plus the
// magnitudes scenes hold most.
TEST(FloatFormat, AgreesOnRandomFloats) {
    Agreement a;
    std::mt19937 random(20240611);
    for (int i = 0; i < 120000; ++i) a.check(fromBits(uint32_t(random())));
    std::uniform_real_distribution<float> scene(-1000.0f, 1000.0f);
    for (int i = 0; i < 40000; ++i) a.check(scene(random));
    std::uniform_int_distribution<uint32_t> tiny(1, 0x00ffffffu);  // subnormals and the least normals
    for (int i = 0; i < 5000; ++i) a.check(fromBits(tiny(random)));
    EXPECT_AGREES(a);
    EXPECT_GT(a.checked, 1000000);
}

}  // namespace
