// The yardstick for start-up time: the least a Qt program does to open an empty 722 x 587 dialog offscreen,
// paint it once and write the picture, as `dashcam-cfg screenshot` does with the editor's window.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPixmap>

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setFixedSize(722, 587);
    dialog.show();
    const QImage image = dialog.grab().toImage();
    return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
