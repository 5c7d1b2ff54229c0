#pragma once

#include <unistd.h>

#include <cstdio>

// Construction writes progress lines; keep them out of the report.
template <class T, class... Args>
T* quietly(Args... args) {
    std::fflush(stderr);
    int saved = dup(2);
    std::FILE* null = std::fopen("/dev/null", "w");
    dup2(fileno(null), 2);
    T* made = new T(args...);
    dup2(saved, 2);
    close(saved);
    std::fclose(null);
    return made;
}
