// The yardstick for start-up time: the least a Qt program does to open an empty 722 x 587 dialog offscreen,
// paint it once and write the picture, as `dashcam-cfg screenshot` does with the editor's window. With --text the
// dialog also shows one line of text, so that it pays for starting the font system as every window with text does.
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv) {
    const bool text = argc == 3 && QByteArray(argv[1]) == "--text";
    if (argc != 2 && !text)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int toolkitArgc = 1;
    QApplication app(toolkitArgc, argv);
    QDialog dialog;
    dialog.setFixedSize(722, 587);
    if (text)
        (new QLabel(QStringLiteral("Memory Card Settings"), &dialog))->move(40, 40);
    dialog.show();
    const QImage image = dialog.grab().toImage();
    return image.save(QString::fromLocal8Bit(argv[argc - 1]), "PNG") ? 0 : 1;
}
