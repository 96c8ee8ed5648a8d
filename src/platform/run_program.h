#pragma once
// Runs another program with the given arguments, sharing this program's standard input, output and error, and
// waits for it.
#include <string>
#include <vector>

namespace dashcam {

struct ProgramRun {
    bool started = false;
    int status = 0;     // its exit status (128 + the signal's number when a signal ended it)
    std::string reason; // why it could not be started
};

ProgramRun RunProgramAndWait(const std::u16string& program, const std::vector<std::u16string>& arguments);

#ifdef _WIN32
// One argument of a Windows command line, as the C runtime's parser reads it back: quoted when it holds blanks or
// quotes, backslashes doubled where they come before a quote (including the closing one, as after "E:\").
std::wstring QuoteArgument(const std::u16string& argument);
#endif

} // namespace dashcam
