// Pooled parameter/value lists and their statistics.
#include "rib/internal/paramvaluelist.h"

#include <string>

#include "rib/internal/declarations.h"
#include "rib/internal/symtab.h"
#include "tests/rib/request_capture.h"
#include "tests/support/childprocess.h"

using namespace duzozo;

namespace {

std::string statsText() {
    std::string path = tempPath("pvstats");
    FILE* f = std::fopen(path.c_str(), "wb");
    printParamValueStats(f);
    std::fclose(f);
    std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

}  // namespace

TEST(ParamValueList, ListOperationsAndCounters) {
    auto r = runInChild([] {
        ParamValueStats& s = paramValueStats;
        if (s.entriesRequested != 0 || s.dataPeak != 0) std::exit(2);
        const char* kd = internString("Kd");
        const char* from = internString("from");
        RtFloat half = 0.5f, point[] = {1, 2, 3};
        ParamValueList list;
        list.append(makeParamValueEntry(kd, kTypeFloat, kClassUniform, 1, &half, 1));
        list.append(makeParamValueEntry(from, kTypePoint, kClassUniform, 1, point, 3));
        if (*static_cast<RtFloat*>(list.data(kd)) != 0.5f) std::exit(3);
        if (list.data(internString("absent")) != nullptr) std::exit(4);
        ParamValueList copy;
        copy.copyFrom(list);
        if (copy.find(from) == list.find(from)) std::exit(5);
        if (static_cast<RtFloat*>(copy.data(from))[2] != 3.0f) std::exit(6);
        ParamValueList moved;
        copy.moveTo(moved);
        if (copy.first != nullptr || moved.find(kd) == nullptr) std::exit(7);
        void* data = moved.remove(kd);  // handed to the caller
        if (*static_cast<RtFloat*>(data) != 0.5f || moved.find(kd)) std::exit(8);
        std::free(data);
        list.print();
        std::printf("%ld %ld %ld %ld %ld %ld\n", s.entriesRequested, s.entriesOutstanding,
                    s.entriesPeak, s.dataRequested, s.dataOutstanding, s.dataPeak);
        list.clear();
        moved.clear();
        std::printf("%ld %ld\n", s.entriesOutstanding, s.dataOutstanding);
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Param/value list:\n  Item: Kd, size = 4\n  Item: from, size = 12\n\n"
              "4 3 4 32 32 32\n"
              "0 4\n");  // the removed entry's data stays counted: it was handed out
}

TEST(ParamValueList, StringValuesAreWholePointersAndInterned) {
    auto r = runInChild([] {
        char first[] = "texture.tx", second[] = "shadow.tx";
        const char* values[] = {first, second};
        ParamValueEntry* e = makeParamValueEntry(internString("texturename"), kTypeString,
                                                 kClassUniform, 2, values, 2);
        const char** copy = static_cast<const char**>(e->data);
        if (e->dataSize != int(2 * sizeof(char*))) std::exit(1);
        if (copy[0] != internString("texture.tx")) std::exit(2);
        if (copy[1] != internString("shadow.tx")) std::exit(3);
        releaseParamValueEntry(e);
    });
    EXPECT_EQ(r.status, 0);
}

TEST(ParamValueList, EveryEntryOfAChunkIsHandedOut) {
    auto r = runInChild([] {
        RtFloat one = 1;
        ParamValueList list;
        ParamValueEntry* entries[32];
        for (ParamValueEntry*& e : entries) {
            e = makeParamValueEntry(internString("Kd"), kTypeFloat, kClassUniform, 1, &one, 1);
            list.append(e);
        }
        // One chunk of 32 serves all of them, first entry first.
        for (int i = 1; i < 32; ++i) {
            if (entries[i] != entries[0] + i) std::exit(i);
        }
        ParamValueEntry* last = entries[31];
        list.clear();
        ParamValueEntry* again =
            makeParamValueEntry(internString("Kd"), kTypeFloat, kClassUniform, 1, &one, 1);
        std::exit(again == last ? 0 : 100);  // released entries are reused, newest first
    });
    EXPECT_EQ(r.status, 0);
}

TEST(ParamValueList, StatisticsReport) {
    auto r = runInChild([] {
        std::printf("%s", statsText().c_str());
        ParamValueList list;
        for (int i = 0; i < 40; ++i) {
            list.append(makeParamValueEntry(internString("Kd"), kTypeFloat, kClassUniform, 1,
                                            nullptr, 1000));
        }
        list.clear();
        std::printf("%s", statsText().c_str());
    });
    std::string peakKb = std::to_string(40 * sizeof(ParamValueEntry) / 1024);
    EXPECT_EQ(r.out,
              "Param/value list stats:\n"
              "    param/value entries: 0 requested, 0 outstanding, 0 peak (0 kb)\n"
              "    param/value data memory: 0k requested, 0k outstanding,  0k peak\n"
              "Param/value list stats:\n"
              "    param/value entries: 40 requested, 0 outstanding, 40 peak (" +
                  peakKb +
                  " kb)\n"
                  "    param/value data memory: 156k requested, 0k outstanding,  156k peak\n");
}
