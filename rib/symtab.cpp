#include "rib/internal/symtab.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "rib/ri.h"

// Constant-initialised, so that they are there for any caller, from any
// static initialiser, however a program is linked: nothing in the library
// depends on the order in which files are initialised. Their destructors
// empty them at exit in reverse order of definition, the token table first.
SymbolTable stringTable(12289);
SymbolTable tokenTable(5003);
static char* longStrings = nullptr;

namespace duzozo {

StringPoolBlock* stringPoolBlocks = nullptr;

uint32_t symbolHash(const char* text) {
    uint32_t h = 0;
    if (!text) return 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        h = (h << 4) + *p;
        uint32_t g = h & 0xF0000000u;
        if (g) h = h ^ (g >> 24) ^ g;
    }
    return h;
}

namespace {

// Guards stringTable, the pool and the seeding below: any thread may intern.
std::mutex stringTableLock;

// The standard names' own texts are their interned copies, so that the RI_...
// variables and the interned names are one and the same pointers.
void seedStandardNames() {
    static bool seeded = false;
    if (seeded) return;
    seeded = true;
    stringTable.build();
    const char* const names[] = {
#define DUZOZO_TOKEN(variable, name, declaration) variable,
#define DUZOZO_DECLARED(name, declaration)
#define DUZOZO_NAME(variable, name) variable,
#include "rib/standardtokens.h"
    };
    for (const char* name : names) {
        if (stringTable.lookup(name)) continue;
        SymbolEntry* entry = new SymbolEntry(name);
        if (stringTable.insert(entry, 0)) delete entry;
    }
}

}  // namespace

void buildSymbolTables() {
    {
        std::lock_guard<std::mutex> hold(stringTableLock);
        seedStandardNames();
    }
    tokenTable.build();
}

}  // namespace duzozo

using namespace duzozo;

namespace {

// Strings longer than this (terminator included) are allocated one by one.
constexpr int kPooledStringLimit = 16;

bool sameName(const char* a, const char* b) {
    return a == b || (a && b && std::strcmp(a, b) == 0);
}

}  // namespace

SymbolEntry::SymbolEntry(const char* entryName) : name(entryName), hash(symbolHash(entryName)) {}

SymbolTable::~SymbolTable() {
    destroy();
}

void SymbolTable::build() {
    if (!buckets) buckets = static_cast<SymbolEntry**>(std::calloc(bucketCount, sizeof *buckets));
}

bool SymbolTable::visible(int entryScope) const {
    if (stackTop < 0) return false;
    if (entryScope == currentScope) return true;
    for (int i = 0; i <= stackTop; ++i) {
        if (scopeStack[i] == entryScope) return true;
    }
    return false;
}

int SymbolTable::insert(SymbolEntry* entry, int allowDuplicate) {
    build();
    SymbolEntry** head = &buckets[entry->hash % bucketCount];
    bool duplicate = false;
    for (SymbolEntry* e = *head; e; e = e->next) {
        if (e->hash == entry->hash && sameName(e->name, entry->name)) {
            if (!allowDuplicate) return 1;
            duplicate = true;
        }
    }
    if (!*head) ++bucketsUsed;
    entry->next = *head;
    entry->level = level;
    entry->scope = currentScope;
    *head = entry;
    ++entriesAdded;
    return duplicate ? 1 : 0;
}

SymbolEntry* SymbolTable::lookup(const char* key) {
    ++lookups;
    uint32_t h = symbolHash(key);
    SymbolEntry* e = buckets ? buckets[h % bucketCount] : nullptr;
    for (; e; e = e->next) {
        if (e->hash == h && sameName(e->name, key) && visible(e->scope)) {
            ++found;
            return e;
        }
        ++extraChainSteps;
    }
    ++misses;
    return nullptr;
}

SymbolEntry* SymbolTable::findNext(SymbolEntry* entry) {
    for (SymbolEntry* e = entry->next; e; e = e->next) {
        if (!sameName(e->name, entry->name)) continue;
        if (e->scope == entry->scope) return e;
        for (int i = 0; i <= stackTop; ++i) {
            if (scopeStack[i] == e->scope) return e;
        }
    }
    return nullptr;
}

