// Message boxes show their standard buttons in the interface language.
#include <QAbstractButton>
#include <QMessageBox>
#include <gtest/gtest.h>

#include "ui/qt_translations.h"

namespace dashcam {
namespace {

QString YesText() {
    QMessageBox box(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')) + QLatin1Char('/') +
           box.button(QMessageBox::No)->text().remove(QLatin1Char('&'));
}

TEST(QtTranslations, GermanButtonsReadJaNeinAndEnglishComesBack) {
    ASSERT_TRUE(InstallQtTranslations(u"german"));
    EXPECT_EQ(YesText(), QStringLiteral("Ja/Nein"));
    // Another language replaces the first one; English is the toolkit's own.
    EXPECT_TRUE(InstallQtTranslations(u"french"));
    EXPECT_EQ(YesText(), QStringLiteral("Oui/Non"));
    EXPECT_FALSE(InstallQtTranslations(u"english"));
    EXPECT_EQ(YesText(), QStringLiteral("Yes/No"));
}

TEST(QtTranslations, DesktopLocalesMapToInterfaceLanguages) {
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("de_AT")), u"german");
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("zh_HK")), u"chinesetraditional");
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("zh_CN")), u"chinesesimplified");
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("pt_PT")), u"portuguese");
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("nl_NL")), u"english");
    EXPECT_EQ(InterfaceLanguageOfLocale(QStringLiteral("C")), u"english");
}

} // namespace
} // namespace dashcam
