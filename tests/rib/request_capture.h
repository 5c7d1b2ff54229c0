// Helpers of the writer's tests: run requests on a fresh writer and return
// exactly the bytes they wrote, and the binary encoding's pieces.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/support/capture.h"
#include "tests/support/files.h"

namespace request_test {

inline const std::string kHeader = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";

// The bytes that the requests write on a new writer in the encoding (the
// writer's binaryOutput), without the header and the final line break that
// every writer adds.
inline std::string rib(const std::function<void(RibWriter&)>& requests, int encoding = 0) {
    std::string path = tempPath("request");
    RibWriter* w = createRibWriter(path.c_str());
    w->binaryOutput = encoding;
    requests(*w);
    delete w;
    std::string all = readFile(path);
    std::remove(path.c_str());
    EXPECT_EQ(all.substr(0, kHeader.size()), kHeader);
    if (all.size() < kHeader.size() + 1) {
        ADD_FAILURE() << "no final line break after the header";
        return "";
    }
    EXPECT_EQ(all.back(), '\n');
    return all.substr(kHeader.size(), all.size() - kHeader.size() - 1);
}

inline std::string binaryRib(const std::function<void(RibWriter&)>& requests) {
    return rib(requests, true);
}

// Big-endian bytes of a float, as the binary encoding writes them.
inline std::string floatBytes(float v) {
    unsigned char b[4];
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(bits >> (24 - 8 * i));
    return std::string(reinterpret_cast<char*>(b), 4);
}

// A binary float array of fewer than 256 values: C8, the count, the values.
inline std::string binaryArray(std::initializer_list<float> values) {
    std::string s = "\xC8";
    s += static_cast<char>(values.size());
    for (float v : values) s += floatBytes(v);
    return s;
}

// A single binary float: A4 and the value.
inline std::string binaryFloat(float v) {
    return "\xA4" + floatBytes(v);
}

// 0, 1, 2 ... n-1: parameter values whose printed count shows how many
// values a request asked for.
inline std::vector<float> counting(int n) {
    std::vector<float> v(n);
    for (int i = 0; i < n; ++i) v[i] = static_cast<float>(i);
    return v;
}

inline std::string countingText(int n) {
    std::string s = "[";
    for (int i = 0; i < n; ++i) s += (i ? " " : "") + std::to_string(i);
    return s + "]";
}

}  // namespace request_test
