// Reading the kernel's mount table: escaped names, stacked mounts and lines that are not mounts.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <sstream>

#include "platform/posix/mount_table.h"

namespace dashcam {
namespace {

std::optional<MountEntry> Find(const std::string& table, const std::string& path) {
    std::istringstream in(table);
    return FindMountIn(in, path);
}

TEST(MountTable, EscapedBlanksTabsNewlinesAndBackslashesAreReadBack) {
    const std::string table = "22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
                              "40 22 8:17 / /media/u/My\\011Card\\134x rw - vfat /dev/disk/by-label/A\\040B rw\n"
                              "41 22 8:33 / /media/u/line\\012break rw - exfat /dev/sdc1 rw\n"
                              "42 22 8:49 / /media/u/short\\04 rw - vfat /dev/sdd1 rw\n";
    auto m = Find(table, "/media/u/My\tCard\\x/DCIM");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->mountPoint, "/media/u/My\tCard\\x");
    EXPECT_EQ(m->source, "/dev/disk/by-label/A B");
    EXPECT_EQ(Find(table, "/media/u/line\nbreak")->majorMinor, "8:33");
    // Fewer than three octal digits are no escape.
    EXPECT_EQ(Find(table, "/media/u/short\\04/x")->majorMinor, "8:49");
}

TEST(MountTable, TheLaterOfStackedMountsWinsAndBrokenLinesAreSkipped) {
    const std::string table = "garbage\n"
                              "\n"
                              "22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
                              "40 22 8:17 / /media/card rw shared:5 master:2 - vfat /dev/sdb1 rw\n"
                              "41 40 8:18 / /media/card rw - exfat /dev/sdb2 rw\n"
                              "43 22 8:19\n";
    auto m = Find(table, "/media/card");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->source, "/dev/sdb2");
    EXPECT_EQ(m->fileSystemType, "exfat");
    EXPECT_EQ(Find(table, "/media/cardboard")->mountPoint, "/");
    EXPECT_FALSE(Find(table, "relative/path"));
    EXPECT_FALSE(Find("", "/media/card"));
}

} // namespace
} // namespace dashcam
#endif
