// Files for the tests: reading one back whole, and fresh names in the
// temporary folder. No test framework here: the fuzz targets share it.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A new empty file, or folder, in $TMPDIR (or /tmp) whose name starts with
// `stem`; nobody else gets the same name while it exists.
inline std::string tempPath(const std::string& stem, bool folder = false) {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + stem + "_XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (folder) return mkdtemp(name.data()) ? name.data() : "";
    int fd = mkstemp(name.data());
    if (fd < 0) return "";
    close(fd);
    return name.data();
}

// A temporary folder, removed with all it holds when the test is done.
struct TempDir {
    std::string path;
    explicit TempDir(const std::string& stem = "wobble-test") : path(tempPath(stem, true)) {}
    ~TempDir() {
        std::error_code ignored;
        if (!path.empty()) std::filesystem::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};
