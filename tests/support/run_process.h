#pragma once
// Runs one of the built programs as a user would, and collects what it printed and its exit status.
#include <string>
#include <vector>

namespace dashcam::test {

struct ProcessResult {
    int status = -1; // exit status; -1 when it did not exit normally
    std::string out;
    std::string err;
};

// Runs DASHCAM_BIN_DIR/<program> (or the program at an absolute path) with the arguments (no shell involved), standard input from /dev/null.
ProcessResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {});

} // namespace dashcam::test
