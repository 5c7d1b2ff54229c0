// Running wobble2rib and reading its RIB back frame by frame, for the tests
// of what it writes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/childprocess.h"
#include "tests/support/ribreader.h"

namespace ribframes {

using ribcheck::Request;

inline ChildOutcome wobble2rib(const std::vector<std::string>& args,
                               const std::string& stdoutPath = "") {
    return runChild(WOBBLE2RIB, args, stdoutPath);
}

// The values of a parameter, or null when the request has none of that name.
inline const std::vector<double>* param(const Request& r, const std::string& token) {
    for (const ribcheck::Param& p : r.params)
        if (p.token == token) return &p.value.numbers;
    return nullptr;
}

inline const std::string& text(const Request& r, std::size_t arg) {
    return r.args.at(arg).strings.at(0);
}
inline double number(const Request& r, std::size_t arg) { return r.args.at(arg).numbers.at(0); }

struct Frame {
    long number = -1;
    std::vector<Request> requests;  // between FrameBegin and FrameEnd

    std::vector<const Request*> all(const std::string& name) const {
        std::vector<const Request*> found;
        for (const Request& r : requests)
            if (r.name == name) found.push_back(&r);
        return found;
    }
};

// Splits a stream into its frames; anything outside a frame but the header
// fails the test, and so does anything a strict reader would refuse.
inline std::vector<Frame> frames(const std::string& rib) {
    ribcheck::Document doc = ribcheck::read(rib);
    for (const std::string& error : doc.errors) ADD_FAILURE() << "a reader refuses: " << error;
    std::vector<Frame> result;
    bool open = false;
    for (Request& r : doc.requests) {
        if (r.name == "FrameBegin") {
            EXPECT_FALSE(open) << "nested FrameBegin";
            result.push_back({long(number(r, 0)), {}});
            open = true;
        } else if (r.name == "FrameEnd") {
            EXPECT_TRUE(open) << "FrameEnd without FrameBegin";
            open = false;
        } else if (open) {
            result.back().requests.push_back(r);
        } else if (r.name != "##") {
            EXPECT_EQ(r.name, "version") << "outside a frame";
        }
    }
    EXPECT_FALSE(open) << "a frame without FrameEnd";
    return result;
}

// The frames that wobble2rib writes on standard output for `args`, text or
// binary.
inline std::vector<Frame> framesOf(std::vector<std::string> args, bool binary) {
    if (binary) args.push_back("--binary");
    ChildOutcome run = wobble2rib(args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("##RenderMan RIB-Structure 1.0\nversion 3.03\n", 0), 0u);
    return frames(run.out);
}

}  // namespace ribframes
