// ribcat run for real: what it writes, what it keeps of the frames, what it
// reads in place of an archive, what it finds wrong, and how it ends.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/childprocess.h"

namespace {

const std::string kHeader = "##RenderMan RIB-Structure 1.0\nversion 3.03\n";

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

ChildOutcome ribcat(std::vector<std::string> args) {
    return runChild(RIBCAT, std::move(args));
}

const std::string kFrames =
    "Display \"f.tif\" \"file\" \"rgb\"\n"
    "FrameBegin 1\nWorldBegin\nSphere 1 -1 1 360\nWorldEnd\nFrameEnd\n"
    "FrameBegin 2\nDeclare \"k\" \"float\"\nWorldBegin\nSphere 2 -2 2 360\nWorldEnd\nFrameEnd\n"
    "FrameBegin 3\nWorldBegin\nSurface \"s\" \"k\" [0.5]\nWorldEnd\nFrameEnd\n";

}  // namespace

TEST(Ribcat, ConvertsAndJoinsFilesAndStandardInput) {
    TempDir dir;
    writeText(dir.path + "/a.rib", "WorldBegin\nSphere 1 -1 1 360\n");
    writeText(dir.path + "/b.rib", kHeader + "Cylinder 1 0 1 360\nWorldEnd\n");
    ChildOutcome r = ribcat({dir.path + "/a.rib", dir.path + "/b.rib"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, kHeader + "WorldBegin\nSphere 1 -1 1 360\nCylinder 1 0 1 360\nWorldEnd\n\n");

    // Text to the complete binary encoding and back is the text again.
    std::string binary = dir.path + "/scene.ribb";
    ASSERT_EQ(ribcat({"--binary", "-o", binary, EXAMPLES "/scene.rib"}).status, 0);
    ChildOutcome back = ribcat({"--ascii", binary});
    EXPECT_EQ(back.status, 0) << back.err;
    EXPECT_EQ(back.out, readFile(EXAMPLES "/scene.rib"));
    // And the stored binary example reads as its text.
    ChildOutcome stored = ribcat({EXAMPLES "/scene.binrib"});
    EXPECT_EQ(stored.out, readFile(EXAMPLES "/scene.rib")) << stored.err;
}

TEST(Ribcat, KeepsTheFramesListedAndTheirDeclarations) {
    TempDir dir;
    writeText(dir.path + "/frames.rib", kFrames);
    ChildOutcome r = ribcat({"--frames", "1,3", dir.path + "/frames.rib"});
    EXPECT_EQ(r.status, 0) << r.err;
    // Frame 2 is gone but for its declaration, which frame 3 needs.
    EXPECT_EQ(r.out, kHeader +
                         "Display \"f.tif\" \"file\" \"rgb\"\n"
                         "FrameBegin 1\nWorldBegin\nSphere 1 -1 1 360\nWorldEnd\nFrameEnd\n"
                         "Declare \"k\" \"float\"\n"
                         "FrameBegin 3\nWorldBegin\nSurface \"s\" \"k\" [0.5]\nWorldEnd\nFrameEnd\n\n");
    EXPECT_EQ(ribcat({"--frames", "2-3", dir.path + "/frames.rib"}).out.find("FrameBegin 1"),
              std::string::npos);
}

TEST(Ribcat, ExpandsArchivesWhereTheyStand) {
    TempDir dir;
    std::string sub = dir.path + "/parts";
    ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
    writeText(sub + "/leaf.rib", kHeader + "Declare \"w\" \"float\"\nSphere 1 -1 1 360\n");
    writeText(sub + "/tree.rib", "ReadArchive \"leaf.rib\"\nSurface \"s\" \"w\" [2]\n");
    writeText(dir.path + "/scene.rib", "WorldBegin\nReadArchive \"parts/tree.rib\"\nWorldEnd\n");
    writeText(dir.path + "/loop.rib", "ReadArchive \"loop.rib\"\n");
    ChildOutcome r = ribcat({"--expand-archives", dir.path + "/scene.rib"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kHeader +
                         "WorldBegin\nDeclare \"w\" \"float\"\nSphere 1 -1 1 360\n"
                         "Surface \"s\" \"w\" [2]\nWorldEnd\n\n");
    // Without the option the request is written as it was.
    EXPECT_EQ(ribcat({dir.path + "/scene.rib"}).out,
              kHeader + "WorldBegin\nReadArchive \"parts/tree.rib\"\nWorldEnd\n\n");
    // An archive that reads itself ends, with a problem, not a hang.
    ChildOutcome loop = ribcat({"--expand-archives", dir.path + "/loop.rib"});
    EXPECT_EQ(loop.status, 1);
    EXPECT_NE(loop.err.find("read inside one another too deeply"), std::string::npos) << loop.err;
}

TEST(Ribcat, CheckReportsEveryProblemWithItsPlace) {
    TempDir dir;
    std::string bad = dir.path + "/bad.rib";
    writeText(bad,
              "WorldBegin\nAttributeBegin\nSphere 1 -1 1 360 \"Cs\" [1 2]\nFoo 3\n"
              "Surface \"s\" \"nosuch\" [1]\nWorldEnd\nAttributeEnd\nFrameBegin 1\n");
    ChildOutcome r = ribcat({"--check", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, bad + ":3: Sphere: parameter \"Cs\" has 2 numbers, needs 12 numbers\n" + bad +
                         ":4: unknown request \"Foo\"\n" + bad +
                         ":5: Surface: undeclared parameter \"nosuch\"\n" + bad +
                         ":2: AttributeBegin never ended before WorldEnd\n" + bad +
                         ":7: AttributeEnd without its AttributeBegin\n" + bad +
                         ":8: FrameBegin never ended\n");
    ChildOutcome good = ribcat({"--check", EXAMPLES "/scene.rib"});
    EXPECT_EQ(good.status, 0);
    EXPECT_EQ(good.out + good.err, "");
}

TEST(Ribcat, UsageAndInputOutputErrors) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{"--ascii", "--binary"}, {"--precision", "0"}, {"--precision"},
          {"--frames", "3-1"}, {"--frames", "x"}, {"--nonsense"}, {"-o"}}) {
        ChildOutcome r = ribcat(args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(r.err.substr(0, 8), "ribcat: ") << args[0];
    }
    ChildOutcome help = ribcat({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.substr(0, 10), "Reads RIB ");

    ChildOutcome missing = ribcat({"/no/such/scene.rib"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("/no/such/scene.rib"), std::string::npos) << missing.err;
    ChildOutcome unwritable = ribcat({"-o", "/no/such/dir/out.rib", EXAMPLES "/scene.rib"});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "ribcat: cannot write /no/such/dir/out.rib\n");
}
