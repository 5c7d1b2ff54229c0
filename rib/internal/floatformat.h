// Text for floats as printf's "%.*g" writes it, without printf's cost.
#pragma once

#include <cstddef>

namespace duzozo {

// The room formatFloat needs at `out`: sign, nine digits, point, "e-45",
// and the scratch it may store past the end it returns.
constexpr std::size_t kFloatChars = 16;

// Writes the bytes of printf("%.*g", precision, (double)v) for precision 1
// to 9 (others are taken as the nearest of those) and returns the end; no
// terminating null. `out` must have kFloatChars bytes of room, of which the
// bytes past the returned end may be overwritten. Nine digits give back
// every float exactly when read.
char* formatFloat(char* out, float v, int precision);

}  // namespace duzozo
