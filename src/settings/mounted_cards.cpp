#include "settings/mounted_cards.h"

#include <algorithm>

#include "platform/files/safe_file.h"
#include "platform/host_system.h"
#include "platform/text_codec.h"

namespace dashcam {

std::vector<std::u16string> FindMountedCards() {
    std::vector<std::u16string> cards;
    for (const std::u16string& root : Host().MountedVolumes())
        // Only a setup.cfg that can be opened makes a card; its size is not asked for.
        if (IsUsersCardVolume(root) && ReadFileHeadOrWhy(ToFsPath(root + u"setup.cfg"), 0).head)
            cards.push_back(root);
    std::stable_partition(cards.begin(), cards.end(),
                          [](const std::u16string& root) { return Host().IsOnRemovableDrive(root); });
    return cards;
}

} // namespace dashcam
