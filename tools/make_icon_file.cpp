// Writes the program's icon as a Windows icon file (.ico) for the Windows programs' resources: the images at the
// sizes Windows shows (16 to 256 pixels), each scaled down smoothly from the program's own icon and stored as
// PNG data, as icon files have allowed since Windows Vista.
// Usage: make_icon_file ICON.png OUT.ico
#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QtEndian>

#include <cstdio>

namespace {

void Append16(QByteArray& out, quint16 value) {
    const quint16 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 2);
}

void Append32(QByteArray& out, quint32 value) {
    const quint32 le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), 4);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icon_file ICON.png OUT.ico\n");
        return 2;
    }
    const QImage icon = QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_ARGB32);
    if (icon.isNull()) {
        std::fprintf(stderr, "make_icon_file: cannot read %s\n", argv[1]);
        return 1;
    }
    const int sizes[] = {16, 24, 32, 48, 64, 128, 256};
    QList<QByteArray> images;
    for (int size : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(&buffer, "PNG");
        images.append(png);
    }
    // ICONDIR, then one ICONDIRENTRY per image, then the images.
    QByteArray out;
    Append16(out, 0);
    Append16(out, 1);
    Append16(out, static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out.append(static_cast<char>(size >= 256 ? 0 : size)); // width, 0 for 256
        out.append(static_cast<char>(size >= 256 ? 0 : size)); // height
        out.append('\0');                                       // no palette
        out.append('\0');
        Append16(out, 1);  // planes
        Append16(out, 32); // bits per pixel
        Append32(out, static_cast<quint32>(images[i].size()));
        Append32(out, offset);
        offset += static_cast<quint32>(images[i].size());
    }
    for (const QByteArray& png : images)
        out.append(png);
    QFile file(QString::fromLocal8Bit(argv[2]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size()) {
        std::fprintf(stderr, "make_icon_file: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
