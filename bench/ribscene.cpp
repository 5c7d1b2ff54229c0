// Writes the benchmarks' large text RIB scene to a file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "bench/scenegen.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 || std::strcmp(argv[1], "--help") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: ribscene OUT [MB]  (default 30 MB)\n");
        return argc == 2 ? 0 : 2;
    }
    double megabytes = 30;
    if (argc == 3) {
        char* end = nullptr;
        megabytes = std::strtod(argv[2], &end);
        if (end == argv[2] || *end != '\0' || !(megabytes > 0) || megabytes > 4000) {
            std::fprintf(stderr, "ribscene: the size must be a number of MB above 0\n");
            return 2;
        }
    }
    std::string scene = duzozo::bench::generateScene(megabytes);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    bool ok = std::fwrite(scene.data(), 1, scene.size(), out) == scene.size();
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
