// Reading RIB back: text RIB, binary RIB in every form of the binary
// encoding, and gzip-compressed input of either, made as requests on any
// RenderInterface. Reading into a RibWriter converts; reading into a class of
// your own filters, checks or renders.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "rib/ri.h"

namespace duzozo {

class RibReader {
  public:
    // Requests go to target, which must outlive the reader.
    explicit RibReader(RenderInterface& target);
    ~RibReader();
    RibReader(const RibReader&) = delete;
    RibReader& operator=(const RibReader&) = delete;

    // Reads a whole file ("-" for standard input) or buffer and makes its
    // requests; several in turn are read as one stream. Every problem is reported through the error handler with a
    // RenderMan code, severity RIE_ERROR and a message that starts with the
    // place ("file:line: " in text, "file: byte N: " in encoded data); the
    // rest of the input is read where that is possible. True when there was
    // no problem.
    bool readFile(const std::string& path);
    bool readBuffer(const void* data, std::size_t size, const std::string& name = "buffer");

    // Reports the blocks still open (FrameBegin, WorldBegin, AttributeBegin
    // ... never ended); the files read before may have joined into one
    // stream. Done by the destructor if not before. True when none was open.
    bool finish();

    // Problems reported so far.
    int problems() const;

    // Reads a file in the middle of the one being read, as if its requests
    // stood there: with the declarations and counting state read so far, into
    // the same target. For a filter that expands ReadArchive requests.
    bool readIncluded(const std::string& path);
    // The name of the file being read, and "file:line" ("file: byte N" in
    // encoded data) of the request being made,
    // for a target that reports problems of its own.
    std::string fileName() const;
    std::string where() const;

    // The two header lines of RIB ("##RenderMan RIB..." and "version") are
    // handed on instead of dropped. A RibWriter writes its own.
    bool keepHeader = false;

  private:
    struct Parser;
    std::unique_ptr<Parser> parser;
};

}  // namespace duzozo

extern "C" {
// Reads a RIB file ("-" for standard input) into the current renderer.
RtVoid RiReadRIB(RtString filename);
}
