// Which block devices count as memory cards: the kernel's and udev's words for it, on a /sys tree made for the test.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/posix/block_device.h"
#include "support/temp_dir.h"

namespace dashcam {
namespace {
namespace fs = std::filesystem;

class BlockDevices : public ::testing::Test {
protected:
    // A disk below `bus` with one partition, reachable as /sys/dev/block/<number>.
    void Disk(const std::string& bus, const std::string& name, const std::string& number, const std::string& removable,
              const std::string& type = "") {
        const fs::path disk = sys / "devices" / bus / "block" / name;
        fs::create_directories(disk / (name + "p1"));
        test::WriteText(disk / "removable", removable + "\n");
        test::WriteText(disk / "dev", number + ":0\n");
        test::WriteText(disk / (name + "p1") / "partition", "1\n");
        test::WriteText(disk / (name + "p1") / "size", "62333952\n");
        test::WriteText(disk / (name + "p1") / "ro", "0\n");
        if (!type.empty()) {
            fs::create_directories(disk / "device");
            test::WriteText(disk / "device" / "type", type + "\n");
        }
        fs::create_directories(sys / "dev" / "block");
        fs::create_symlink(disk / (name + "p1"), sys / "dev" / "block" / (number + ":1"));
    }
    BlockDeviceFacts Read(const std::string& number) {
        return ReadBlockDevice(number + ":1", sys.string(), (t / "udev").string());
    }

    test::TempDir t;
    fs::path sys = t / "sys";
};

TEST_F(BlockDevices, CardReadersAndSdSlotsAreCardsButUsbDisksAndEmmcAreNot) {
    Disk("pci0/usb1/1-1/host6/target6:0:0/6:0:0:0", "sdb", "8", "1");            // a USB card reader
    Disk("pci0/usb1/1-2/host7/target7:0:0/7:0:0:0", "sdc", "9", "0");            // a USB SSD
    Disk("pci0/mmc_host/mmc0/mmc0:0001", "mmcblk0", "179", "0", "SD");          // an SD card in a laptop's slot
    Disk("pci0/mmc_host/mmc1/mmc1:0001", "mmcblk1", "180", "0", "MMC");         // the board's eMMC
    Disk("pci0/usb1/1-3/host8/target8:0:0/8:0:0:0", "sdd", "10", "0");           // a reader udev knows as a slot
    fs::create_directories(t / "udev");
    test::WriteText(t / "udev" / "b10:0", "E:ID_DRIVE_FLASH_SD=1\n");

    EXPECT_TRUE(Read("8").removableCard);
    EXPECT_FALSE(Read("9").removableCard);
    EXPECT_NE(Read("9").whyNotCard.find("fixed disk"), std::string::npos);
    EXPECT_TRUE(Read("179").removableCard);
    EXPECT_FALSE(Read("180").removableCard);
    EXPECT_NE(Read("180").whyNotCard.find("eMMC"), std::string::npos);
    EXPECT_TRUE(Read("10").removableCard);
    EXPECT_EQ(Read("8").bytes, 62333952ull * 512);
    EXPECT_FALSE(Read("8").readOnly);
    EXPECT_FALSE(ReadBlockDevice("250:1", sys.string(), (t / "udev").string()).removableCard);
}

TEST_F(BlockDevices, AWriteProtectedCardSaysSo) {
    Disk("pci0/mmc_host/mmc0/mmc0:0001", "mmcblk0", "179", "0", "SD");
    test::WriteText(sys / "devices/pci0/mmc_host/mmc0/mmc0:0001/block/mmcblk0/ro", "1\n");
    EXPECT_TRUE(Read("179").readOnly);
}

} // namespace
} // namespace dashcam
#endif
