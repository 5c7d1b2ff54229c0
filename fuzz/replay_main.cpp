// Runs a fuzz entry point once on each input file named on the command line
// (folders are read file by file, in name order), so that every build
// replays the seed corpus and the reproducers of fixed faults. Options that
// begin with '-' belong to the fuzzing engine and are ignored here.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> inputsOf(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.c_str());
        std::exit(1);
    }
    if (!S_ISDIR(info.st_mode)) return {path};
    std::vector<std::string> files;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name[0] != '.') files.push_back(path + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("usage: %s FILE_OR_FOLDER...\nRuns each input once.\n", argv[0]);
            return 0;
        }
        if (arg[0] == '-') continue;
        for (const std::string& file : inputsOf(arg)) {
            std::string bytes = readFile(file);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
