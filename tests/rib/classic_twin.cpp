// The same program compiled as C++, against the same header.
#include "tests/rib/classic.c"
