// Decodes the PNG images of a Qt resource file at build time into a C++ source of pixel arrays, so that the
// program draws its skin and icon without decoding PNG data while it starts. The pixels are what the program's
// own decoding gives: Qt's PNG decoder, then straight-alpha ARGB32.
// Usage: decode_png_resources RESOURCES.qrc OUT.cpp
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>
#include <QXmlStreamReader>

#include <cstdio>

namespace {

struct Entry {
    QString path; // ":/png/143.png"
    QImage pixels;
};

bool ReadResources(const QString& qrc, QList<Entry>& entries) {
    QFile file(qrc);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "decode_png_resources: cannot read %s\n", qPrintable(qrc));
        return false;
    }
    const QDir folder = QFileInfo(qrc).absoluteDir();
    QXmlStreamReader xml(&file);
    QString prefix;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("qresource")) {
            prefix = xml.attributes().value(QLatin1String("prefix")).toString();
            if (!prefix.endsWith(QLatin1Char('/')))
                prefix += QLatin1Char('/');
        } else if (xml.name() == QLatin1String("file")) {
            const QString alias = xml.attributes().value(QLatin1String("alias")).toString();
            const QString name = xml.readElementText().trimmed();
            if (!name.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
                continue;
            QImage image(folder.filePath(name), "PNG");
            if (image.isNull()) {
                std::fprintf(stderr, "decode_png_resources: cannot decode %s\n", qPrintable(folder.filePath(name)));
                return false;
            }
            entries.append({QLatin1Char(':') + prefix + (alias.isEmpty() ? name : alias),
                            image.convertToFormat(QImage::Format_ARGB32)});
        }
    }
    if (xml.hasError()) {
        std::fprintf(stderr, "decode_png_resources: %s: %s\n", qPrintable(qrc), qPrintable(xml.errorString()));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: decode_png_resources RESOURCES.qrc OUT.cpp\n");
        return 2;
    }
    QList<Entry> entries;
    if (!ReadResources(QString::fromLocal8Bit(argv[1]), entries))
        return 1;
    QString text;
    QTextStream out(&text);
    out << "// Made by tools/decode_png_resources from " << QFileInfo(QString::fromLocal8Bit(argv[1])).fileName()
        << " at build time.\n#include \"ui/decoded_png_resources.h\"\n\nnamespace dashcam {\nnamespace {\n";
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QImage& image = entries[i].pixels;
        out << "const std::uint32_t kPixels" << i << "[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                out << ((x + y * image.width()) % 8 == 0 ? "\n    " : " ") << "0x"
                    << QString::number(line[x], 16).rightJustified(8, QLatin1Char('0')) << "u,";
        }
        out << "\n};\n";
    }
    out << "} // namespace\n\nconst DecodedPngResource kDecodedPngResources[] = {\n";
    for (qsizetype i = 0; i < entries.size(); ++i)
        out << "    {u\"" << entries[i].path << "\", " << entries[i].pixels.width() << ", "
            << entries[i].pixels.height() << ", kPixels" << i << "},\n";
    out << "};\nconst std::size_t kDecodedPngResourceCount = " << entries.size() << ";\n\n} // namespace dashcam\n";
    out.flush();

    // Written only when it changes, so that an unchanged image set rebuilds nothing.
    const QString target = QString::fromLocal8Bit(argv[2]);
    QFile previous(target);
    if (previous.open(QIODevice::ReadOnly) && previous.readAll() == text.toUtf8())
        return 0;
    previous.close();
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text.toUtf8()) != text.toUtf8().size()) {
        std::fprintf(stderr, "decode_png_resources: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
