#include <QEventLoop>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

#include <thread>

#include "i18n/embedded_languages.h"
#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "platform/text_codec.h"
#include "ui/cell_text_label.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"
#include "ui/msg_popup_dlg.h"
#include "ui/prog_popup_dlg.h"
#include "ui/qt_services.h"

using dashcam::CMsgPopupDlg;
using dashcam::CProgPopupDlg;
namespace prompt = dashcam::prompt;

namespace {

class PopupTest : public testing::Test {
protected:
    void SetUp() override {
        prompt::Reset();
        dashcam::RegisterProjectFonts();
        dashcam::SetScaleFromDpi(96);
        dashcam::ResetLanguageTable();
        ASSERT_TRUE(dashcam::LoadLanguage(u"english"));
    }
    void TearDown() override { prompt::Reset(); }
};

const QString kMessage = QStringLiteral("Disabling this function may result in\r\ndepletion of the vehicle's "
                                        "battery. \r\nDisable the low-voltage shutdown anyway?");

// Shows the popup without a modal loop and waits until it has finished, or gives up after `ms`.
bool WaitFinished(QDialog& dialog, int ms) {
    if (!dialog.isVisible())
        return true;
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return !dialog.isVisible();
}

} // namespace

TEST_F(PopupTest, MessageLinesStandOneCellApart) {
    CMsgPopupDlg popup;
    popup.SetPopupText("Caution", "Xg\r\nXg\r\nXg", 330, 170);
    popup.InitDialog();
    const QImage image = popup.messageLabel()->grab().toImage();
    const QColor background = image.pixelColor(0, 0);
    // The top row of each run of rows with ink: three identical lines.
    std::vector<int> tops;
    bool inInk = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = image.pixelColor(x, y) != background;
        if (ink && !inInk)
            tops.push_back(y);
        inInk = ink;
    }
    ASSERT_EQ(tops.size(), 3u);
    EXPECT_EQ(tops[1] - tops[0], 14);
    EXPECT_EQ(tops[2] - tops[1], 14);
}

TEST_F(PopupTest, EveryLanguagesCaptionsKeepAMarginInTheirButtons) {
    for (std::string_view language : dashcam::kLanguageNames) {
        dashcam::ResetLanguageTable();
        ASSERT_TRUE(dashcam::LoadLanguage(dashcam::Utf8ToUtf16(language)));
        CMsgPopupDlg popup;
        popup.SetPopupText("Caution", kMessage, 330, 170);
        popup.InitDialog();
        for (int id : {1, 2}) {
            const QPushButton* button = popup.button(id);
            EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()), button->width() - 10)
                << language << " " << button->text().toStdString();
        }
    }
}

TEST_F(PopupTest, QuestionsAndResultsShowNoIconErrorsAWarning) {
    dashcam::InstallMessageBoxPresenter();
    std::vector<QMessageBox::Icon> icons;
    auto answerNextBox = [&icons] {
        QTimer::singleShot(0, [&icons] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            icons.push_back(box->icon());
            box->done(QMessageBox::Yes);
        });
    };
    answerNextBox();
    prompt::Ask({prompt::Kind::MessageYesNo, u"Parking Mode Settings", u"Disable?\r\n"});
    answerNextBox();
    prompt::Ask({prompt::Kind::MessageOk, u"Formatting Memory Card", u"Formatting memory card complete."});
    answerNextBox();
    prompt::Ask({prompt::Kind::MessageOk, u"Kestravon Dashcam Setting", u"Could not save.", true});
    prompt::SetPresenter(nullptr);
    EXPECT_EQ(icons, (std::vector<QMessageBox::Icon>{QMessageBox::NoIcon, QMessageBox::NoIcon,
                                                     QMessageBox::Warning}));
}

TEST_F(PopupTest, AQuestionOpensCentredOnTheProgramsWindowEvenWhenNoWindowIsActive) {
    dashcam::InstallMessageBoxPresenter();
    QWidget window;
    window.setGeometry(0, 0, 300, 200);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(nullptr);
    ASSERT_EQ(QApplication::activeWindow(), nullptr);
    QPoint centre;
    QTimer::singleShot(0, [&centre] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        centre = box->frameGeometry().center();
        static_cast<QMessageBox*>(box)->done(QMessageBox::No);
    });
    prompt::Ask({prompt::Kind::MessageYesNo, u"Parking Mode Settings", u"Disable?\r\n"});
    prompt::SetPresenter(nullptr);
    EXPECT_LE((centre - window.frameGeometry().center()).manhattanLength(), 2);
}

