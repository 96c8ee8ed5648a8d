#include "cli/program_main.h"

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/standard_console.h"
#include "platform/text_codec.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <shellapi.h>
#endif

namespace dashcam::cli {
namespace {

// The words after the program's name, in UTF-8 (on Windows from the wide command line, so that any path survives).
std::vector<std::string> Words(int argc, char** argv) {
    std::vector<std::string> words;
#ifdef _WIN32
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; ++i)
        words.push_back(Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    LocalFree(wide);
#else
    for (int i = 1; i < argc; ++i)
        words.emplace_back(argv[i]);
#endif
    return words;
}

} // namespace

int ProgramMain(int argc, char** argv) {
    StandardConsole console;
    int status = RunCommandLine(Words(argc, argv), console);
    const std::string outError = console.Finish();
    if (!outError.empty()) {
        console.Err("dashcam-cfg: standard output: " + outError + "\n");
        status = status == 0 ? 1 : status;
    }
    return status;
}

} // namespace dashcam::cli
