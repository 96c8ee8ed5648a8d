#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/run_program.h"
#include "platform/text_codec.h"

extern char** environ;

namespace dashcam {

ProgramRun RunProgramAndWait(const std::u16string& program, const std::vector<std::u16string>& arguments) {
    ProgramRun run;
    const std::string path = Utf16ToUtf8(program);
    std::vector<std::string> words = {path};
    for (const std::u16string& a : arguments)
        words.push_back(Utf16ToUtf8(a));
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    if (::access(path.c_str(), X_OK) != 0) {
        run.reason = std::strerror(errno);
        return run;
    }
    pid_t child = 0;
    if (int error = ::posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ)) {
        run.reason = std::strerror(error);
        return run;
    }
    run.started = true;
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return run;
}

} // namespace dashcam
