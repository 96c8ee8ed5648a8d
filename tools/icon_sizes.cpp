// Writes the application icon at the sizes of the desktop's icon theme: OUT/<n>x<n>/apps/NAME.png from the
// program's own icon, scaled down smoothly.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 5) {
        std::fprintf(stderr, "usage: icon_sizes ICON.png OUT_FOLDER NAME SIZE...\n");
        return 2;
    }
    const QImage icon(QString::fromLocal8Bit(argv[1]));
    if (icon.isNull()) {
        std::fprintf(stderr, "icon_sizes: cannot read %s\n", argv[1]);
        return 1;
    }
    for (int i = 4; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size <= 0 || size > icon.width()) {
            std::fprintf(stderr, "icon_sizes: no icon of size %s from a %d-pixel image\n", argv[i], icon.width());
            return 1;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
        const QString file = folder + QLatin1Char('/') + QString::fromLocal8Bit(argv[3]) + QStringLiteral(".png");
        if (!QDir().mkpath(folder) ||
            !icon.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(file, "PNG")) {
            std::fprintf(stderr, "icon_sizes: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
