#pragma once
// Formatting as the desktop's own disk tools do: through the UDisks2 disk service on the system bus, which
// asks the user for authorisation where its policy wants it. Without the service, another formatter takes
// over.
#include "../volume_formatter.h"

namespace dashcam {

class UDisksVolumeFormatter final : public VolumeFormatter {
public:
    explicit UDisksVolumeFormatter(VolumeFormatter& withoutService) : withoutService_(withoutService) {}
    // Finds the block device behind the volume's mount, unmounts it, formats it with the label and mounts it
    // again: three progress steps; volumeAfter is the new mount point. The cluster size and FAT32 are passed
    // as mkfs arguments where the service takes them (UDisks2 2.10 and later); older services use their
    // defaults, and the run's note says so.
    FormatRun Format(const FormatRequest& request, const FormatCallback& callback) override;

private:
    VolumeFormatter& withoutService_;
};

// The formatter for the desktop: UDisks2, or mkfs as root when the service is missing.
VolumeFormatter& DesktopFormatter();

} // namespace dashcam
