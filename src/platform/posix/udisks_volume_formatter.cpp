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
    const auto mount = FindMount(Utf16ToUtf8(request.volume));
    const auto object = mount ? BlockObjectOf(blockDevices, mount->majorMinor) : std::nullopt;
    if (!object)
        return fail(QStringLiteral("the disk service does not know the card's device"));

    const QDBusMessage unmounted =
        Call(*object, kFilesystem, QStringLiteral("Unmount"), {QVariantMap()}, kLongCallMs);
    if (Failed(unmounted) && !unmounted.errorName().endsWith(QStringLiteral(".NotMounted")))
        return fail(ErrorText(unmounted));
    callback(kFormatProgressCommand, 0, nullptr);

    const bool exfat = IsExfat(request.fileSystem);
    const QString version =
        Property(kManagerPath, kManager, QStringLiteral("Version")).value_or(QVariant()).toString();
    QVariantMap options;
    QStringList mkfsArgs;
    for (const std::string& arg : MkfsLayoutArguments(request, exfat ? 0 : LogicalSectorSize(mount->majorMinor)))
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
    QDBusMessage formatted =
        Call(*object, kBlock, QStringLiteral("Format"),
             {exfat ? QStringLiteral("exfat") : QStringLiteral("vfat"), options}, kLongCallMs);
    // Some mkfs.exfat releases take no more than 11 label characters.
    if (Failed(formatted) && exfat && label.size() > 11) {
        options.insert(QStringLiteral("label"), QString::fromStdU16String(label.substr(0, 11)));
        formatted =
            Call(*object, kBlock, QStringLiteral("Format"), {QStringLiteral("exfat"), options}, kLongCallMs);
    }
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
