#include "ui/png_image.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "ui/decoded_png_resources.h"

// The images live in the kit's static library; registering them here keeps them linked into every program.
static void InitSkinResources() {
    Q_INIT_RESOURCE(resources);
}

namespace dashcam {

namespace {

void EnsureResources() {
    static const bool done = [] {
        InitSkinResources();
        return true;
    }();
    (void)done;
}

// The resource folder of `type`, matched without regard to case.
QString TypeFolder(const QString& type) {
    static const QStringList folders = QDir(QStringLiteral(":/")).entryList(QDir::Dirs);
    for (const QString& entry : folders)
        if (entry.compare(type, Qt::CaseInsensitive) == 0)
            return entry;
    return type.toLower();
}

} // namespace

QString PngImage::ResourcePath(int id, const QString& type) {
    EnsureResources();
    return QStringLiteral(":/%1/%2.png").arg(TypeFolder(type)).arg(id);
}

QImage PngImage::BuildTimePixels(const QString& path) {
    for (std::size_t i = 0; i < kDecodedPngResourceCount; ++i) {
        const DecodedPngResource& r = kDecodedPngResources[i];
        if (path == QStringView(r.path))
            return QImage(reinterpret_cast<const uchar*>(r.pixels), r.width, r.height, r.width * 4,
                          QImage::Format_ARGB32);
    }
    return QImage();
}

bool PngImage::LoadPng(int id, const QString& type) {
    Clear();
    const QString path = ResourcePath(id, type);
    // The build decoded the program's own images already; only another resource is decoded here.
    if (const QImage built = BuildTimePixels(path); !built.isNull()) {
        bitmap_ = built;
        return true;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (bytes.isEmpty())
        return false;
    QImage decoded;
    if (!decoded.loadFromData(bytes, "PNG"))
        return false;
    bitmap_ = decoded.convertToFormat(QImage::Format_ARGB32);
    return !bitmap_.isNull();
}

void PngImage::Clear() {
    bitmap_ = QImage();
}

QImage PngImage::Premultiplied() const {
    return bitmap_.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace dashcam
