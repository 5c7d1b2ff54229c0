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

// Decompresses every gzip member in turn, as gzip -dc does; a stream cut off
// after a sync flush gives what was flushed, without being complete.
Inflated gunzip(const std::string& data) {
    Inflated result;
    z_stream z{};
    inflateInit2(&z, 16 + MAX_WBITS);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = uInt(data.size());
    unsigned char out[4096];
    while (true) {
        z.next_out = out;
        z.avail_out = sizeof out;
        int rc = inflate(&z, Z_NO_FLUSH);
        result.text.append(reinterpret_cast<char*>(out), sizeof out - z.avail_out);
        if (rc == Z_STREAM_END) {
            result.complete = true;
            if (z.avail_in == 0) break;
            inflateReset(&z);
        } else if (rc == Z_OK) {
            result.complete = false;
        } else {
            result.valid = rc == Z_BUF_ERROR;
            break;
        }
    }
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

std::string plainScene(int binary) {
    return kHeader + request_test::rib([](RibWriter& w) { writeScene(w); }, binary) + "\n";
}

}  // namespace

TEST(GzipOutput, FilePipeAndStandardOutputDecompressToThePlainBytes) {
    for (int binary : {0, 1, 2}) {
        std::string expected = plainScene(binary);
        const char* formats[] = {"ascii", "binary", "complete"};
        const char* gzip = "gzip";

        std::string file = tempPath("gzfile");
        RibWriter* w = new RibWriter(file.c_str(), "format", &formats[binary], "compression",
                                     &gzip, RI_NULL);
        writeScene(*w);
        delete w;

        std::string capture = tempPath("gzpipe");
        std::string target = "|cat > '" + capture + "'";
        int one = 1;
        w = new RibWriter(target.c_str(), "binary", &binary, "gzip", &one, RI_NULL);
        writeScene(*w);
        delete w;

        auto child = runInChild([&] {
            RibWriter* out = new RibWriter(nullptr, "binary", &binary, "gzip", &one, RI_NULL);
            writeScene(*out);
            delete out;
        });
        EXPECT_EQ(child.status, 0);

        for (const std::string& data : {readFile(file), readFile(capture), child.out}) {
            EXPECT_EQ(data.substr(0, 2), "\x1f\x8b");
            EXPECT_LT(data.size(), expected.size() / 2);
            Inflated z = gunzip(data);
            EXPECT_TRUE(z.valid && z.complete);
            EXPECT_TRUE(z.text == expected) << "binary " << binary;
        }
        std::remove(file.c_str());
        std::remove(capture.c_str());
    }
}

TEST(GzipOutput, TheRibOptionReachesRiBegin) {
    std::string path = tempPath("gzribopt");
    std::string expected = plainScene(1);
    auto r = runInChild([&] {
        const char* binary = "binary";
        const char* gzip = "gzip";
        RiOption("rib", "format", &binary, "compression", &gzip, RI_NULL);
        writeScene(*RiBegin(path.c_str()));
        delete currentRenderer;
        RiOption("rib", "compression", &binary, RI_NULL);  // anything but "gzip" turns it off
        std::exit(ribGzipCompression);
    });
    EXPECT_EQ(r.status, 0);
    Inflated z = gunzip(readFile(path));
    EXPECT_TRUE(z.complete);
    EXPECT_TRUE(z.text == expected);
    std::remove(path.c_str());
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
