#pragma once

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

// Runs f with file descriptor 2 redirected to a temporary file and returns
// what was written there: the real stream, not a stand-in.
template <class F>
std::string captureStderr(F f) {
    std::cerr.flush();
    std::fflush(stderr);
    std::FILE* tmp = std::tmpfile();
    int saved = dup(2);
    dup2(fileno(tmp), 2);
    f();
    std::cerr.flush();
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
    std::string text;
    std::rewind(tmp);
    for (int c; (c = std::fgetc(tmp)) != EOF;) text += char(c);
    std::fclose(tmp);
    return text;
}
