// A RenderInterface that hands every request on to another one, unchanged.
// A filter derives from it and overrides only the requests it changes: read
// RIB into a filter in front of a RibWriter, and the filter's changes are
// what is written. Each variable-argument form collects its pairs and calls
// the filter's own vector form, so overriding the vector form catches both.
#pragma once

#include "rib/ri.h"

namespace duzozo {

class RibFilter : public RenderInterface {
  public:
    explicit RibFilter(RenderInterface& next) : next(&next) {}

#define DUZOZO_REQUEST(result, name, parameters, arguments) \
    result name parameters override { return next->name arguments; }
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) result name parameters override;
#define DUZOZO_SPECIAL(result, name, parameters) result name parameters override;
#include "rib/requestlist.h"

    // Where requests go; a filter may point it elsewhere for a while (at a
    // RibSink to drop what it does not want, say).
    RenderInterface* next;
};

// Takes every request and does nothing with it: handles come back as 0.
class RibSink : public RenderInterface {
  public:
#define DUZOZO_REQUEST(result, name, parameters, arguments) result name parameters override;
#define DUZOZO_PAIRS(result, name, parameters, last, fixed) result name parameters override;
#define DUZOZO_SPECIAL(result, name, parameters) result name parameters override;
#include "rib/requestlist.h"
};

}  // namespace duzozo
