#pragma once

#include <string>

// A name with at most one decimal field for the frame number, written as in
// printf ("%d", "%4d", "%04d"), and "%%" for a percent sign. The text is
// parsed here rather than handed to printf, so that whatever the user types
// can never become a format of its own.
class FramePattern {
  public:
    FramePattern() = default;
    // Throws std::invalid_argument with a one-line reason for any other use
    // of '%'.
    explicit FramePattern(const std::string& text);

    bool hasField() const { return field; }
    // The name of frame `frame`; without a field the same name every time.
    std::string at(long frame) const;

  private:
    std::string before, after;
    bool field = false;
    bool zeros = false;
    int width = 0;
};
