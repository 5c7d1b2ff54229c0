#include "rib/internal/paramvaluelist.h"

#include <cstdlib>
#include <cstring>

#include "rib/internal/declarations.h"
#include "rib/internal/symtab.h"

namespace duzozo {

// Zero before any static initialiser runs.
ParamValueStats paramValueStats = {0, 0, 0, 0, 0, 0};

namespace {

// Entries are allocated this many at a time and never freed.
constexpr int kEntriesPerChunk = 32;

ParamValueEntry* freeEntries = nullptr;

ParamValueEntry* takeEntry() {
    ParamValueEntry* entry;
    if (freeEntries) {
        entry = freeEntries;
        freeEntries = entry->next;
    } else {
        // The first entry of a new chunk is handed out, the other 31 wait on
        // the free list.
        ParamValueEntry* chunk = new ParamValueEntry[kEntriesPerChunk];
        for (int i = kEntriesPerChunk - 1; i >= 1; --i) {
            chunk[i].next = freeEntries;
            freeEntries = &chunk[i];
        }
        entry = chunk;
    }
    *entry = ParamValueEntry();
    ParamValueStats& s = paramValueStats;
    ++s.entriesRequested;
    if (++s.entriesOutstanding > s.entriesPeak) s.entriesPeak = s.entriesOutstanding;
    return entry;
}

void giveBackEntry(ParamValueEntry* entry) {
    entry->next = freeEntries;
    freeEntries = entry;
    --paramValueStats.entriesOutstanding;
}

void* copyData(const void* values, int size) {
    void* data = std::malloc(size > 0 ? size : 1);
    if (values && size > 0) std::memcpy(data, values, size);
    ParamValueStats& s = paramValueStats;
    s.dataRequested += size;
    s.dataOutstanding += size;
    if (s.dataOutstanding > s.dataPeak) s.dataPeak = s.dataOutstanding;
    return data;
}

void freeData(ParamValueEntry* entry) {
    std::free(entry->data);
    paramValueStats.dataOutstanding -= entry->dataSize;
    entry->data = nullptr;
}

}  // namespace

ParamValueEntry* makeParamValueEntry(const char* token, int type, int storageClass, int arraySize,
                                     const void* values, int wordCount) {
    ParamValueEntry* entry = takeEntry();
    entry->token = token;
    entry->type = int8_t(type);
    entry->storageClass = int8_t(storageClass);
    entry->arraySize = int16_t(arraySize);
    if (wordCount < 0) wordCount = 0;
    // A string word is a whole text pointer, which is wider than 4 bytes on
    // 64-bit machines.
    int wordBytes = type == kTypeString ? int(sizeof(const char*)) : 4;
    entry->dataSize = wordCount * wordBytes;
    entry->data = copyData(values, entry->dataSize);
    if (values && type == kTypeString) {
        const char** texts = static_cast<const char**>(entry->data);
        for (int i = 0; i < arraySize && i < wordCount; ++i) texts[i] = internString(texts[i]);
    }
    return entry;
}

void releaseParamValueEntry(ParamValueEntry* entry) {
    freeData(entry);
    giveBackEntry(entry);
}

}  // namespace duzozo

using namespace duzozo;

void ParamValueList::clear() {
    while (first) {
        ParamValueEntry* entry = first;
        first = entry->next;
        releaseParamValueEntry(entry);
    }
}

void ParamValueList::append(ParamValueEntry* entry) {
    entry->next = nullptr;
    ParamValueEntry** link = &first;
    while (*link) link = &(*link)->next;
    *link = entry;
}

void ParamValueList::copyFrom(const ParamValueList& other) {
    if (&other == this) return;
    clear();
    for (const ParamValueEntry* e = other.first; e; e = e->next) {
        ParamValueEntry* copy = takeEntry();
        *copy = *e;
        copy->next = nullptr;
        copy->data = copyData(e->data, e->dataSize);
        append(copy);
    }
}

void ParamValueList::moveTo(ParamValueList& other) {
    if (&other == this) return;
    other.clear();
    other.first = first;
    first = nullptr;
}

ParamValueEntry* ParamValueList::find(const char* token) const {
    for (ParamValueEntry* e = first; e; e = e->next) {
        if (e->token == token) return e;
    }
    return nullptr;
}

void* ParamValueList::data(const char* token) const {
    ParamValueEntry* e = find(token);
    return e ? e->data : nullptr;
}

void* ParamValueList::remove(const char* token) {
    for (ParamValueEntry** link = &first; *link; link = &(*link)->next) {
        ParamValueEntry* e = *link;
        if (e->token != token) continue;
        *link = e->next;
        void* data = e->data;
        giveBackEntry(e);
        return data;
    }
    return nullptr;
}

void ParamValueList::print() const {
    std::printf("Param/value list:\n");
    for (const ParamValueEntry* e = first; e; e = e->next) {
        std::printf("  Item: %s, size = %d\n", e->token ? e->token : "", e->dataSize);
    }
    std::printf("\n");
}

void printParamValueStats(FILE* stream) {
    const ParamValueStats& s = paramValueStats;
    std::fprintf(stream, "Param/value list stats:\n");
    std::fprintf(stream,
                 "    param/value entries: %ld requested, %ld outstanding, %ld peak (%ld kb)\n",
                 s.entriesRequested, s.entriesOutstanding, s.entriesPeak,
                 long(static_cast<unsigned long>(s.entriesPeak) * sizeof(ParamValueEntry) / 1024));
    std::fprintf(stream,
                 "    param/value data memory: %ldk requested, %ldk outstanding,  %ldk peak\n",
                 s.dataRequested / 1024, s.dataOutstanding / 1024, s.dataPeak / 1024);
    std::fflush(stream);
}
