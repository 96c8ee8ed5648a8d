#include "launcher/card_launcher.h"

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>

#include "i18n/language_table.h"
#include "settings/mounted_cards.h"
#include "platform/host_system.h"
#include "platform/prompt.h"

namespace dashcam {
namespace {

struct LauncherTexts {
    std::u16string_view language;
    const char* waiting;
    const char* pick;
    const char* cannotStart; // %1: the editor program
};

// UTF-8 texts, one row per interface language.
constexpr LauncherTexts kTexts[] = {
    {u"english", "Insert the dash cam's memory card.\nThe settings open as soon as the card is mounted.",
     "Several memory cards are mounted. Choose the one to open:",
     "The settings editor could not be started: %1"},
    {u"german",
     "Legen Sie die Speicherkarte der Dashcam ein.\nDie Einstellungen öffnen sich, sobald die Karte eingebunden ist.",
     "Mehrere Speicherkarten sind eingebunden. Wählen Sie die Karte, die geöffnet werden soll:",
     "Der Einstellungseditor konnte nicht gestartet werden: %1"},
    {u"french", "Insérez la carte mémoire de la caméra embarquée.\nLes réglages s'ouvrent dès que la carte est montée.",
     "Plusieurs cartes mémoire sont montées. Choisissez celle à ouvrir :",
     "L'éditeur de réglages n'a pas pu être lancé : %1"},
    {u"spanish", "Inserte la tarjeta de memoria de la cámara.\nLos ajustes se abren en cuanto se monta la tarjeta.",
     "Hay varias tarjetas de memoria montadas. Elija la que desea abrir:",
     "No se pudo iniciar el editor de ajustes: %1"},
    {u"italian", "Inserire la scheda di memoria della dashcam.\nLe impostazioni si aprono appena la scheda è montata.",
     "Sono montate più schede di memoria. Scegliere quella da aprire:",
     "Impossibile avviare l'editor delle impostazioni: %1"},
    {u"portuguese", "Insira o cartão de memória da câmera.\nAs configurações abrem assim que o cartão for montado.",
     "Há vários cartões de memória montados. Escolha o que deseja abrir:",
     "Não foi possível iniciar o editor de configurações: %1"},
    {u"russian", "Вставьте карту памяти видеорегистратора.\nНастройки откроются, как только карта будет подключена.",
     "Подключено несколько карт памяти. Выберите карту, которую нужно открыть:",
     "Не удалось запустить редактор настроек: %1"},
    {u"japanese", "ドライブレコーダーのメモリーカードを挿入してください。\nカードがマウントされると設定が開きます。",
     "複数のメモリーカードがマウントされています。開くカードを選択してください:",
     "設定エディターを起動できませんでした: %1"},
    {u"korean", "블랙박스 메모리 카드를 넣어 주세요.\n카드가 마운트되면 설정이 열립니다.",
     "여러 메모리 카드가 마운트되어 있습니다. 열 카드를 선택하세요:",
     "설정 편집기를 시작할 수 없습니다: %1"},
    {u"chinesesimplified", "请插入行车记录仪的存储卡。\n存储卡挂载后将自动打开设置。",
     "已挂载多张存储卡。请选择要打开的存储卡：",
     "无法启动设置编辑器：%1"},
    {u"chinesetraditional", "請插入行車記錄器的記憶卡。\n記憶卡掛載後將自動開啟設定。",
     "已掛載多張記憶卡。請選擇要開啟的記憶卡：",
     "無法啟動設定編輯器：%1"},
    {u"thai", "กรุณาใส่การ์ดหน่วยความจำของกล้องติดรถยนต์\nการตั้งค่าจะเปิดขึ้นเมื่อการ์ดถูกเมานต์แล้ว",
     "มีการ์ดหน่วยความจำหลายใบ เลือกการ์ดที่จะเปิด:",
     "ไม่สามารถเริ่มโปรแกรมแก้ไขการตั้งค่าได้: %1"},
};

const LauncherTexts& TextsOf(std::u16string_view language) {
    for (const LauncherTexts& texts : kTexts)
        if (texts.language == language)
            return texts;
    return kTexts[0];
}

QString Caption() { return QString::fromStdU16String(LookupText(u"IDS_STRING101")); }

} // namespace

QString CardLauncher::WaitingText(std::u16string_view language) {
    return QString::fromUtf8(TextsOf(language).waiting);
}

QString CardLauncher::PickText(std::u16string_view language) { return QString::fromUtf8(TextsOf(language).pick); }

CardLauncher::CardLauncher(QString editorPath, std::u16string language, QObject* parent)
    : QObject(parent), editorPath_(std::move(editorPath)), language_(std::move(language)) {}

CardLauncher::~CardLauncher() {
    delete waiting_;
    delete picker_;
}

void CardLauncher::SetRescanInterval(int milliseconds) {
    rescanMilliseconds_ = milliseconds;
    if (rescanTimer_)
        rescanTimer_->setInterval(milliseconds);
}

void CardLauncher::Start() {
    const std::vector<std::u16string> cards = FindMountedCards();
    if (cards.empty())
        ShowWaiting();
    else
        Found(cards);
}

void CardLauncher::Found(const std::vector<std::u16string>& cards) {
    if (cards.size() == 1) {
        Open(cards.front());
        return;
    }
    QStringList items;
    for (const std::u16string& card : cards)
        items << QString::fromStdU16String(card);
    picker_ = new QInputDialog;
    picker_->setWindowTitle(Caption());
    picker_->setLabelText(PickText(language_));
    picker_->setComboBoxItems(items);
    picker_->setOption(QInputDialog::UseListViewForComboBoxItems);
    connect(picker_, &QInputDialog::textValueSelected, this,
            [this](const QString& card) { Open(card.toStdU16String()); });
    connect(picker_, &QDialog::rejected, this, [this] { End(false); });
    picker_->open();
}

void CardLauncher::Open(const std::u16string& card) {
    const bool started = Host().StartProgram(editorPath_.toStdU16String(), card, card);
    if (!started)
        prompt::Ask({prompt::Kind::MessageOk, Caption().toStdU16String(),
                     QString::fromUtf8(TextsOf(language_).cannotStart).arg(editorPath_).toStdU16String(), true});
    End(started);
}

void CardLauncher::ShowWaiting() {
    waiting_ = new QMessageBox(QMessageBox::Information, Caption(), WaitingText(language_), QMessageBox::Cancel);
    connect(waiting_, &QMessageBox::finished, this, [this] {
        if (waiting_) // closed by the user, not by a card that appeared
            End(false);
    });
    // The kernel marks the mount table as changed (POLLPRI) on every mount and unmount.
    mountTable_ = std::make_unique<QFile>(QStringLiteral("/proc/self/mountinfo"));
    if (mountTable_->open(QIODevice::ReadOnly)) {
        mountWatch_ = new QSocketNotifier(mountTable_->handle(), QSocketNotifier::Exception, this);
        connect(mountWatch_, &QSocketNotifier::activated, this, [this] {
            mountTable_->seek(0);
            mountTable_->readAll(); // reading the table again clears its changed mark
            Rescan();
        });
    }
    // Also at an interval: a volume's files can appear after its mount, and not every system reports changes.
    rescanTimer_ = new QTimer(this);
    connect(rescanTimer_, &QTimer::timeout, this, &CardLauncher::Rescan);
    rescanTimer_->start(rescanMilliseconds_);
    waiting_->open();
}

void CardLauncher::StopWaiting() {
    delete mountWatch_;
    mountWatch_ = nullptr;
    mountTable_.reset();
    delete rescanTimer_;
    rescanTimer_ = nullptr;
    if (QMessageBox* box = waiting_) {
        waiting_ = nullptr;
        box->close();
        box->deleteLater();
    }
}

void CardLauncher::Rescan() {
    if (ended_ || !waiting_)
        return;
    const std::vector<std::u16string> cards = FindMountedCards();
    if (cards.empty())
        return;
    StopWaiting();
    Found(cards);
}

void CardLauncher::End(bool editorStarted) {
    if (ended_)
        return;
    ended_ = true;
    StopWaiting();
    emit finished(editorStarted);
}

} // namespace dashcam
