#pragma once
// What every page test starts from: the project's fonts, the 100 % scale, English texts and no queued answers.
#include <QAbstractButton>
#include <QDialog>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "i18n/language_table.h"
#include "platform/prompt.h"
#include "settings/card.h"
#include "settings/settings_record.h"
#include "support/temp_dir.h"
#include "ui/dpi_scale.h"
#include "ui/fonts.h"

namespace dashcam::test {

inline const std::filesystem::path kSampleCard = std::filesystem::path(DASHCAM_SOURCE_DIR) / "examples" / "card";

// False when the English texts could not be loaded.
inline bool PreparePageTest() {
    RegisterProjectFonts();
    SetScaleFromDpi(96);
    ResetLanguageTable();
    prompt::Reset();
    return LoadLanguage(u"english");
}

// A page of type Page in a host window of the page's size, refreshed from the sample card's setup.cfg.
template <class Page> class PageTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PreparePageTest());
        std::filesystem::copy_file(kSampleCard / "setup.cfg", card_ / "setup.cfg");
        ASSERT_TRUE(cardFiles_.LoadSettingsFile(card_.root() + u"setup.cfg"));
        host_ = std::make_unique<QDialog>();
        host_->resize(Page::kPageWidth, Page::kPageHeight);
        page_ = new Page(cardFiles_, host_.get());
        page_->Refresh();
    }
    void TearDown() override {
        host_.reset();
        prompt::Reset();
    }

    SettingsRecord& record() { return *cardFiles_.record(); }
    QAbstractButton* button(int id) { return page_->template itemAs<QAbstractButton>(id); }

    TempDir card_;
    Card cardFiles_{card_.root()};
    std::unique_ptr<QDialog> host_;
    Page* page_ = nullptr;
};

} // namespace dashcam::test
