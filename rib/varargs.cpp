// The writer's variable-argument forms: each collects its arguments and
// calls its vector form on the same object.
#include "rib/ribwriter.h"

#define DUZOZO_FORMS_CLASS RibWriter
#include "rib/internal/variableforms.h"
