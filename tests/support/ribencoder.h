// A second, independent producer of binary RIB for the tests, sharing no
// code with the library: a document read by ribcheck::read written in the
// complete binary encoding. Request names are defined once and then sent as
// codes, strings used more than once are defined once and then referred to,
// numbers are integers where the request takes integers, and float arrays
// go whole.
#pragma once

#include <string>

#include "tests/support/ribreader.h"

namespace ribcheck {

std::string encodeComplete(const Document& document);

}  // namespace ribcheck
