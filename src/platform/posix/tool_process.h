#pragma once
// Running the system's file-system tools (mkfs.fat, mount, ...) and collecting what they print.
#include <string>
#include <vector>

namespace dashcam {

struct ToolResult {
    bool started = false; // false: the program was not found or could not be started
    int exitCode = -1;    // its exit status; -1 when it did not exit normally
    std::string output;   // what it wrote to standard output and standard error
    bool ok() const { return started && exitCode == 0; }
};

// Runs argv[0] (looked up in PATH, then in the system folders /usr/sbin and /sbin that a user's PATH often
// lacks) with the given arguments, under a UTF-8 locale, standard input from /dev/null, and waits for it.
// Safe to call from any thread.
ToolResult RunTool(const std::vector<std::string>& argv);

} // namespace dashcam
