// RIB input brought whole into memory, gzip-compressed or not.
#pragma once

#include <cstddef>
#include <string>

namespace duzozo {

// Reads the file at `path` ("-" for standard input) into `bytes`. Data that
// starts with the gzip magic bytes is decompressed, every member of it in
// turn. False with a one-line `error` naming the file when the file cannot
// be read or its compressed data is cut short or corrupt; `bytes` then keeps
// what was read or decompressed before the fault.
bool loadRibInput(const std::string& path, std::string& bytes, std::string& error);

// The same for input already in memory (which must not lie inside `bytes`):
// `bytes` gets a copy of the data, or its decompressed form.
bool decodeRibBuffer(const char* data, std::size_t size, std::string& bytes, std::string& error);

// True when the data starts as a gzip stream does.
bool isGzipData(const char* data, std::size_t size);

}  // namespace duzozo
