#pragma once
// Qt's own translations (the standard buttons Yes, No, OK, Cancel and the toolkit's dialogs) for the interface
// language, so that message boxes speak the same language as the window around them.
#include <QString>
#include <string_view>

namespace dashcam {

// The locale name of Qt's translation files for an interface language name ("german" -> "de"); empty for
// English and for a name it does not know.
std::u16string_view QtLocaleOfLanguage(std::u16string_view languageName);
// Installs Qt's translations of the language into the running application in place of any installed before;
// English, or a language whose files are not on the system, leaves the toolkit's own English. True when a
// translation was installed.
bool InstallQtTranslations(std::u16string_view languageName);
// The interface language of a desktop locale name ("de_DE" -> "german", "zh_HK" -> "chinesetraditional");
// "english" for any other.
std::u16string_view InterfaceLanguageOfLocale(const QString& localeName);

} // namespace dashcam
