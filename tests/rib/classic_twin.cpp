// The same program compiled as C++, against the same header.
#include "examples/classic.c"
