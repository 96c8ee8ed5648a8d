#include "cli/standard_console.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace dashcam::cli {

StandardConsole::StandardConsole() {
#ifdef _WIN32
    // UTF-8 bytes reach the console and files unchanged: no code-page conversion, no CR added before LF.
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
#endif
}

void StandardConsole::Out(std::string_view utf8) {
    if (!outError_.empty() || utf8.empty())
        return;
    errno = 0;
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size() || std::fflush(stdout) != 0)
        outError_ = errno ? std::strerror(errno) : "write error";
}

void StandardConsole::Err(std::string_view utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

bool StandardConsole::In(std::string& bytes, std::size_t limit, std::string& why) {
    bytes.clear();
    char buffer[65536];
    while (bytes.size() <= limit) {
        const std::size_t want = std::min(sizeof buffer, limit + 1 - bytes.size());
        errno = 0;
        const std::size_t got = std::fread(buffer, 1, want, stdin);
        bytes.append(buffer, got);
        if (got < want) {
            if (std::ferror(stdin)) {
                why = errno ? std::strerror(errno) : "read error";
                return false;
            }
            break;
        }
    }
    return true;
}

std::string StandardConsole::Finish() {
    errno = 0;
    if (outError_.empty() && (std::fflush(stdout) != 0 || std::ferror(stdout)))
        outError_ = errno ? std::strerror(errno) : "write error";
    return outError_;
}

} // namespace dashcam::cli
