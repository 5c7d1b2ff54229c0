// Symbol tables, the string pool and their statistics.
#include "rib/internal/symtab.h"

#include <cstring>
#include <string>
#include <vector>

#include "tests/rib/request_capture.h"

using namespace duzozo;

namespace {

// Interned during static initialisation, before the library's own
// initialisers may have run: the tables must already be usable.
const char* const earlyInterned = internString("interned-before-main");

std::string statisticsText(SymbolTable& table) {
    std::string path = tempPath("stats");
    FILE* f = std::fopen(path.c_str(), "wb");
    table.printStatistics(f);
    std::fclose(f);
    std::string text = readFile(path);
    std::remove(path.c_str());
    return text;
}

bool insidePool(const char* p) {
    for (StringPoolBlock* b = stringPoolBlocks; b; b = b->next) {
        if (p >= b->bytes && p < b->bytes + sizeof b->bytes) return true;
    }
    return false;
}

}  // namespace

TEST(SymbolTable, HashAndBuckets) {
    EXPECT_EQ(symbolHash("abc"), 26499u);
    EXPECT_EQ(symbolHash(""), 0u);
    EXPECT_EQ(symbolHash(nullptr), 0u);
    // Long texts fold their high nibble back in and stay within 28 bits.
    EXPECT_LT(symbolHash("a fairly long name for a parameter, longer than eight"), 1u << 28);
    EXPECT_EQ(symbolHash("\xff"), 0xffu);  // bytes are taken unsigned
}

TEST(SymbolTable, TablesAreUsableFromStaticInitialisersAndBuiltOnRequest) {
    EXPECT_NE(stringTable.buckets, nullptr);
    EXPECT_EQ(internString("interned-before-main"), earlyInterned);
    duzozo::buildSymbolTables();
    EXPECT_NE(tokenTable.buckets, nullptr);
    SymbolEntry** buckets = stringTable.buckets;
    duzozo::buildSymbolTables();  // once built, the tables keep their entries
    EXPECT_EQ(stringTable.buckets, buckets);
    EXPECT_EQ(internString("interned-before-main"), earlyInterned);
}

TEST(SymbolTable, InsertLookupAndDuplicates) {
    SymbolTable t(7);
    SymbolEntry* older = new SymbolEntry("key");
    EXPECT_EQ(t.insert(older, 0), 0);
    SymbolEntry* refused = new SymbolEntry("key");
    EXPECT_EQ(t.insert(refused, 0), 1);
    delete refused;
    EXPECT_EQ(t.entriesAdded, 1);
    EXPECT_EQ(t.lookup("key"), older);

    SymbolEntry* newer = new SymbolEntry("key");
    EXPECT_EQ(t.insert(newer, 1), 1);
    EXPECT_EQ(t.lookup("key"), newer);  // the newer entry shadows
    EXPECT_EQ(t.findNext(newer), older);
    EXPECT_EQ(t.findNext(older), nullptr);
    EXPECT_EQ(t.entriesAdded, 2);
    EXPECT_EQ(t.bucketsUsed, 1);
}

TEST(SymbolTable, LookupStatisticsCountChainSteps) {
    SymbolTable fresh(5003);  // nothing looked up yet: no division by 0
    EXPECT_EQ(statisticsText(fresh),
              "Symbol table statistics:\n"
              "  0 entries added to table in 0 distinct buckets\n"
              "  0% of buckets used, avg. 0 entries per bucket.\n"
              "  0 total lookups, 0 found, 0 misses.\n"
              "  0 extra chain walking steps (0 probes per lookup)\n");
    SymbolTable t(1);  // one bucket: every entry shares the chain
    for (const char* name : {"a", "b", "c"}) t.insert(new SymbolEntry(name), 0);
    EXPECT_EQ(t.lookup("missing"), nullptr);
    EXPECT_EQ(t.lookups, 1);
    EXPECT_EQ(t.misses, 1);
    EXPECT_EQ(t.extraChainSteps, 3);
    ASSERT_NE(t.lookup("a"), nullptr);  // the oldest, at the end of the chain
    EXPECT_EQ(t.found, 1);
    EXPECT_EQ(t.extraChainSteps, 5);
    EXPECT_EQ(statisticsText(t),
              "Symbol table statistics:\n"
              "  3 entries added to table in 1 distinct buckets\n"
              "  100% of buckets used, avg. 3 entries per bucket.\n"
              "  2 total lookups, 1 found, 1 misses.\n"
              "  5 extra chain walking steps (3.5 probes per lookup)\n");

    SymbolTable none(0);  // no buckets asked for: one chain, never a division by 0
    none.insert(new SymbolEntry("a"), 0);
    EXPECT_NE(none.lookup("a"), nullptr);
    EXPECT_EQ(none.bucketCount, 1u);
}