void SymbolTable::forEach(void (*routine)(SymbolEntry*)) {
    if (!buckets) return;
    for (unsigned i = 0; i < bucketCount; ++i) {
        for (SymbolEntry* e = buckets[i]; e;) {
            SymbolEntry* next = e->next;  // the routine may unlink or delete
            routine(e);
            e = next;
        }
    }
}

void SymbolTable::pushScope() {
    // A push beyond the stack's last slot is refused rather than written past it.
    if (stackTop >= int(sizeof scopeStack / sizeof scopeStack[0]) - 1) return;
    ++stackTop;
    scopeStack[stackTop] = currentScope;
    currentScope = nextScope++;
}

void SymbolTable::unlinkWhere(bool (*match)(const SymbolEntry*, int), int value, bool remove) {
    if (!buckets) return;
    for (unsigned i = 0; i < bucketCount; ++i) {
        SymbolEntry** link = &buckets[i];
        while (*link) {
            SymbolEntry* e = *link;
            if (match(e, value)) {
                *link = e->next;
                e->next = nullptr;
                if (remove) delete e;
            } else {
                link = &e->next;
            }
        }
    }
}

void SymbolTable::popScope(int unlink) {
    if (unlink) {
        unlinkWhere([](const SymbolEntry* e, int s) { return e->scope == s; }, currentScope, false);
    }
    // Popping below the bottom slot leaves nothing further to restore.
    if (stackTop < 0) return;
    currentScope = scopeStack[stackTop];
    --stackTop;
}

void SymbolTable::removeLevel(int removedLevel) {
    unlinkWhere([](const SymbolEntry* e, int l) { return e->level == l; }, removedLevel, true);
    level = removedLevel - 1;
}

void SymbolTable::printStatistics(FILE* stream) {
    // A fresh table has no quotient to show; 0 reads better than nan.
    double usedPercent = bucketCount ? 100.0 * bucketsUsed / bucketCount : 0.0;
    double perBucket = bucketsUsed ? double(entriesAdded) / bucketsUsed : 0.0;
    double probes = lookups ? double(extraChainSteps) / lookups + 1 : 0.0;
    std::fprintf(stream, "Symbol table statistics:\n");
    std::fprintf(stream, "  %d entries added to table in %d distinct buckets\n", entriesAdded,
                 bucketsUsed);
    std::fprintf(stream, "  %g%% of buckets used, avg. %g entries per bucket.\n", usedPercent,
                 perBucket);
    std::fprintf(stream, "  %d total lookups, %d found, %d misses.\n", lookups, found, misses);
    std::fprintf(stream, "  %d extra chain walking steps (%g probes per lookup)\n", extraChainSteps,
                 probes);
    std::fflush(stream);
}

void SymbolTable::destroy() {
    if (!buckets) return;
    for (unsigned i = 0; i < bucketCount; ++i) {
        while (SymbolEntry* e = buckets[i]) {
            buckets[i] = e->next;
            delete e;
        }
    }
    std::free(buckets);
    buckets = nullptr;
}

const char* internString(const char* text) {
    if (!text) return nullptr;
    std::lock_guard<std::mutex> hold(stringTableLock);
    seedStandardNames();
    if (SymbolEntry* e = stringTable.lookup(text)) return e->name;
    int n = int(std::strlen(text)) + 1;
    char* copy;
    if (n > kPooledStringLimit) {
        // Each long string is linked behind a pointer-sized header so that it
        // stays reachable after the tables are emptied at exit.
        char* block = static_cast<char*>(std::malloc(sizeof(char*) + size_t(n)));
        std::memcpy(block, &longStrings, sizeof(char*));
        longStrings = block;
        copy = block + sizeof(char*);
    } else {
        StringPoolBlock* block = stringPoolBlocks;
        while (block && !(block->used + n + 1 < int(sizeof block->bytes))) block = block->next;
        if (!block) {
            block = new StringPoolBlock;
            block->next = stringPoolBlocks;
            stringPoolBlocks = block;
        }
        copy = block->bytes + block->used;
        block->used += n;
    }
    std::memcpy(copy, text, n);
    SymbolEntry* entry = new SymbolEntry(copy);
    if (stringTable.insert(entry, 0)) delete entry;
    return copy;
}
