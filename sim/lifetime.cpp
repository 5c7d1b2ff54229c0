#include "sim/lifetime.h"

#include <sys/mman.h>

#include <new>
#include <vector>

void keepForever(const void* block) {
    // Held through a pointer that is never deleted: a static vector would be
    // destroyed at exit and leave its blocks unreferenced.
    static std::vector<const void*>* registry = new std::vector<const void*>;
    registry->push_back(block);
}

void* foreverStorage(std::size_t bytes, std::size_t alignment) {
#ifdef MADV_HUGEPAGE
    // A large body's nodes and springs are walked in full every step; in
    // huge pages they need far fewer address translations. Only a hint:
    // where the system declines, the pages stay small.
    constexpr std::size_t kHuge = std::size_t(2) << 20;
    if (bytes >= 2 * kHuge) {
        bytes = (bytes + kHuge - 1) / kHuge * kHuge;
        void* block = ::operator new(bytes, std::align_val_t(kHuge));
        madvise(block, bytes, MADV_HUGEPAGE);
        keepForever(block);
        return block;
    }
#endif
    void* block = alignment > __STDCPP_DEFAULT_NEW_ALIGNMENT__
                      ? ::operator new(bytes, std::align_val_t(alignment))
                      : ::operator new(bytes);
    keepForever(block);
    return block;
}
