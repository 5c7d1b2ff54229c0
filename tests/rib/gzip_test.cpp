// gzip-compressed output: whatever the target and the encoding, the
// decompressed stream is byte for byte what the plain writer writes.
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using request_test::kHeader;

namespace {

struct Inflated {
    std::string text;
    bool complete = false;  // the last member ended with its trailer
    bool valid = true;
};

// Every gzip member in turn, as gzip -dc reads them; a stream cut off after
// a sync flush gives what was flushed, without being complete.
Inflated gunzip(const std::string& data) {
    Inflated result;
    z_stream z{};
    inflateInit2(&z, 16 + MAX_WBITS);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    int rc;
    do {
        unsigned char out[4096];
        z.next_out = out;
        z.avail_out = sizeof out;
        rc = inflate(&z, Z_NO_FLUSH);
        result.text.append(reinterpret_cast<char*>(out), sizeof out - z.avail_out);
        result.complete = rc == Z_STREAM_END;
        if (result.complete && z.avail_in > 0) rc = inflateReset(&z);
    } while (rc == Z_OK);
    result.valid = rc == Z_STREAM_END || rc == Z_BUF_ERROR;
    inflateEnd(&z);
    return result;
}

// Enough to run past the stream's buffer and the compressor's output chunk,
// with a WorldEnd flush in the middle.
void writeScene(RenderInterface& ri) {
    RtFloat fov = 40;
    ri.Format(640, 480, 1);
    ri.Projection("perspective", "fov", &fov, RI_NULL);
    ri.WorldBegin();
    ri.Sphere(1, -1, 1, 360, RI_NULL);
    ri.WorldEnd();
    std::vector<RtFloat> points(3 * 30000);
    for (size_t i = 0; i < points.size(); ++i) points[i] = RtFloat(i % 977) / 7;
    ri.FrameBegin(2);
    ri.WorldBegin();
    ri.Points(30000, "P", points.data(), RI_NULL);
    ri.WorldEnd();
    ri.FrameEnd();
}

}  // namespace

// A file chosen by the writer's own options, a pipe by their older integer
// forms, and standard output by RiOption before RiBegin.
TEST(GzipOutput, EveryTargetDecompressesToThePlainBytesInEveryEncoding) {
    for (int binary : {0, 1, 2}) {
        std::string expected =
            kHeader + request_test::rib([](RibWriter& w) { writeScene(w); }, binary) + "\n";
        const char* formats[] = {"ascii", "binary", "complete"};
        const char* gzip = "gzip";
        int one = 1;
        std::string file = tempPath("gzfile"), piped = tempPath("gzpipe");
        std::string pipe = "|cat > '" + piped + "'";
        RibWriter* byName = new RibWriter(file.c_str(), "format", &formats[binary], "compression",
                                          &gzip, RI_NULL);
        RibWriter* byNumber = new RibWriter(pipe.c_str(), "binary", &binary, "gzip", &one, RI_NULL);
        for (RibWriter* w : {byName, byNumber}) {
            writeScene(*w);
            delete w;
        }
        auto child = runInChild([&] {
            RiOption("rib", "format", &formats[binary], "compression", &gzip, RI_NULL);
            writeScene(*RiBegin(nullptr));
            RiEnd();
        });
        EXPECT_EQ(child.status, 0);

        for (const std::string& data : {readFile(file), readFile(piped), child.out}) {
            EXPECT_LT(data.size(), expected.size() / 2);
            Inflated z = gunzip(data);
            EXPECT_TRUE(z.valid && z.complete);
            EXPECT_TRUE(z.text == expected) << "binary " << binary;
        }
        std::remove(file.c_str());
        std::remove(piped.c_str());
    }
}

TEST(GzipOutput, WorldEndLetsTheReaderDecompressTheFrame) {
    std::string path = tempPath("gzsync");
    int one = 1;
    RibWriter* w = new RibWriter(path.c_str(), "gzip", &one, RI_NULL);
    w->WorldBegin();
    w->WorldEnd();
    Inflated partial = gunzip(readFile(path));
    EXPECT_TRUE(partial.valid);
    EXPECT_FALSE(partial.complete);
    EXPECT_EQ(partial.text, kHeader + "WorldBegin\nWorldEnd\n");
    w->FrameEnd();
    delete w;
    EXPECT_EQ(gunzip(readFile(path)).text, kHeader + "WorldBegin\nWorldEnd\nFrameEnd\n\n");
    std::remove(path.c_str());
}

TEST(GzipOutput, AWriterNeverDestroyedStillEndsAsAWholeGzipFile) {
    std::string path = tempPath("gzexit");
    auto r = runInChild([&] {
        int one = 1;
        RibWriter* w = new RibWriter(path.c_str(), "gzip", &one, RI_NULL);
        w->FrameBegin(1);
        // What follows the exit-time ending of the stream, such as the final
        // line break of a writer destroyed by a later exit handler, goes out
        // as a further member.
        duzozo::RibStream::flushAll();
        w->FrameEnd();
        std::exit(0);
    });
    EXPECT_EQ(r.status, 0);
    Inflated z = gunzip(readFile(path));
    EXPECT_TRUE(z.valid && z.complete);
    EXPECT_EQ(z.text, kHeader + "FrameBegin 1\nFrameEnd\n");
    std::remove(path.c_str());
}
