// Deterministic request sequences for the property tests and the fuzz
// targets: every choice comes from a byte source, so the same bytes make the
// same calls on a text writer and on a binary one. Every value array is
// allocated on the heap with exactly the number of values a renderer takes
// for it, so that a sanitizer sees any read past it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rib/ribwriter.h"

namespace ribcheck {

class ByteSource {
  public:
    ByteSource(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool empty() const { return at >= size; }
    // 0 .. n-1 (0 once the bytes run out).
    uint32_t below(uint32_t n);
    bool chance() { return below(2) == 1; }
    // A finite float: small integers, fractions, or any finite bit pattern.
    float number();

  private:
    uint8_t take() { return at < size ? data[at++] : 0; }
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

// Makes requests on the writer until the bytes run out or maxCalls is
// reached, then closes every block it opened. Returns one line per request a
// reader must find: the keyword, then " |" and each parameter name.
std::vector<std::string> makeCalls(ByteSource& source, RibWriter& writer, int maxCalls = 200);

// The bytes of a pseudo-random sequence for one seed.
std::vector<uint8_t> seededBytes(unsigned seed, size_t size);

// Makes the calls of the bytes on a text and on a binary writer, reads both
// back and returns every problem found ("" when there is none).
std::string checkCalls(const uint8_t* data, size_t size, int maxCalls = 200);

}  // namespace ribcheck
