// Text for floats as printf's "%.*g" writes it, without printf's cost.
#pragma once

#include <cstddef>

namespace duzozo {

// The most formatFloat writes: sign, nine digits, point, "e-45".
constexpr std::size_t kFloatChars = 16;

// Writes the bytes of printf("%.*g", precision, (double)v) for precision 1
// to 9 (others are taken as the nearest of those) and returns the end; no
// terminating null. Nine digits give back every float exactly when read.
char* formatFloat(char* out, float v, int precision);

}  // namespace duzozo
