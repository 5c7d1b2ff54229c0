// Filters between a reader and a writer: the documented example does what it
// says, the forwarding filter changes nothing, and C programs read RIB into
// the current renderer.
#include "rib/ribfilter.h"

#include <fstream>
#include <string>

#include "rib/ribreader.h"
#include "rib/ribwriter.h"
#include "tests/rib/request_capture.h"

using request_test::kHeader;

namespace {

// The user's filter of docs/libduzozo.md.
struct Matte : duzozo::RibFilter {
    using RibFilter::RibFilter;
    void SurfaceV(RtToken, RtInt n, RtToken t[], RtPointer v[]) override {
        next->SurfaceV("matte", n, t, v);
    }
    void SphereV(RtFloat, RtFloat, RtFloat, RtFloat, RtInt, RtToken[], RtPointer[]) override {}
};

}  // namespace

TEST(Filters, TheDocumentedFilterWritesMatteAndDropsSpheres) {
    TempDir dir;
    std::string in = dir.path + "/scene.rib", out = dir.path + "/matte.rib";
    { std::ofstream(in) << "WorldBegin\nSurface \"plastic\" \"Kd\" [0.5]\nSphere 1 -1 1 360\n"
                           "Cylinder 1 0 1 360\nWorldEnd\n"; }
    {
        RibWriter writer(out.c_str(), RI_NULL);
        Matte matte(writer);
        duzozo::RibReader(matte).readFile(in);
        // The variable-argument form goes through the filter's vector form.
        matte.Surface("plastic", RI_NULL);
    }
    EXPECT_EQ(readFile(out), kHeader +
                                 "WorldBegin\nSurface \"matte\" \"Kd\" [0.5]\n"
                                 "Cylinder 1 0 1 360\nWorldEnd\nSurface \"matte\"\n\n");
}

TEST(Filters, ForwardingChangesNothingAndTheSinkTakesEverything) {
    std::string source = request_test::rib([](RibWriter& w) {
        RtFloat from[3] = {0, 1, 2};
        RtLightHandle light = w.LightSource("pointlight", "from", from, RI_NULL);
        w.Illuminate(light, 0);
        w.MotionBegin(2, 0.0, 1.0);
        w.Translate(1, 2, 3);
        w.MotionEnd();
        w.ArchiveRecord("comment", "made by %s", "the test");
        w.ObjectInstance(w.ObjectBegin());
    });
    std::string copy = request_test::rib([&](RibWriter& w) {
        duzozo::RibFilter forward(w);
        duzozo::RibReader reader(forward);
        std::string whole = kHeader + source;
        reader.readBuffer(whole.data(), whole.size());
        // Through the filter, the handles are the writer's own.
        RtFloat from[3] = {0, 1, 2};
        EXPECT_EQ(forward.LightSource("pointlight", "from", from, RI_NULL), 2);
    });
    EXPECT_EQ(copy, source + "LightSource \"pointlight\" 2 \"from\" [0 1 2]\n");
    duzozo::RibSink sink;
    EXPECT_EQ(sink.LightSource("pointlight", RI_NULL), 0);
    EXPECT_EQ(sink.TransformPoints("a", "b", 0, nullptr), nullptr);
}

TEST(Filters, CProgramsReadAFileIntoTheCurrentRenderer) {
    TempDir dir;
    std::string in = dir.path + "/in.rib", out = dir.path + "/out.rib";
    { std::ofstream(in) << kHeader << "FrameBegin 3\nFrameEnd\n"; }
    RiBegin(out.c_str());
    RiReadRIB(in.c_str());
    RiEnd();
    EXPECT_EQ(readFile(out), kHeader + "FrameBegin 3\nFrameEnd\n\n");
}
