#pragma once
// The dash cam cards among the mounted volumes: what the launcher offers and `dashcam-cfg cards` lists.
#include <string>
#include <vector>

namespace dashcam {

// The roots of the mounted volumes (Host().MountedVolumes()) that are this user's (IsUsersCardVolume) and hold a
// readable setup.cfg at their root, each ending in a separator; removable volumes first, otherwise in the mount
// table's order.
std::vector<std::u16string> FindMountedCards();

} // namespace dashcam
