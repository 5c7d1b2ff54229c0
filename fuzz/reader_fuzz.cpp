// Any bytes read as RIB (text, binary, gzip, or a mix) into a writer: the
// reader must never crash, hang or read past its input, and must hand the
// writer exactly as many values as the writer takes for each parameter (a
// miscount shows as a read past an array under the sanitizers).
#include <cstdint>
#include <cstdlib>

#include "rib/ribreader.h"
#include "rib/ribwriter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool quiet = (RiErrorHandler(RiErrorIgnore), true);
    (void)quiet;
    // The first byte chooses the writer's encoding, so that every form of
    // output is driven by what was read.
    int binary = size > 0 ? data[0] % 3 : 0;
    RibWriter writer("/dev/null", "binary", &binary, RI_NULL);
    duzozo::RibReader reader(writer);
    reader.readBuffer(data, size, "fuzz");
    reader.finish();
    return 0;
}
