#include "settings/touch_calibration.h"

#include "platform/files/raw_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"

namespace dashcam {

std::u16string TouchCalibrationRequestPath(const std::u16string& card) {
    if (card.empty())
        return {};
    // The camera looks for the request at the root of its card: the root of the card folder's volume when that
    // volume is a removable drive or the folder is its root. A folder on one of the computer's own disks stands for
    // the card (a copy of it): the request goes into that folder, never to the root of the computer's disk.
    const std::u16string root = Host().VolumeRootOf(card);
    const auto rootIdentity = root.empty() ? std::nullopt : RawFile::IdentityOf(ToFsPath(root));
    if (Host().IsOnRemovableDrive(card) || (rootIdentity && rootIdentity == RawFile::IdentityOf(ToFsPath(card))))
        return root.empty() ? root : root + u"set_touch_cal.txt";
    return card + u"set_touch_cal.txt";
}

bool WriteTouchCalibrationRequest(const std::u16string& path, std::string* why) {
    if (path.empty())
        return false;
    // Made or emptied in place, as every file on a card: never through a link.
    const std::filesystem::path file = ToFsPath(path);
    RawFile request = RawFile::Open(file, RawFile::Mode::ReadWrite);
    if (!request.ok() && request.missing())
        request = RawFile::Open(file, RawFile::Mode::CreateNew);
    const bool written = request.ok() && request.IsRegular() && request.Truncate(0) && request.Sync();
    if (!written && why)
        *why = request.error();
    request.Close();
    if (written)
        RawFile::SyncFolderOf(file);
    return written;
}

} // namespace dashcam
