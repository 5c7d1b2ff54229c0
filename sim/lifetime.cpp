#include "sim/lifetime.h"

#include <new>
#include <vector>

void keepForever(const void* block) {
    // Held through a pointer that is never deleted: a static vector would be
    // destroyed at exit and leave its blocks unreferenced.
    static std::vector<const void*>* registry = new std::vector<const void*>;
    registry->push_back(block);
}

void* foreverStorage(std::size_t bytes, std::size_t alignment) {
    void* block = alignment > __STDCPP_DEFAULT_NEW_ALIGNMENT__
                      ? ::operator new(bytes, std::align_val_t(alignment))
                      : ::operator new(bytes);
    keepForever(block);
    return block;
}
