// Request sequences decoded from the input bytes, written as text and as
// binary RIB and read back: any reader complaint or any difference between
// the two forms is a fault.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/support/ribcalls.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string problems = ribcheck::checkCalls(data, size, 100);
    if (!problems.empty()) {
        std::fprintf(stderr, "%s", problems.c_str());
        std::abort();
    }
    return 0;
}