TEST_F(PopupTest, MessagePopupLayoutAtItsCallersSize) {
    CMsgPopupDlg popup;
    popup.SetPopupText("Caution", kMessage, 330, 170);
    popup.InitDialog();
    EXPECT_EQ(popup.button(2)->geometry(), QRect(70, 90, 85, 25));
    EXPECT_EQ(popup.button(1)->geometry(), QRect(175, 90, 85, 25));
    EXPECT_EQ(popup.messageLabel()->geometry(), QRect(5, 28, 310, 90));
    EXPECT_EQ(popup.button(1)->text(), "Confirm");
    EXPECT_EQ(popup.button(2)->text(), "Cancel");
    EXPECT_EQ(popup.windowTitle(), "Caution");
    EXPECT_EQ(popup.messageLabel()->text().count('\n'), 2);
    EXPECT_FALSE(popup.messageLabel()->text().contains('\r'));
    // The face of the language file's [font] section, 14 pixels, regular weight.
    EXPECT_EQ(popup.messageFont().family(), QString::fromStdU16String(dashcam::GetUiFontFaceName()));
    EXPECT_EQ(popup.messageFont(), dashcam::CellHeightFont(popup.messageFont().family(), 14, 400));
    EXPECT_EQ(popup.messageLabel()->font(), popup.messageFont());
    EXPECT_EQ(popup.palette().color(QPalette::Window), QColor(Qt::white));
}

TEST_F(PopupTest, MessagePopupKeysAndButtons) {
    struct Case {
        const char* name;
        std::function<void(CMsgPopupDlg&)> act;
        int result;
    };
    const Case cases[] = {
        {"Y", [](CMsgPopupDlg& p) { QTest::keyClick(&p, Qt::Key_Y); }, CMsgPopupDlg::kIdOk},
        {"N", [](CMsgPopupDlg& p) { QTest::keyClick(&p, Qt::Key_N); }, CMsgPopupDlg::kIdCancel},
        {"Enter", [](CMsgPopupDlg& p) { QTest::keyClick(p.button(1), Qt::Key_Return); }, CMsgPopupDlg::kIdOk},
        {"Confirm", [](CMsgPopupDlg& p) { QTest::mouseClick(p.button(1), Qt::LeftButton); },
         CMsgPopupDlg::kIdOk},
        {"Cancel", [](CMsgPopupDlg& p) { QTest::mouseClick(p.button(2), Qt::LeftButton); },
         CMsgPopupDlg::kIdCancel},
        {"close box", [](CMsgPopupDlg& p) { p.close(); }, CMsgPopupDlg::kIdCancel},
    };
    for (const Case& c : cases) {
        CMsgPopupDlg popup;
        popup.SetPopupText("Caution", kMessage, 330, 170);
        popup.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
        c.act(popup);
        EXPECT_TRUE(WaitFinished(popup, 2000)) << c.name;
        EXPECT_EQ(popup.result(), c.result) << c.name;
    }
}

TEST_F(PopupTest, EscapeLeavesBothPopupsOpen) {
    CMsgPopupDlg message;
    message.SetPopupText("Caution", kMessage, 330, 170);
    message.show();
    CProgPopupDlg progress;
    progress.SetPopupText("Format", "Please wait.", 400, 150);
    progress.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&message));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&progress));
    QTest::keyClick(&message, Qt::Key_Escape);
    QTest::keyClick(message.button(1), Qt::Key_Escape);
    QTest::keyClick(&progress, Qt::Key_Escape);
    QTest::qWait(20);
    EXPECT_TRUE(message.isVisible());
    EXPECT_TRUE(progress.isVisible());
    message.done(CMsgPopupDlg::kIdCancel);
    progress.Close();
    EXPECT_TRUE(WaitFinished(progress, 2000));
}

TEST_F(PopupTest, MessagePopupRunsThroughThePromptSeam) {
    CMsgPopupDlg popup;
    popup.SetPopupText("Caution", kMessage, 330, 170);
    prompt::QueueAnswer(prompt::Answer::Yes);
    EXPECT_EQ(popup.DoModal(), CMsgPopupDlg::kIdOk);
    prompt::QueueAnswer(prompt::Answer::No);
    EXPECT_EQ(popup.DoModal(), CMsgPopupDlg::kIdCancel);
    ASSERT_EQ(prompt::History().size(), 2u);
    EXPECT_EQ(prompt::History()[0].kind, prompt::Kind::Confirm);
    EXPECT_EQ(prompt::History()[0].caption, u"Caution");
    EXPECT_EQ(prompt::History()[0].text, kMessage.toStdU16String());

    // Without a queued answer the real popup runs its modal loop.
    QTimer::singleShot(50, [&popup] { QTest::keyClick(&popup, Qt::Key_Y); });
    EXPECT_EQ(popup.DoModal(), CMsgPopupDlg::kIdOk);
}

