#pragma once
// Formatting on Windows: FormatEx of the system's format library, loaded when a format starts.
#include <string>

#include "../volume_formatter.h"

namespace dashcam {

class Win32VolumeFormatter final : public VolumeFormatter {
public:
    // The library file to load; only tests name another one than the system's.
    explicit Win32VolumeFormatter(std::u16string library = u"fmifs.dll") : library_(std::move(library)) {}
    FormatRun Format(const FormatRequest& request, const FormatCallback& callback) override;

private:
    std::u16string library_;
};

} // namespace dashcam