TEST(SymbolTable, ScopesHideAndUnlinkTheirEntries) {
    SymbolTable t(3);
    SymbolEntry* outer = new SymbolEntry("x");
    t.insert(outer, 1);
    t.pushScope();
    SymbolEntry* inner = new SymbolEntry("x");
    t.insert(inner, 1);
    EXPECT_EQ(inner->scope, 1);
    EXPECT_EQ(t.lookup("x"), inner);
    EXPECT_EQ(t.findNext(inner), outer);  // the outer scope is on the stack
    t.popScope(1);
    EXPECT_EQ(t.lookup("x"), outer);
    EXPECT_EQ(inner->next, nullptr);
    delete inner;  // unlinked, not deleted, by the pop

    t.pushScope();
    t.insert(new SymbolEntry("y"), 0);
    t.popScope(0);  // left linked but out of sight
    EXPECT_EQ(t.lookup("y"), nullptr);
    EXPECT_EQ(t.extraChainSteps, 1);  // passed over, invisible

    // Pushes past the 256 slots and pops below the bottom are refused.
    SymbolTable deep(3);
    for (int i = 0; i < 300; ++i) deep.pushScope();
    EXPECT_EQ(deep.stackTop, 255);
    EXPECT_EQ(deep.currentScope, 255);
    for (int i = 0; i < 300; ++i) deep.popScope(0);
    EXPECT_EQ(deep.stackTop, -1);
    EXPECT_EQ(deep.currentScope, 0);
}

TEST(SymbolTable, RemoveLevelAndForEach) {
    SymbolTable t(2);
    t.level = 1;
    t.insert(new SymbolEntry("keep"), 0);
    t.level = 2;
    t.insert(new SymbolEntry("drop1"), 0);
    t.insert(new SymbolEntry("drop2"), 0);
    t.removeLevel(2);
    EXPECT_EQ(t.level, 1);
    EXPECT_EQ(t.lookup("drop1"), nullptr);
    EXPECT_NE(t.lookup("keep"), nullptr);

    static std::vector<std::string> seen;
    seen.clear();
    t.insert(new SymbolEntry("a"), 0);  // hash 97, bucket 1
    t.insert(new SymbolEntry("b"), 0);  // hash 98, bucket 0, like "keep"
    t.forEach([](SymbolEntry* e) { seen.push_back(e->name); });
    // Bucket by bucket, newest first within a bucket.
    EXPECT_EQ(seen, (std::vector<std::string>{"b", "keep", "a"}));
}

TEST(StringPool, InterningSharesOneCopyAndPacksShortStrings) {
    const char* a = internString("fifteen-chars..");  // 16 bytes with the terminator
    EXPECT_EQ(std::strlen(a), 15u);
    EXPECT_EQ(internString(std::string("fifteen-chars..").c_str()), a);
    EXPECT_TRUE(insidePool(a));
    const char* b = internString("sixteen-chars...");  // 17 bytes: allocated alone
    EXPECT_FALSE(insidePool(b));
    EXPECT_STREQ(b, "sixteen-chars...");
    EXPECT_EQ(internString(nullptr), nullptr);
}

TEST(StringPool, ABlockKeepsItsLastTwoBytesFree) {
    StringPoolBlock* block = new StringPoolBlock;
    block->used = 1008;
    block->next = stringPoolBlocks;
    stringPoolBlocks = block;
    const char* fits = internString("pool-test-13c");  // 14 bytes: 1008 + 14 + 1 < 1024
    EXPECT_EQ(fits, block->bytes + 1008);
    EXPECT_EQ(block->used, 1022);

    StringPoolBlock* second = new StringPoolBlock;
    second->used = 1008;
    second->next = stringPoolBlocks;
    stringPoolBlocks = second;
    const char* elsewhere = internString("pool-test-14ch");  // 15 bytes: no room here
    EXPECT_NE(elsewhere, second->bytes + 1008);
    EXPECT_TRUE(insidePool(elsewhere));
    EXPECT_EQ(second->used, 1008);
}
