#pragma once
// The program's console: standard output and standard error, in UTF-8 bytes as given. A write on standard output
// that fails is remembered with its reason, so that the program can exit with a failure.
#include <string>

#include "cli/command.h"

namespace dashcam::cli {

class StandardConsole : public Console {
public:
    StandardConsole();
    void Out(std::string_view utf8) override;
    void Err(std::string_view utf8) override;
    bool In(std::string& bytes, std::size_t limit, std::string& why) override;
    // Flushes standard output; the reason of the first failed write, or empty.
    std::string Finish();

private:
    std::string outError_;
};

} // namespace dashcam::cli
