#include "render/framepattern.h"

#include <stdexcept>

namespace {

// Wider fields only make longer names; this bound keeps a typo from asking
// for a name of millions of characters.
constexpr int kMaxWidth = 32;

}  // namespace

FramePattern::FramePattern(const std::string& text) {
    std::string* out = &before;
    for (std::size_t c = 0; c < text.size(); ++c) {
        if (text[c] != '%') {
            *out += text[c];
            continue;
        }
        std::size_t start = c++;
        if (c < text.size() && text[c] == '%') {
            *out += '%';
            continue;
        }
        bool zero = c < text.size() && text[c] == '0';
        if (zero) ++c;
        int w = 0;
        while (c < text.size() && text[c] >= '0' && text[c] <= '9' && w <= kMaxWidth) {
            w = w * 10 + (text[c++] - '0');
        }
        if (c >= text.size() || text[c] != 'd' || w > kMaxWidth) {
            throw std::invalid_argument("'" + text.substr(start, c + 1 - start) +
                                        "' is not a frame number field like %d or %04d");
        }
        if (field) throw std::invalid_argument("only one %d field may name the frame");
        field = true;
        zeros = zero;
        width = w;
        out = &after;
    }
}

std::string FramePattern::at(long frame) const {
    if (!field) return before;
    std::string digits = std::to_string(frame < 0 ? -frame : frame);
    std::string sign = frame < 0 ? "-" : "";
    std::size_t used = sign.size() + digits.size();
    std::string pad = used < std::size_t(width) ? std::string(width - used, zeros ? '0' : ' ') : "";
    return before + (zeros ? sign + pad : pad + sign) + digits + after;
}
