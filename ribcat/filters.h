// ribcat's two filters: keeping only some frames, and reading archives in
// place. Each overrides only the requests it changes.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "rib/ribfilter.h"
#include "rib/ribreader.h"

namespace ribcat {

// Hands on the frames whose numbers are listed and what lies outside any
// frame; requests inside other frames go to a sink. Declarations are kept
// wherever they are made, since later frames may rely on them.
class FrameSelection : public duzozo::RibFilter {
  public:
    explicit FrameSelection(RenderInterface& out) : RibFilter(out), out(out) {}

    // "1,3,10-20": false for anything else. Fills ranges when given.
    static bool parse(const char* text, std::vector<std::pair<long, long>>* ranges);

    void FrameBegin(RtInt frame) override {
        next = wanted(frame) ? &out : &sink;
        next->FrameBegin(frame);
    }
    void FrameEnd() override {
        next->FrameEnd();
        next = &out;
    }
    RtToken Declare(const char* name, const char* declaration) override {
        return out.Declare(name, declaration);
    }

    std::vector<std::pair<long, long>> ranges;

  private:
    bool wanted(long frame) const {
        for (const auto& range : ranges) {
            if (frame >= range.first && frame <= range.second) return true;
        }
        return false;
    }
    RenderInterface& out;
    duzozo::RibSink sink;
};

// Reads the file of each ReadArchive where the request stands, with what the
// reader knows so far; a relative name is taken from the folder of the file
// that names it.
class ArchiveExpansion : public duzozo::RibFilter {
  public:
    explicit ArchiveExpansion(RenderInterface& out) : RibFilter(out) {}

    void ReadArchiveV(RtToken name, RtArchiveCallback, RtInt, RtToken[], RtPointer[]) override {
        std::string path = name ? name : "";
        std::string from = reader ? reader->fileName() : "";
        size_t slash = from.rfind('/');
        if (!path.empty() && path[0] != '/' && slash != std::string::npos) {
            path = from.substr(0, slash + 1) + path;
        }
        if (reader) reader->readIncluded(path);
    }

    duzozo::RibReader* reader = nullptr;
};

inline bool FrameSelection::parse(const char* text, std::vector<std::pair<long, long>>* ranges) {
    std::string list = text;
    if (list.empty()) return false;
    size_t at = 0;
    while (at <= list.size()) {
        size_t comma = list.find(',', at);
        std::string item = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
        size_t dash = item.find('-', 1);
        auto number = [](const std::string& s, long& v) {
            if (s.empty()) return false;
            size_t used = 0;
            try {
                v = std::stol(s, &used);
            } catch (...) {
                return false;
            }
            return used == s.size();
        };
        long first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!number(item, first)) return false;
            last = first;
        } else if (!number(item.substr(0, dash), first) || !number(item.substr(dash + 1), last) ||
                   last < first) {
            return false;
        }
        if (ranges) ranges->push_back({first, last});
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    return true;
}

}  // namespace ribcat
