#include "sim/lifetime.h"

#include <new>
#include <vector>

void keepForever(const void* block) {
    // Held through a pointer that is never deleted: a static vector would be
    // destroyed at exit and leave its blocks unreferenced.
    static std::vector<const void*>* registry = new std::vector<const void*>;
    registry->push_back(block);
}

void* foreverStorage(std::size_t bytes) {
    void* block = ::operator new(bytes);
    keepForever(block);
    return block;
}
