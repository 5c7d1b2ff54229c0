// Included before theWorld is defined so that the standard streams are set up
// before its construction writes to standard error.
#include <iostream>

#include "scene/theworld.h"
#include "rib/internal/symtab.h"

World theWorld;

// The program carries the RIB library, whose symbol tables are built during
// start-up, after theWorld. Static objects of one file are initialised in the
// order of their definitions, so this holds whatever the link order, the
// compiler or the form of the library.
[[maybe_unused]] static const bool ribTablesBuilt = (duzozo::buildSymbolTables(), true);
