// Pooled lists of (token, value) parameters with copies of their data. The
// writer's requests do not use them; they are kept with their statistics.
#pragma once

#include <cstdint>
#include <cstdio>

struct ParamValueEntry {
    ParamValueEntry* next = nullptr;
    const char* token = nullptr;  // interned
    int dataSize = 0;             // bytes
    int8_t type = 0;
    int8_t storageClass = 0;
    int16_t arraySize = 0;
    void* data = nullptr;  // the entry's own copy of the values
};

namespace duzozo {

// Takes an entry from the pool and copies wordCount words of values into it
// (when values are given). A word is 4 bytes, or one text pointer for a
// string; the copied string pointers are replaced by their interned copies.
ParamValueEntry* makeParamValueEntry(const char* token, int type, int storageClass, int arraySize,
                                     const void* values, int wordCount);
// Frees the entry's data and returns it to the pool.
void releaseParamValueEntry(ParamValueEntry* entry);

}  // namespace duzozo

class ParamValueList {
  public:
    ParamValueList() = default;
    ~ParamValueList() { clear(); }
    ParamValueList(const ParamValueList&) = delete;
    ParamValueList& operator=(const ParamValueList&) = delete;

    void clear();
    void append(ParamValueEntry* entry);
    // Replaces this list's entries by copies of the other's, in order.
    void copyFrom(const ParamValueList& other);
    // Hands every entry to the other list (cleared first); this one ends empty.
    void moveTo(ParamValueList& other);
    // Tokens are compared by pointer: they are interned.
    ParamValueEntry* find(const char* token) const;
    void* data(const char* token) const;
    // Unlinks and releases the token's entry; its data goes to the caller
    // (null when the token is not in the list).
    void* remove(const char* token);
    void print() const;

    ParamValueEntry* first = nullptr;
};

namespace duzozo {

struct ParamValueStats {
    long entriesRequested;
    long entriesOutstanding;
    long entriesPeak;
    long dataRequested;
    long dataOutstanding;
    long dataPeak;
};
extern ParamValueStats paramValueStats;

}  // namespace duzozo

void printParamValueStats(FILE* stream);
