#include "support/fake_formatter.h"

#include <filesystem>
#include <system_error>

#include "platform/text_codec.h"

namespace dashcam::test {

FormatRun FakeFormatter::Format(const FormatRequest& request, const FormatCallback& callback) {
    requests.push_back(request);
    FormatRun run;
    run.volumeAfter = volumeAfter.empty() ? request.volume : volumeAfter;
    if (!available) {
        run.unavailableText = unavailableText;
        return run;
    }
    run.ran = true;
    run.erased = true;
    run.note = note;
    if (succeed) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(ToFsPath(request.volume), ec))
            std::filesystem::remove_all(entry.path(), ec);
        if (!volumeAfter.empty())
            std::filesystem::create_directories(ToFsPath(volumeAfter), ec);
    }
    for (int i = 0; i < steps; ++i)
        callback(kFormatProgressCommand, 0, nullptr);
    if (reportResult)
        ReportFormatDone(callback, succeed);
    return run;
}

} // namespace dashcam::test
