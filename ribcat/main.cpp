// ribcat: converts, joins, selects from and checks RIB files.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "rib/ribfilter.h"
#include "rib/ribreader.h"
#include "rib/ribwriter.h"
#include "ribcat/filters.h"

namespace {

const char kUsage[] =
    "usage: ribcat [--ascii | --binary] [--gzip] [--precision N] [--frames LIST]\n"
    "              [--expand-archives] [--check] [-o OUT] [FILE...]\n";

const char kHelp[] =
    "Reads RIB files (text, binary or gzip-compressed; - or no file: standard input)\n"
    "and writes their requests, joined, to OUT or standard output.\n"
    "\n"
    "  --ascii            write text RIB\n"
    "  --binary           write the complete binary encoding\n"
    "                     (with neither, RIFORMAT=ascii|binary chooses; else text)\n"
    "  --gzip             compress the output (also RICOMPRESSION=gzip)\n"
    "  --precision N      significant digits of text numbers, 1 to 9 (default 6;\n"
    "                     9 keeps every number exactly)\n"
    "  --frames LIST      keep only these frames, as in 1,3,10-20; what lies\n"
    "                     outside any frame is kept\n"
    "  --expand-archives  write the requests of each ReadArchive in its place\n"
    "  --check            write nothing; report every problem (block nesting,\n"
    "                     value counts, undeclared names, unknown requests)\n"
    "  -o OUT             write to OUT instead of standard output\n"
    "  --help             show this and exit\n"
    "\n"
    "Each problem is one line on standard error, with the file and line (the\n"
    "byte offset in encoded data). Exit status: 0 when all was read and written\n"
    "without a problem, 1 otherwise, 2 for a bad command line.\n";

int reports = 0;

// Every report of the library, whatever its severity, is one line.
void printReport(RtInt, RtInt, const char* message) {
    ++reports;
    std::fprintf(stderr, "%s\n", message ? message : "");
}

int usage(const std::string& problem) {
    std::fprintf(stderr, "ribcat: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

bool parseCount(const char* text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && errno == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int binary = -1, gzip = -1, precision = 6;
    bool check = false, expand = false;
    std::string output, frameList;
    bool haveFrames = false;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](const char* option) -> const char* {
            if (i + 1 >= argc) return nullptr;
            (void)option;
            return argv[++i];
        };
        if (arg == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        } else if (arg == "--ascii" || arg == "--binary") {
            int chosen = arg == "--binary" ? 2 : 0;
            if (binary >= 0 && binary != chosen) return usage("--ascii and --binary together");
            binary = chosen;
        } else if (arg == "--gzip") {
            gzip = 1;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "--expand-archives") {
            expand = true;
        } else if (arg == "--precision") {
            const char* text = value("--precision");
            long n = 0;
            if (!text || !parseCount(text, n) || n < 1 || n > 9)
                return usage("--precision takes a number from 1 to 9");
            precision = int(n);
        } else if (arg == "--frames") {
            const char* text = value("--frames");
            if (!text || !ribcat::FrameSelection::parse(text, nullptr))
                return usage("--frames takes a list such as 1,3,10-20");
            frameList = text;
            haveFrames = true;
        } else if (arg == "-o") {
            const char* text = value("-o");
            if (!text || !*text) return usage("-o takes a file name");
            output = text;
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            return usage("unknown option " + arg);
        } else {
            inputs.push_back(arg);
        }
    }
    if (inputs.empty()) inputs.push_back("-");

    // The conventions of RenderMan programs, when the command line chose nothing.
    if (binary < 0) {
        const char* format = std::getenv("RIFORMAT");
        binary = format && std::strcmp(format, "binary") == 0 ? 2 : 0;
    }
    if (gzip < 0) {
        const char* compression = std::getenv("RICOMPRESSION");
        gzip = compression && std::strcmp(compression, "gzip") == 0 ? 1 : 0;
    }

    RiErrorHandler(RiErrorIgnore);
    duzozo::RibSink sink;
    RibWriter* writer = nullptr;
    if (!check) {
        writer = new RibWriter(output.empty() ? nullptr : output.c_str(), "binary", &binary,
                               "gzip", &gzip, "precision", &precision, RI_NULL);
        if (!writer->isOpen()) {
            std::fprintf(stderr, "ribcat: cannot write %s\n", output.c_str());
            return 1;
        }
    }
    RiErrorHandler(printReport);
    RenderInterface& out = check ? static_cast<RenderInterface&>(sink) : *writer;

    ribcat::FrameSelection frames(out);
    if (haveFrames) ribcat::FrameSelection::parse(frameList.c_str(), &frames.ranges);
    RenderInterface& afterArchives = haveFrames ? static_cast<RenderInterface&>(frames) : out;
    ribcat::ArchiveExpansion archives(afterArchives);
    RenderInterface& first = expand ? static_cast<RenderInterface&>(archives) : afterArchives;

    duzozo::RibReader reader(first);
    archives.reader = &reader;
    for (const std::string& input : inputs) reader.readFile(input);
    reader.finish();
    delete writer;  // ends the output; a failed write or close is reported
    return reports == 0 ? 0 : 1;
}
