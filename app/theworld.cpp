// Included before theWorld is defined so that the standard streams are set up
// before its construction writes to standard error.
#include <iostream>

#include "app/shell.h"

World theWorld;
