#include "udisks_volume_formatter.h"

#include <sys/sysmacros.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "../text_codec.h"
#include "mkfs_volume_formatter.h"
#include "block_device.h"
#include "mount_table.h"

namespace dashcam {
namespace {

const QString kService = QStringLiteral("org.freedesktop.UDisks2");
const QString kManagerPath = QStringLiteral("/org/freedesktop/UDisks2/Manager");
const QString kManager = QStringLiteral("org.freedesktop.UDisks2.Manager");
const QString kBlock = QStringLiteral("org.freedesktop.UDisks2.Block");
const QString kFilesystem = QStringLiteral("org.freedesktop.UDisks2.Filesystem");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
// Formatting waits for mkfs; unmounting for the card's buffers to reach it.
constexpr int kLongCallMs = 30 * 60 * 1000;

QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& args, int timeoutMs = -1) {
    QDBusMessage message = QDBusMessage::createMethodCall(kService, path, interface, method);
    message.setArguments(args);
    return QDBusConnection::systemBus().call(message, QDBus::Block, timeoutMs);
}

bool Failed(const QDBusMessage& reply) {
    return reply.type() != QDBusMessage::ReplyMessage;
}

std::optional<QVariant> Property(const QString& path, const QString& interface, const QString& name) {
    const QDBusMessage reply = Call(path, kProperties, QStringLiteral("Get"), {interface, name});
    if (Failed(reply) || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

// True for a service at least as new as major.minor.
bool VersionAtLeast(const QString& version, int major, int minor) {
    const QStringList parts = version.split(QLatin1Char('.'));
    const int have[2] = {parts.value(0).toInt(), parts.value(1).toInt()};
    return have[0] > major || (have[0] == major && have[1] >= minor);
}

unsigned LogicalSectorSize(const std::string& majorMinor) {
    for (const char* queue : {"/queue/logical_block_size", "/../queue/logical_block_size"}) {
        QFile file(QString::fromStdString("/sys/dev/block/" + majorMinor + queue));
        if (file.open(QIODevice::ReadOnly))
            if (const unsigned size = file.readAll().trimmed().toUInt(); size >= 512)
                return size;
    }
    return 512;
}

// The UDisks2 object of the block device with this device number.
std::optional<QString> BlockObjectOf(const QDBusMessage& blockDevices, const std::string& majorMinor) {
    unsigned major = 0, minor = 0;
    if (std::sscanf(majorMinor.c_str(), "%u:%u", &major, &minor) != 2)
        return std::nullopt;
    const qulonglong number = makedev(major, minor);
    for (const QDBusObjectPath& path :
         qdbus_cast<QList<QDBusObjectPath>>(blockDevices.arguments().value(0))) {
        const auto device = Property(path.path(), kBlock, QStringLiteral("DeviceNumber"));
        if (device && device->toULongLong() == number)
            return path.path();
    }
    return std::nullopt;
}

// True when the disk service lists this mount point among the file system's own.
bool MountedAt(const QString& object, const std::string& mountPoint) {
    const auto points = Property(object, kFilesystem, QStringLiteral("MountPoints"));
    if (!points)
        return false;
    QList<QByteArray> list;
    if (points->canConvert<QDBusArgument>())
        list = qdbus_cast<QList<QByteArray>>(points->value<QDBusArgument>());
    else
        list = points->value<QList<QByteArray>>();
    for (QByteArray point : list) {
        while (point.endsWith('\0'))
            point.chop(1);
        if (point.toStdString() == mountPoint)
            return true;
    }
    return false;
}

QString ErrorText(const QDBusMessage& reply) {
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

} // namespace

FormatRun UDisksVolumeFormatter::Format(const FormatRequest& request, const FormatCallback& callback) {
    QDBusConnection bus = QDBusConnection::systemBus();
    const QDBusMessage blockDevices =
        bus.isConnected() ? Call(kManagerPath, kManager, QStringLiteral("GetBlockDevices"), {QVariantMap()})
                          : QDBusMessage();
    if (!bus.isConnected() ||
        blockDevices.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown"))
        return withoutService_.Format(request, callback);

    FormatRun run;
    run.ran = true;
    run.volumeAfter = request.volume;
    auto fail = [&](const QString& why) {
        run.note = why.toStdU16String();
        ReportFormatDone(callback, false);
        return run;
    };
    if (Failed(blockDevices))
        return fail(ErrorText(blockDevices));
    // Only the confirmed device, and only while it is mounted exactly where the user confirmed it: a card pulled
    // out since must not send the format to whatever the folder belongs to now.
    std::string mountPoint = Utf16ToUtf8(request.volume);
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.pop_back();
    const auto mount = FindMount(mountPoint);
    const auto mountedDevice = mount && mount->mountPoint == mountPoint
                                   ? BlockDeviceOfMount(mount->majorMinor, mount->source)
                                   : std::nullopt;
    if (!mountedDevice || (!request.device.empty() && Utf8ToUtf16(*mountedDevice) != request.device))
        return fail(QStringLiteral("the card is no longer mounted at %1; nothing was erased")
                        .arg(QString::fromStdString(mountPoint)));
    const auto object = BlockObjectOf(blockDevices, *mountedDevice);
    if (!object)
        return fail(QStringLiteral("the disk service does not know the card's device; nothing was erased"));
    if (!MountedAt(*object, mountPoint))
        return fail(QStringLiteral("the disk service does not have the card mounted at %1; nothing was erased")
                        .arg(QString::fromStdString(mountPoint)));

    const QDBusMessage unmounted =
        Call(*object, kFilesystem, QStringLiteral("Unmount"), {QVariantMap()}, kLongCallMs);
    if (Failed(unmounted))
        return fail(ErrorText(unmounted) + QStringLiteral("; nothing was erased"));
    callback(kFormatProgressCommand, 0, nullptr);

    const bool exfat = IsExfat(request.fileSystem);
    const QString version =
        Property(kManagerPath, kManager, QStringLiteral("Version")).value_or(QVariant()).toString();
    QVariantMap options;
    QStringList mkfsArgs;
    for (const std::string& arg : MkfsLayoutArguments(request, exfat ? 0 : LogicalSectorSize(*mountedDevice)))
        mkfsArgs << QString::fromStdString(arg);
    if (!mkfsArgs.isEmpty()) {
        if (VersionAtLeast(version, 2, 10))
            options.insert(QStringLiteral("mkfs-args"), mkfsArgs);
        else
            run.note = exfat ? u"cluster size: the disk service's default"
                             : u"file system type and cluster size: the disk service's defaults";
    }
    const std::u16string label = FileSystemLabel(request.label, request.fileSystem);
    options.insert(QStringLiteral("label"), QString::fromStdU16String(label));
    run.erased = true;
    const QDBusMessage formatted =
        Call(*object, kBlock, QStringLiteral("Format"),
             {exfat ? QStringLiteral("exfat") : QStringLiteral("vfat"), options}, kLongCallMs);
    callback(kFormatProgressCommand, 0, nullptr);

    // Mounted again in any case, so a card whose format failed stays usable.
    const QDBusMessage mounted =
        Call(*object, kFilesystem, QStringLiteral("Mount"), {QVariantMap()}, kLongCallMs);
    callback(kFormatProgressCommand, 0, nullptr);
    if (!Failed(mounted) && !mounted.arguments().isEmpty()) {
        std::u16string where = mounted.arguments().at(0).toString().toStdU16String();
        if (!where.empty() && where.back() != u'/')
            where.push_back(u'/');
        run.volumeAfter = where;
    }
    if (Failed(formatted))
        return fail(ErrorText(formatted));
    if (Failed(mounted))
        return fail(ErrorText(mounted));
    ReportFormatDone(callback, true);
    return run;
}

VolumeFormatter& DesktopFormatter() {
    static MkfsVolumeFormatter mkfs;
    static UDisksVolumeFormatter formatter(mkfs);
    return formatter;
}

} // namespace dashcam
