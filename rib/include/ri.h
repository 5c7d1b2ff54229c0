/* The RenderMan Interface C binding by its customary name: with the package's
   include folder on the path, #include <ri.h> is all a caller needs. */
#include "rib/ri.h"
