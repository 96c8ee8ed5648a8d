#include "settings/mounted_cards.h"

#include <algorithm>

#include "platform/files/safe_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dashcam {
namespace {

#ifndef _WIN32
// The places where the desktop (UDisks2) mounts the user's removable media.
bool IsInUsersMediaPlace(const std::string& root) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::geteuid(), &entry, buffer, sizeof buffer, &found) != 0 || !found || !*found->pw_name)
        return false;
    const std::string user = found->pw_name;
    for (const std::string& place : {"/media/" + user + "/", "/run/media/" + user + "/"})
        if (root.size() > place.size() && root.starts_with(place))
            return true;
    return false;
}
#endif

} // namespace

bool IsUsersCardVolume(const std::u16string& root) {
#ifdef _WIN32
    return Host().IsOnRemovableDrive(root);
#else
    const std::string native = Utf16ToUtf8(root);
    struct stat st {};
    if (::stat(native.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    return IsInUsersMediaPlace(native.back() == '/' ? native : native + "/") || Host().IsOnRemovableDrive(root);
#endif
}

std::vector<std::u16string> FindMountedCards() {
    std::vector<std::u16string> cards;
    for (const std::u16string& root : Host().MountedVolumes())
        // Only a setup.cfg that can be opened makes a card; its size is not asked for.
        if (IsUsersCardVolume(root) && ReadFileHeadOrWhy(root + u"setup.cfg", 0).head)
            cards.push_back(root);
    std::stable_partition(cards.begin(), cards.end(),
                          [](const std::u16string& root) { return Host().IsOnRemovableDrive(root); });
    return cards;
}

} // namespace dashcam
