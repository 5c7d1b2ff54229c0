// A second, independent producer of binary RIB for the tests: it writes a
// document read by ribcheck::read in the complete binary encoding, with no
// code of the library's. Every request name is defined once and then sent
// as a one-byte code, strings used more than once are defined once and then
// referred to, numbers are binary integers or IEEE singles, and float
// arrays are sent whole.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "tests/support/ribreader.h"

namespace ribcheck {

// Whether a request's fixed argument (by its place, from 0) holds integers.
// The reader keeps every number as a double, so this is where integers are
// told from floats; parameters go by their declarations.
using IntegerArgument = std::function<bool(const std::string& request, std::size_t argument)>;

// The integer arguments of the standard requests: FrameBegin's number,
// Format's resolution, the vertex counts and indices of the meshes, light
// handles and so on.
bool standardIntegerArgument(const std::string& request, std::size_t argument);

struct EncodeOptions {
    IntegerArgument integerArgument = standardIntegerArgument;
    // Strings used at least this often are defined once and referred to.
    std::size_t defineAfterUses = 2;
};

std::string encodeComplete(const Document& document, const EncodeOptions& options = EncodeOptions());

}  // namespace ribcheck
