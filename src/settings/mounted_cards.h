#pragma once
// The dash cam cards among the mounted volumes: what the launcher offers and `dashcam-cfg cards` lists.
#include <string>
#include <vector>

namespace dashcam {

// True when a mounted volume's root may be offered to this user as a card: on POSIX a mount whose root folder the
// user owns, and which is either on a removable drive or mounted in the desktop's places for the user's removable
// media (/media/USER/..., /run/media/USER/...); on Windows a removable drive. A mount that another user controls
// (a tmpfs under /dev/shm, someone else's stick) is not this user's card, whatever it holds.
bool IsUsersCardVolume(const std::u16string& root);

// The roots of the mounted volumes (Host().MountedVolumes()) that are this user's (IsUsersCardVolume) and hold a
// readable setup.cfg at their root, each ending in a separator; removable volumes first, otherwise in the mount
// table's order.
std::vector<std::u16string> FindMountedCards();

} // namespace dashcam
