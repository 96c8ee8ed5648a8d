// The file-system step of the POSIX formatter on image files, and how it finds the card's mount.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/posix/mkfs_volume_formatter.h"
#include "platform/posix/mount_table.h"
#include "platform/posix/tool_process.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
using test::TempDir;
namespace fs = std::filesystem;

TEST(MountTable, LongestMountPointHoldingThePathWins) {
    std::istringstream table("22 1 0:21 / / rw - ext4 /dev/sda1 rw\n"
                             "40 22 8:17 / /media/u/CARD rw,nosuid shared:5 - vfat /dev/sdb1 rw\n"
                             "41 22 8:33 / /media/u/CARD\\0402 rw - exfat /dev/sdc1 rw\n"
                             "42 22 8:49 / /media/u/CA rw - vfat /dev/sdd1 rw\n");
    auto m = FindMountIn(table, "/media/u/CARD/DCIM");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->mountPoint, "/media/u/CARD");
    EXPECT_EQ(m->majorMinor, "8:17");
    EXPECT_EQ(m->fileSystemType, "vfat");
    EXPECT_EQ(m->source, "/dev/sdb1");
    table.clear();
    table.seekg(0);
    EXPECT_EQ(FindMountIn(table, "/media/u/CARD 2")->source, "/dev/sdc1");
    table.clear();
    table.seekg(0);
    EXPECT_EQ(FindMountIn(table, "/media/u/CARDS/x")->mountPoint, "/");
}

TEST(FileSystemLabel, FitsWhatEachFileSystemStores) {
    EXPECT_EQ(FileSystemLabel(u"Trevanil", u"FAT32"), u"TREVANIL");
    EXPECT_EQ(FileSystemLabel(u"Kestravon Z910 Pro", u"FAT32"), u"KESTRAVON Z");
    EXPECT_EQ(FileSystemLabel(u"a.b:c\u00E9", u"FAT32"), u"A_B_C_");
    // exFAT labels hold 11 characters, as Windows' format takes them; a surrogate pair is never split.
    EXPECT_EQ(FileSystemLabel(u"Kestravon Z910 Pro", u"exfat"), u"Kestravon Z");
    EXPECT_EQ(FileSystemLabel(u"Kestravon \U0001F697", u"exfat"), u"Kestravon ");
}

bool HaveTool(const char* name) {
    return RunTool({name, "--help"}).started;
}

class MakeFileSystemOnImage : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveTool("mkfs.fat") || !HaveTool("mkfs.exfat") || !HaveTool("minfo"))
            GTEST_SKIP() << "dosfstools, exfatprogs and mtools are needed";
    }
    std::string Image(std::uintmax_t bytes) {
        const fs::path image = dir / "card.img";
        { std::ofstream(image).flush(); }
        fs::resize_file(image, bytes); // sparse
        return image.string();
    }
    TempDir dir;
};

TEST_F(MakeFileSystemOnImage, Fat32With32KiBClustersAndTheUpperCaseLabel) {
    const std::string image = Image(2600ull * 1024 * 1024);
    const MkfsResult made =
        MakeFileSystem(image, {u"/media/u/CARD/", u"FAT32", u"Kestravon Z910 Pro", true, 32768, {}});
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_TRUE(RunTool({"fsck.fat", "-n", image}).ok());
    const std::string info = RunTool({"minfo", "-i", image, "::"}).output;
    EXPECT_NE(info.find("sector size: 512 bytes"), std::string::npos) << info;
    EXPECT_NE(info.find("cluster size: 64 sectors"), std::string::npos) << info;
    EXPECT_NE(info.find("disk label=\"KESTRAVON Z\""), std::string::npos) << info;
    EXPECT_NE(info.find("disk type=\"FAT32   \""), std::string::npos) << info;
}

TEST_F(MakeFileSystemOnImage, ExfatWithTheDefaultClustersKeepsACaseSensitiveLabel) {
    const std::string image = Image(256ull * 1024 * 1024);
    const MkfsResult made = MakeFileSystem(image, {u"/media/u/CARD/", u"exfat", u"Trévanil", true, 0, {}});
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_TRUE(RunTool({"fsck.exfat", "-n", image}).ok());
    EXPECT_NE(RunTool({"exfatlabel", image}).output.find("label: Trévanil"), std::string::npos);
    // A label of 16 characters is cut to 11.
    const MkfsResult longLabel = MakeFileSystem(image, {u"/", u"exfat", u"ABCDEFGHIJKLMNOP", true, 0, {}});
    ASSERT_TRUE(longLabel.ok) << longLabel.message;
    EXPECT_NE(RunTool({"exfatlabel", image}).output.find("label: ABCDEFGHIJK\n"), std::string::npos);
}

TEST_F(MakeFileSystemOnImage, AToolFailureIsReportedWithItsWords) {
    const MkfsResult made =
        MakeFileSystem((dir / "missing" / "card.img").string(), {u"/", u"FAT32", u"X", true, 32768, {}});
    EXPECT_FALSE(made.ok);
    EXPECT_NE(made.message.find("mkfs.fat failed"), std::string::npos) << made.message;
}

} // namespace
} // namespace dashcam
#endif
