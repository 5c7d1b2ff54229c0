// Chained hash tables over text keys, the two process-wide tables of the RIB
// writer, and the pool of interned strings.
#pragma once

#include <cstdint>
#include <cstdio>

// One named entry. The name is not owned: it is an interned or pooled copy.
struct SymbolEntry {
    explicit SymbolEntry(const char* entryName);
    virtual ~SymbolEntry() = default;

    const char* name;
    uint32_t hash;
    int level = 0;
    int scope = 0;
    SymbolEntry* next = nullptr;
};

namespace duzozo {
// The ELF / System V string hash; a null text hashes to 0.
uint32_t symbolHash(const char* text);
}  // namespace duzozo

class SymbolTable {
  public:
    // Constant-initialised, so that a table can be used from any static
    // initialiser whatever the order of translation units; the buckets are
    // allocated on first use. A count of 0 gets one bucket: every hash is
    // taken modulo the count.
    constexpr explicit SymbolTable(unsigned count) : bucketCount(count ? count : 1) {}
    ~SymbolTable();
    SymbolTable(const SymbolTable&) = delete;
    SymbolTable& operator=(const SymbolTable&) = delete;

    // Returns 1 when an entry of equal name was already in the chain; with
    // allowDuplicate 0 the entry is then not inserted.
    int insert(SymbolEntry* entry, int allowDuplicate);
    SymbolEntry* lookup(const char* key);
    SymbolEntry* findNext(SymbolEntry* entry);
    void forEach(void (*routine)(SymbolEntry*));
    void pushScope();
    void popScope(int unlink);
    void removeLevel(int removedLevel);
    void printStatistics(FILE* stream);
    // Deletes every entry and frees the buckets; the table stays usable.
    void destroy();
    // Allocates the buckets if that has not happened yet.
    void build();

    SymbolEntry** buckets = nullptr;
    unsigned bucketCount;
    int level = 0;
    int currentScope = 0;
    int nextScope = 1;
    int scopeStack[256] = {};
    int stackTop = 0;
    int lookups = 0;
    int found = 0;
    int misses = 0;
    int extraChainSteps = 0;
    int entriesAdded = 0;
    int bucketsUsed = 0;

  private:
    bool visible(int entryScope) const;
    void unlinkWhere(bool (*match)(const SymbolEntry*, int), int value, bool remove);
};

extern SymbolTable stringTable;  // 12289 buckets: one entry per interned string
extern SymbolTable tokenTable;   // 5003 buckets: token declarations

namespace duzozo {
// Allocates both tables' buckets now rather than on first use, for a program
// that builds them at a chosen point of its start-up.
void buildSymbolTables();
}  // namespace duzozo

// The shared, never-freed copy of the text; equal texts give one pointer.
const char* internString(const char* text);

namespace duzozo {

// Short strings are packed into blocks of this many bytes.
struct StringPoolBlock {
    char bytes[1024];
    int used = 0;
    StringPoolBlock* next = nullptr;
};
// The newest block first.
extern StringPoolBlock* stringPoolBlocks;

}  // namespace duzozo