TEST_F(PopupTest, ProgressLabelHeightFollowsTheLineCount) {
    const std::pair<QString, int> cases[] = {
        {"one line", 40}, {"a\r\nb", 40}, {"a\r\nb\r\nc", 50}, {"a\r\nb\r\nc\r\nd", 40}};
    for (const auto& [text, height] : cases) {
        CProgPopupDlg popup;
        popup.SetPopupText("Format", text, 400, 150);
        popup.InitDialog();
        EXPECT_EQ(popup.messageLabel()->geometry(), QRect(0, 28, 400, height)) << text.toStdString();
        EXPECT_EQ(popup.progressBar()->geometry(), QRect(40, 80, 320, 30));
        EXPECT_EQ(popup.progressBar()->minimum(), 0);
        EXPECT_EQ(popup.progressBar()->maximum(), 100);
    }
}

TEST_F(PopupTest, ProgressValuesAboveOneHundredFillTheBar) {
    CProgPopupDlg popup;
    popup.SetPopupText("Format", "Please wait.", 400, 150);
    popup.InitDialog();
    for (int i = 0; i < 6; ++i)
        popup.SetProgress(popup.GetProgress() + 20);
    EXPECT_EQ(popup.GetProgress(), 100);
    EXPECT_EQ(popup.progressBar()->value(), 100);
    // No lower clamp on the stored value; the bar shows its empty end.
    popup.SetProgress(-5);
    EXPECT_EQ(popup.GetProgress(), -5);
    EXPECT_EQ(popup.progressBar()->value(), 0);
}

TEST_F(PopupTest, ProgressDrivenAndClosedFromAWorkerThread) {
    CProgPopupDlg popup;
    popup.SetPopupText("Format", "Formatting.\r\nPlease wait.", 400, 150);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    std::thread worker([&popup] {
        for (int i = 0; i < 6; ++i) {
            popup.SetProgress(popup.GetProgress() + 20);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        popup.Close();
    });
    const bool finished = WaitFinished(popup, 5000);
    worker.join();
    ASSERT_TRUE(finished);
    EXPECT_EQ(popup.result(), CProgPopupDlg::kIdCancel);
    EXPECT_EQ(popup.GetProgress(), 100);
    EXPECT_EQ(popup.progressBar()->value(), 100);
}

TEST_F(PopupTest, ProgressModalLoopEndsOnACloseFromTheWorker) {
    CProgPopupDlg popup;
    popup.SetPopupText("Format", "Please wait.", 400, 150);
    std::thread worker;
    QTimer::singleShot(0, [&] {
        worker = std::thread([&popup] {
            popup.SetProgress(100);
            popup.Close();
        });
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, &popup, [&popup] { popup.done(99); });
    watchdog.start(5000);
    EXPECT_EQ(popup.DoModal(), CProgPopupDlg::kIdCancel);
    worker.join();
    EXPECT_NE(popup.result(), 99);
    EXPECT_EQ(prompt::History().back().kind, prompt::Kind::Progress);
}

TEST_F(PopupTest, ProgressCloseBeforeTheLoopStartsStillEndsIt) {
    CProgPopupDlg popup;
    popup.SetPopupText("Format", "Please wait.", 400, 150);
    std::thread([&popup] { popup.Close(); }).join();
    QTimer::singleShot(5000, &popup, [&popup] { popup.done(99); });
    EXPECT_EQ(popup.DoModal(), CProgPopupDlg::kIdCancel);
    EXPECT_NE(popup.result(), 99);
}

TEST_F(PopupTest, ProgressIgnoresTheWindowSystemsClose) {
    CProgPopupDlg popup;
    popup.SetPopupText("Format", "Please wait.", 400, 150);
    popup.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
    // The window system's close request (Alt+F4, a close box the window manager adds anyway).
    ASSERT_NE(popup.windowHandle(), nullptr);
    popup.windowHandle()->close();
    QTest::qWait(20);
    EXPECT_TRUE(popup.isVisible());
    popup.Close();
    EXPECT_TRUE(WaitFinished(popup, 2000));
}
