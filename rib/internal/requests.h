// Helpers shared by the files that write the requests.
#pragma once

#include <initializer_list>

#include "rib/ribwriter.h"

namespace duzozo {

// The filter's standard name, or "" for a function of the caller's own. A
// filter is known by its address only.
const char* ribFilterName(RtFilterFunc filter);

// Each value as " %g": the fixed numbers of a request stay text unless the
// encoding is complete.
void writeGs(RibWriter& w, std::initializer_list<RtFloat> values);

// A count below least (or any entry of an array of counts or indices below
// 0) is impossible input: it is reported as out of range, and the request is
// left out of the stream, which a reader can then still read.
bool usableCount(RibWriter& w, const char* request, const char* what, long long count,
                 long long least = 0);
bool usableCounts(RibWriter& w, const char* request, const char* what, const RtInt* counts,
                  long long n);

// A request whose name is a fixed argument writes "" for a null one, so that
// a reader never takes the next value for the name.
inline RtToken named(RtToken name) {
    return name ? name : "";
}

// Keyword "name" [handle] and the parameter list, after the Declare lines
// its tokens need.
inline void writeNamedRequest(RibWriter& w, const char* keyword, RtToken name, RtInt handle,
                              RtInt n, RtToken tokens[], RtPointer values[]) {
    w.WriteRequest(keyword);
    w.WriteParams(named(name), handle, n, tokens, values);
}

}  // namespace duzozo
