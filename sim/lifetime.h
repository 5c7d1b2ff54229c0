#pragma once

#include <cstddef>

// Bodies, nodes and springs are shared by every copy of a body and are never
// destroyed. Each such allocation is recorded in a registry that is never
// cleared, so it stays reachable until the process ends.
void keepForever(const void* block);

// Raw storage of `bytes` bytes, recorded by keepForever and never freed.
void* foreverStorage(std::size_t bytes, std::size_t alignment);

// Raw storage for `count` objects of type T, contiguous, recorded by
// keepForever. The caller constructs the objects in place.
template <class T>
T* foreverBlock(std::size_t count) {
    if (count == 0) return nullptr;
    return static_cast<T*>(foreverStorage(count * sizeof(T), alignof(T)));
}
