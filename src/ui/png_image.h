#pragma once
// One PNG of the program's resources, decoded. Resources are addressed by type and number: type "PNG" and id
// 143 is ":/png/143.png"; the type is matched without regard to case.
#include <QImage>
#include <QString>

namespace dashcam {

class PngImage {
public:
    PngImage() = default;
    ~PngImage() { Clear(); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;

    // Loads resource `id` of `type`. False, with nothing held, when the resource is missing, empty or not a
    // decodable image.
    bool LoadPng(int id, const QString& type = QStringLiteral("PNG"));
    void Clear();

    bool IsLoaded() const { return !bitmap_.isNull(); }
    int Width() const { return bitmap_.width(); }
    int Height() const { return bitmap_.height(); }
    // The pixels as the file holds them (straight alpha): what the stretch and content marks are read from.
    const QImage& Bitmap() const { return bitmap_; }
    // The pixels premultiplied, for drawing.
    QImage Premultiplied() const;

    // Resource path of `id` of `type`.
    static QString ResourcePath(int id, const QString& type = QStringLiteral("PNG"));
    // The pixels that the build decoded for the resource at `path` (straight-alpha ARGB32, read-only, no copy);
    // a null image for a resource it did not decode.
    static QImage BuildTimePixels(const QString& path);

private:
    QImage bitmap_;
};

} // namespace dashcam
