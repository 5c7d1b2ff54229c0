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

// A request whose name is a fixed argument writes "" for a null one, so that
// a reader never takes the next value for the name.
inline RtToken named(RtToken name) {
    return name ? name : "";
}

// Keyword "name" [handle] and the parameter list, after the Declare lines
// its tokens need.
inline void writeNamedRequest(RibWriter& w, const char* keyword, RtToken name, RtInt handle,
                              RtInt n, RtToken tokens[], RtPointer values[]) {
    w.DeclareUsed(n, tokens);
    w.WriteText(keyword);
    w.WriteParams(named(name), handle, n, tokens, values);
}

}  // namespace duzozo
