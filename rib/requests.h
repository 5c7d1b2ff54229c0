// Helpers shared by the files that write the requests.
#pragma once

#include <initializer_list>

#include "rib/ribwriter.h"

namespace duzozo {

// The filter's standard name, or "" for a function of the caller's own. A
// filter is known by its address only.
const char* ribFilterName(RtFilterFunc filter);

// Each value as " %g": the fixed numbers of a request stay text in either
// encoding.
void writeGs(RibWriter& w, std::initializer_list<RtFloat> values);

}  // namespace duzozo
