// Loading RIB input: plain bytes pass unchanged, gzip of any number of
// members is undone, and damaged compressed data is an error that keeps
// what could be decompressed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <string>

#include "rib/internal/ribinput.h"
#include "tests/support/files.h"

namespace {

std::string gzip(const std::string& text) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, uLong(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

TEST(RibInput, DecodesWhatItCanAndReportsTheRest) {
    // Enough text that its compressed form spans many deflate blocks.
    std::string text = "##RenderMan RIB\nversion 3.03\n";
    for (int i = 0; i < 20000; ++i)
        text += "Translate " + std::to_string(i) + " 0.5 " + std::to_string(i * 7 % 113) + "\n";
    std::string packed = gzip(text), broken = packed, checksum = packed;
    for (size_t i = 40; i < 60; ++i) broken[i] = char(0xff);
    checksum[checksum.size() - 6] ^= 1;
    std::string binary("\x8b\x1f\xcc\x00\xff", 5), members = "WorldBegin\n" + text + "WorldEnd\n";

    enum Source { Buffer, File, StandardInput, Path };
    struct Case {
        const char* what;
        Source source;
        std::string data;
        bool ok;
        std::string want;  // the bytes are a prefix of it at least `atLeast` long
        size_t atLeast;
        const char* error;
    };
    const Case cases[] = {
        {"empty", Buffer, "", true, "", 0, ""},
        {"a gzip first byte alone", Buffer, "\x1f", true, "\x1f", 1, ""},
        {"binary RIB", Buffer, binary, true, binary, 5, ""},
        // Members read as one stream, as gzip -dc reads them; zero padding
        // after the last is no error.
        {"members, one empty, then padding", Buffer,
         gzip("WorldBegin\n") + packed + gzip("") + gzip("WorldEnd\n") + std::string(512, '\0'),
         true, members, members.size(), ""},
        {"cut in the data", Buffer, packed.substr(0, packed.size() / 2), false, text,
         text.size() / 3, "truncated"},
        {"cut in the trailer", Buffer, packed.substr(0, packed.size() - 3), false, text,
         text.size(), "truncated"},
        {"second member cut", Buffer, packed + packed.substr(0, 20), false, text + text,
         text.size(), ""},
        {"second member its magic alone", Buffer, packed + "\x1f\x8b", false, text, text.size(),
         ""},
        {"broken block", Buffer, broken, false, text, 0, "corrupt"},
        {"wrong checksum", Buffer, checksum, false, text, text.size(), ""},
        // Something else after the stream is not silently dropped.
        {"trailing text", Buffer, packed + "WorldEnd\n", false, text, text.size(), "not gzip"},
        {"plain file", File, text, true, text, text.size(), ""},
        {"gzip file", File, packed, true, text, text.size(), ""},
        {"cut gzip file", File, packed.substr(0, 100), false, text, 0, "truncated"},
        {"gzip on standard input", StandardInput, packed, true, text, text.size(), ""},
        {"missing file", Path, "/missing.rib", false, "", 0, "No such file or directory"},
        {"a folder", Path, "", false, "", 0, ""},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = dir.path + (c.source == Path ? c.data : "/input.rib"), bytes, error;
        if (c.source == File || c.source == StandardInput) {
            std::FILE* f = std::fopen(path.c_str(), "wb");
            ASSERT_EQ(std::fwrite(c.data.data(), 1, c.data.size(), f), c.data.size());
            std::fclose(f);
        }
        int savedInput = dup(0), file = open(path.c_str(), O_RDONLY);
        if (c.source == StandardInput) dup2(file, 0);
        bool ok = c.source == Buffer
                      ? duzozo::decodeRibBuffer(c.data.data(), c.data.size(), bytes, error)
                      : duzozo::loadRibInput(c.source == StandardInput ? "-" : path, bytes, error);
        dup2(savedInput, 0);
        close(savedInput);
        close(file);
        std::clearerr(stdin);
        EXPECT_EQ(ok, c.ok) << error;
        EXPECT_GE(bytes.size(), c.atLeast);
        EXPECT_EQ(c.want.compare(0, bytes.size(), bytes), 0) << "not a prefix of what was wanted";
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(error.empty(), ok) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        if (!ok && c.source != Buffer) {  // a file's error names it first
            EXPECT_EQ(error.rfind(path + ": ", 0), 0u) << error;
        }
    }
}

}  // namespace
