// Loading RIB input: plain bytes pass unchanged, gzip of any number of
// members is undone, and damaged compressed data is an error that keeps
// what could be decompressed.
#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <fcntl.h>
#include <string>

#include "rib/internal/ribinput.h"
#include "tests/support/files.h"

namespace {

std::string gzip(const std::string& text) {
    z_stream z{};
    deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, uLong(text.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = uInt(text.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Enough text that its compressed form spans many deflate blocks.
std::string scene() {
    std::string text = "##RenderMan RIB\nversion 3.03\n";
    for (int i = 0; i < 20000; ++i)
        text += "Translate " + std::to_string(i) + " 0.5 " + std::to_string(i * 7 % 113) + "\n";
    return text;
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool decode(const std::string& data, std::string& bytes, std::string& error) {
    return duzozo::decodeRibBuffer(data.data(), data.size(), bytes, error);
}

TEST(RibInput, PlainBytesPassUnchanged) {
    std::string bytes, error;
    for (std::string data : {std::string(), std::string("\x1f"), std::string("WorldBegin\n"),
                             std::string("\x8b\x1f\xcc\x00\xff", 5)}) {
        EXPECT_TRUE(decode(data, bytes, error));
        EXPECT_EQ(bytes, data);
        EXPECT_EQ(error, "");
    }
}

TEST(RibInput, GzipMembersAreDecompressedInTurn) {
    std::string bytes, error;
    std::string text = scene();
    EXPECT_TRUE(decode(gzip(text), bytes, error)) << error;
    EXPECT_EQ(bytes, text);
    // Concatenated members read as one stream, as gzip -dc reads them;
    // zero padding after the last is no error.
    EXPECT_TRUE(decode(gzip("WorldBegin\n") + gzip(text) + gzip("") + gzip("WorldEnd\n") +
                           std::string(512, '\0'),
                       bytes, error))
        << error;
    EXPECT_EQ(bytes, "WorldBegin\n" + text + "WorldEnd\n");
}

TEST(RibInput, DamagedGzipIsAnErrorKeepingWhatWasDecoded) {
    std::string text = scene(), packed = gzip(text), bytes, error;
    // Cut short: inside the data, inside the trailer, inside a second member.
    for (std::size_t size : {packed.size() / 2, packed.size() - 3}) {
        EXPECT_FALSE(decode(packed.substr(0, size), bytes, error));
        EXPECT_NE(error.find("truncated"), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(text.compare(0, bytes.size(), bytes), 0) << "not a prefix of the text";
    }
    EXPECT_GT(bytes.size(), text.size() / 2);
    EXPECT_FALSE(decode(packed + packed.substr(0, 20), bytes, error));
    EXPECT_EQ(bytes.compare(0, text.size(), text), 0);
    EXPECT_FALSE(decode(packed + "\x1f\x8b", bytes, error));

    // Corrupt: a broken block and a wrong checksum.
    std::string broken = packed;
    for (std::size_t i = 40; i < 60; ++i) broken[i] = char(0xff);
    EXPECT_FALSE(decode(broken, bytes, error));
    EXPECT_NE(error.find("corrupt"), std::string::npos) << error;
    std::string checksum = packed;
    checksum[checksum.size() - 6] ^= 1;
    EXPECT_FALSE(decode(checksum, bytes, error));
    EXPECT_EQ(bytes, text);  // every byte came out before the check failed

    // Something other than gzip after the stream is not silently dropped.
    EXPECT_FALSE(decode(packed + "WorldEnd\n", bytes, error));
    EXPECT_NE(error.find("not gzip"), std::string::npos) << error;
    EXPECT_EQ(bytes, text);
}

TEST(RibInput, FilesAndStandardInput) {
    TempDir dir;
    std::string plain = dir.path + "/plain.rib", packed = dir.path + "/packed.rib.gz";
    std::string text = scene(), bytes, error;
    writeFile(plain, text);
    writeFile(packed, gzip(text));
    EXPECT_TRUE(duzozo::loadRibInput(plain, bytes, error)) << error;
    EXPECT_EQ(bytes, text);
    EXPECT_TRUE(duzozo::loadRibInput(packed, bytes, error)) << error;
    EXPECT_EQ(bytes, text);

    writeFile(packed, gzip(text).substr(0, 100));
    EXPECT_FALSE(duzozo::loadRibInput(packed, bytes, error));
    EXPECT_EQ(error.rfind(packed + ": ", 0), 0u) << error;
    EXPECT_FALSE(duzozo::loadRibInput(dir.path + "/missing.rib", bytes, error));
    EXPECT_EQ(error, dir.path + "/missing.rib: No such file or directory");
    EXPECT_FALSE(duzozo::loadRibInput(dir.path, bytes, error));
    EXPECT_NE(error.find(dir.path + ": "), std::string::npos) << error;

    // "-" reads the process's standard input to its end.
    std::fflush(stdin);
    int saved = dup(0);
    int file = open(plain.c_str(), O_RDONLY);
    ASSERT_GE(file, 0);
    dup2(file, 0);
    close(file);
    bool ok = duzozo::loadRibInput("-", bytes, error);
    dup2(saved, 0);
    close(saved);
    std::clearerr(stdin);
    EXPECT_TRUE(ok) << error;
    EXPECT_EQ(bytes, text);
}

}  // namespace
