// The value writers: fast number formatting against printf, text and binary
// encodings, escaping of quoted strings.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/rib/request_capture.h"

using request_test::floatBytes;
using request_test::rib;

namespace {

std::string printed(const char* format, double v) {
    char text[512];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

float fromBits(uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

std::vector<float> formattingSample() {
    using L = std::numeric_limits<float>;
    std::vector<float> values = {
        0.0f,          -0.0f,          1.0f,           -1.0f,           0.5f,
        1.333333f,     -1.333333f,     100000.0f,      999999.0f,       999999.5f,
        1000000.0f,    1234567.0f,     0.0001f,        0.00001f,        0.000099999f,
        123456.5f,     9.9999995f,     3.1415927f,     1e-10f,          1e30f,
        L::max(),      L::lowest(),    L::min(),       L::denorm_min(), fromBits(0x007fffffu),
        L::infinity(), -L::infinity(), L::quiet_NaN(), -L::quiet_NaN()};
    for (int e = -45; e <= 38; ++e) {
        values.push_back(std::pow(10.0f, float(e)));
        values.push_back(5.0f * std::pow(10.0f, float(e)));
    }
    std::mt19937 random(20261209);
    for (int i = 0; i < 200000; ++i) values.push_back(fromBits(random()));
    for (int i = 0; i < 50000; ++i) {
        values.push_back(float(int(random() % 2000001) - 1000000) / 64.0f);
    }
    return values;
}

// Compares two long texts line by line so that a failure names the value.
void expectSameLines(const std::string& actual, const std::string& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    size_t start = 0;
    while (start < expected.size()) {
        size_t end = expected.find('\n', start);
        ASSERT_EQ(actual.substr(start, end - start), expected.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace

TEST(NumberFormatting, FloatsMatchPrintfGeneralAndFixedByteForByte) {
    std::vector<float> values = formattingSample();
    for (size_t step : {1, 7}) {  // %f lines are long: every seventh value is enough
        bool fixed = step == 7;
        std::string expected;
        for (size_t i = 0; i < values.size(); i += step)
            expected += printed(fixed ? "%f" : "%g", values[i]) + "\n";
        expectSameLines(rib([&](RibWriter& w) {
                            for (size_t i = 0; i < values.size(); i += step) {
                                fixed ? w.WriteFixed(values[i]) : w.WriteG(values[i]);
                                w.WriteChar('\n');
                            }
                        }),
                        expected);
    }
}

TEST(NumberFormatting, IntegersMatchPrintf) {
    using L = std::numeric_limits<long>;
    std::vector<long> values = {0, 1, -1, 42, 2147483647L, -2147483647L - 1, L::max(), L::min()};
    std::mt19937 random(7);
    for (int i = 0; i < 10000; ++i) values.push_back(int32_t(random()));
    std::string expected;
    for (long v : values) expected += std::to_string(v) + " ";
    std::string written = rib([&](RibWriter& w) {
        for (long v : values) {
            w.WriteInt(v);
            w.WriteChar(' ');
        }
    });
    EXPECT_EQ(written, expected);
}

TEST(ValueWriters, BinaryFloatsAreBigEndianWhateverTheMachineOrder) {
    RtFloat three[] = {1.0f, 0.5f, -3.0f};
    EXPECT_EQ(rib(
                  [&](RibWriter& w) {
                      w.WriteFloat(1.0f);
                      w.WriteFloat(-2.5f);
                      w.WriteFloatArray(three, 3);
                      w.WriteFloatArray(three, 0);
                  },
                  true),
              std::string("\xA4\x3F\x80\x00\x00\xA4\xC0\x20\x00\x00\xC8\x03", 12) +
                  floatBytes(1.0f) + floatBytes(0.5f) + floatBytes(-3.0f) +
                  std::string("\xC8\x00", 2));

    std::vector<RtFloat> many(70000);
    for (size_t i = 0; i < many.size(); ++i) many[i] = float(i) * 0.25f;
    std::string c9 = rib([&](RibWriter& w) { w.WriteFloatArray(many.data(), 300); }, 1);
    ASSERT_EQ(c9.size(), 3u + 1200u);
    EXPECT_EQ(c9.substr(0, 3), std::string("\xC9\x01\x2C", 3));
    EXPECT_EQ(c9.substr(3 + 4 * 299, 4), floatBytes(299 * 0.25f));

    std::string ca = rib([&](RibWriter& w) { w.WriteFloatArray(many.data(), 70000); }, 1);
    ASSERT_EQ(ca.size(), 4u + 280000u);
    EXPECT_EQ(ca.substr(0, 4), std::string("\xCA\x01\x11\x70", 4));
    EXPECT_EQ(ca.substr(4 + 4 * 69999, 4), floatBytes(69999 * 0.25f));
}

TEST(ValueWriters, QuotedStringsEscapeQuotesAndBackslashes) {
    // A caller's text cannot end the string and smuggle in a request.
    RtString hostile[] = {"x\"]\nWorldEnd\n#", nullptr};
    EXPECT_EQ(rib([&](RibWriter& w) {
                  w.WriteQuoted("plain");
                  w.WriteQuoted(nullptr);
                  w.WriteQuoted("a\"b\\c\\\"\"");
                  w.WriteStringArray(hostile, 2);
                  // Every control character inside a string is an escape, so
                  // that no string spans lines; other bytes stay as they are.
                  w.WriteQuoted("a\nb\rc\td\be\ff\001g\033h\177i\xc3\xa9");
              }),
              R"("plain""""a\"b\\c\\\"\"")"
              "[\"x\\\"]\\nWorldEnd\\n#\" \"\" ]"
              R"("a\nb\rc\td\be\ff\001g\033h\177i)" "\xc3\xa9\"");
}

TEST(ValueWriters, LongOutputGoesThroughTheBufferIntact) {
    std::string big(200000, 'x');
    for (size_t i = 0; i < big.size(); i += 97) big[i] = char('a' + i % 26);
    std::string written = rib([&](RibWriter& w) {
        w.WriteText("start ");
        w.WriteBytes(big.data(), big.size());
        for (int i = 0; i < 30000; ++i) w.WriteText("FrameEnd\n");
    });
    std::string expected = "start " + big;
    for (int i = 0; i < 30000; ++i) expected += "FrameEnd\n";
    EXPECT_EQ(written, expected);
}
