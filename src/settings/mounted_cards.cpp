#include "settings/mounted_cards.h"

#include "platform/host_system.h"
#include "settings/safe_file.h"

namespace dashcam {

std::vector<std::u16string> FindMountedCards() {
    std::vector<std::u16string> cards;
    std::vector<bool> removable;
    for (const std::u16string& root : Host().MountedVolumes()) {
        // Only a setup.cfg that can be opened makes a card; its size is not asked for.
        if (ReadFileHeadOrWhy(root + u"setup.cfg", 0).head) {
            cards.push_back(root);
            removable.push_back(Host().IsOnRemovableDrive(root));
        }
    }
    std::vector<std::u16string> ordered;
    for (bool wanted : {true, false})
        for (std::size_t i = 0; i < cards.size(); ++i)
            if (removable[i] == wanted)
                ordered.push_back(cards[i]);
    return ordered;
}

} // namespace dashcam
