#include "ui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace dashcam {
namespace {

struct LanguageLocale {
    std::u16string_view language;
    std::u16string_view locale;
};

constexpr LanguageLocale kLocales[] = {
    {u"french", u"fr"},     {u"russian", u"ru"},           {u"korean", u"ko"},
    {u"spanish", u"es"},    {u"chinesesimplified", u"zh_CN"}, {u"chinesetraditional", u"zh_TW"},
    {u"german", u"de"},     {u"italian", u"it"},           {u"japanese", u"ja"},
    {u"portuguese", u"pt_BR"}, {u"thai", u"th"}};

std::unique_ptr<QTranslator>& Installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

} // namespace

std::u16string_view QtLocaleOfLanguage(std::u16string_view languageName) {
    for (const LanguageLocale& entry : kLocales)
        if (entry.language == languageName)
            return entry.locale;
    return {};
}

std::u16string_view InterfaceLanguageOfLocale(const QString& localeName) {
    if (localeName.startsWith(QLatin1String("zh")))
        return localeName.contains(QLatin1String("TW")) || localeName.contains(QLatin1String("HK")) ||
                       localeName.contains(QLatin1String("MO")) || localeName.contains(QLatin1String("Hant"))
                   ? u"chinesetraditional"
                   : u"chinesesimplified";
    for (const LanguageLocale& entry : kLocales)
        if (localeName.left(2) == QString::fromUtf16(entry.locale.data(), 2))
            return entry.language;
    return u"english";
}

bool InstallQtTranslations(std::u16string_view languageName) {
    if (Installed()) {
        QCoreApplication::removeTranslator(Installed().get());
        Installed().reset();
    }
    const std::u16string_view locale = QtLocaleOfLanguage(languageName);
    if (locale.empty())
        return false;
    auto translator = std::make_unique<QTranslator>();
    const QString name = QStringLiteral("qtbase_") + QString::fromUtf16(locale.data(), locale.size());
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator.get()))
        return false;
    Installed() = std::move(translator);
    return true;
}

} // namespace dashcam
