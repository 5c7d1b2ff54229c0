// The tests' independent encoder is proved readable by the reader's tests
// (LibraryReader.AnotherProducersCompleteEncodingReadsAsTheText), which read
// its output back as the text; they would still pass were it to fall back to
// plain strings and floats. These bytes keep it using every form the reader
// is to be tried with: a request defined once and then coded, a repeated
// string defined and referred to, a one-off string spelled out, a float
// array, and integers both as an argument and in a parameter.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/ribencoder.h"
#include "tests/support/ribreader.h"

TEST(RibEncoder, BytesOfASmallDocument) {
    std::string text =
        "Surface \"plastic\" \"Ks\" [0.5] \"int n\" [3]\nSurface \"plastic\"\nFrameBegin -2\n";
    static const char kExpected[] =
        "\314\000\227Surface\246\000\315\000\227plastic\317\000\222Ks\310\001\077\000\000\000"
        "\225int n[\203\000\000\000\003]"
        "\246\000\317\000"
        "\314\001\232FrameBegin\246\001\203\377\377\377\376";
    EXPECT_EQ(ribcheck::encodeComplete(ribcheck::read(text)),
              std::string(kExpected, sizeof kExpected - 1));
}
