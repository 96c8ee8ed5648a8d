#include "ui/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QRawFont>

#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#ifdef DASHCAM_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace dashcam {

namespace {

const QString kTahoma = QStringLiteral("Tahoma");

struct CellMetrics {
    int unitsPerEm = 0;
    int winAscent = 0;
    int winDescent = 0;
    bool valid() const { return unitsPerEm > 0 && winAscent + winDescent > 0; }
};

int U16(const QByteArray& table, int offset) {
    if (table.size() < offset + 2)
        return 0;
    return (static_cast<unsigned char>(table[offset]) << 8) | static_cast<unsigned char>(table[offset + 1]);
}

// The face's Windows line metrics, read from its "head" and "OS/2" tables. They are the face's, whatever the
// size: each face is read once, which also spares a font engine per size tried.
CellMetrics Metrics(const QFont& font) {
    struct Known {
        QString family;
        int weight;
        bool italic;
        CellMetrics metrics;
    };
    static std::mutex lock;
    static std::vector<Known> known; // a few faces, looked up for every text a page measures
    const QString family = font.family();
    const int weight = font.weight();
    const bool italic = font.italic();
    const std::lock_guard guard(lock);
    for (const Known& k : known)
        if (k.weight == weight && k.italic == italic && k.family == family)
            return k.metrics;
    const QRawFont raw = QRawFont::fromFont(font);
    CellMetrics m;
    if (raw.isValid()) {
        m.unitsPerEm = U16(raw.fontTable("head"), 18);
        const QByteArray os2 = raw.fontTable("OS/2");
        m.winAscent = U16(os2, 74);
        m.winDescent = U16(os2, 76);
    }
    known.push_back({family, weight, italic, m});
    return m;
}

int PixelSize(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return QFontInfo(font).pixelSize();
}

// Whether the font database holds the family itself; hasFamily would also accept a family that the system's
// font configuration merely substitutes, and costs a substitution pass each time.
bool HoldsFamily(const QString& family) {
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The thread that reads the font configuration. Once it has, and the application object exists, it registers
// the project's fonts itself (no other thread has to be woken for that); at exit it is told to stop waiting.
struct ConfigurationReader {
    std::mutex lock;
    std::condition_variable changed;
    bool running = false;          // the thread was started
    bool read = false;             // the configuration is read
    bool applicationReady = false; // the toolkit's font database can be used
    bool closing = false;          // the program ends
    std::thread thread;

    ~ConfigurationReader() {
        {
            const std::lock_guard guard(lock);
            closing = true;
        }
        changed.notify_all();
        if (thread.joinable())
            thread.join();
    }
    void Run() {
        FcInitialise();
        std::unique_lock guard(lock);
        read = true;
        changed.notify_all();
        changed.wait(guard, [this] { return applicationReady || closing; });
        const bool registerHere = !closing;
        guard.unlock();
        // Whoever comes first registers. The zone prefetch of CSettingApp::PrepareProcess registers before it
        // builds the catalogue and is waited for before the application object goes; after that this call
        // finds the registration done and touches nothing of the toolkit.
        if (registerHere)
            RegisterProjectFonts();
    }
    // Returns once the configuration is read, at once when no reading was started.
    void WaitUntilRead() {
        std::unique_lock guard(lock);
        changed.wait(guard, [this] { return !running || read; });
    }
    static void FcInitialise() {
#ifdef DASHCAM_FONTCONFIG
        FcInit();
#endif
    }
};

ConfigurationReader& Reader() {
    static ConfigurationReader reader;
    return reader;
}

} // namespace

void StartFontConfiguration() {
#ifdef DASHCAM_FONTCONFIG
    ConfigurationReader& reader = Reader();
    const std::lock_guard guard(reader.lock);
    if (reader.running)
        return;
    reader.running = true;
    reader.thread = std::thread([&reader] { reader.Run(); });
#endif
}

void ApplicationObjectReady() {
    ConfigurationReader& reader = Reader();
    {
        const std::lock_guard guard(reader.lock);
        reader.applicationReady = true;
    }
    reader.changed.notify_all();
}

QString PageFaceName() {
    return kTahoma;
}

bool RegisterProjectFonts() {
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        // The toolkit's font list starts with the configuration that StartFontConfiguration may be reading.
        Reader().WaitUntilRead();
        if (HoldsFamily(kTahoma)) {
            registered = true;
            return;
        }
        const QDir wineFonts(QStringLiteral("/usr/share/wine/fonts"));
        const QStringList files =
            wineFonts.entryList({QStringLiteral("tahoma*.ttf"), QStringLiteral("Tahoma*.ttf")}, QDir::Files);
        for (const QString& file : files)
            QFontDatabase::addApplicationFont(wineFonts.filePath(file));
        registered = HoldsFamily(kTahoma);
    });
    return registered;
}

int CellAscent(const QFont& font) {
    const CellMetrics m = Metrics(font);
    if (!m.valid())
        return QFontMetrics(font).ascent();
    return static_cast<int>(std::lround(double(PixelSize(font)) * m.winAscent / m.unitsPerEm));
}

int CellHeight(const QFont& font) {
    const CellMetrics m = Metrics(font);
    if (!m.valid())
        return QFontMetrics(font).height();
    const double px = PixelSize(font);
    return static_cast<int>(std::lround(px * m.winAscent / m.unitsPerEm) +
                            std::lround(px * m.winDescent / m.unitsPerEm));
}

QFont CellHeightFont(const QString& face, int cellHeight, int weight) {
    RegisterProjectFonts(); // waits for a registration that another thread has begun
    QFont font(face);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setStyleHint(QFont::SansSerif);
    // The face's tables are read through a font engine made at the size set here. Windows faces make a cell
    // of about 1.2 em, so this is about the size picked below, whose engine the text is then drawn with
    // anyway.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight / 1.2))));
    const CellMetrics m = Metrics(font);
    int pixels = cellHeight;
    if (m.valid())
        pixels =
            static_cast<int>(std::lround(double(cellHeight) * m.unitsPerEm / (m.winAscent + m.winDescent))) +
            1;
    for (pixels = std::max(1, pixels); pixels > 1; --pixels) {
        font.setPixelSize(pixels);
        if (CellHeight(font) <= cellHeight)
            return font;
    }
    font.setPixelSize(1);
    return font;
}

} // namespace dashcam
