#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

#include "sim/world.h"

// Room that writeDouble may fill: sign, 17 digits, point, exponent.
constexpr std::size_t kDoubleChars = 32;

// Writes x as printf's "%.17g" does, byte for byte, and returns the end.
char* writeDouble(char* out, double x);

// The trace as CSV: one row per node and kept frame, gathered into large
// blocks before they reach the stream.
class TraceWriter {
  public:
    explicit TraceWriter(std::FILE* out);
    void header();
    // Every node of the world's stepped bodies, in lattice order.
    void frame(long frame, const World& world);
    // Hands on what is gathered and flushes the stream. False when any write
    // failed, with errno telling why.
    bool finish();

  private:
    void body(long frame, int index, const SoftBody& body);
    void append(const char* text, std::size_t size);
    void drain();

    std::FILE* out_;
    std::vector<char> block_;
    std::size_t used_ = 0;
    int error_ = 0;  // errno of the first failed write
};
