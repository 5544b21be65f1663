#include "gui/common/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <memory>

#include "core/settings/profile.h"

namespace {

Language programLanguage = Language::kChinese;
QTranslator* qtTranslator = nullptr;  // owned by the application once installed

}  // namespace

Language ProgramLanguage() { return programLanguage; }

void SetProgramLanguage(Language language) { programLanguage = language; }

QString LanguageText(Language language, const char* chinese, const char* english) {
    return QString::fromUtf8(language == Language::kEnglish ? english : chinese);
}

Language ReadLanguageSetting() {
    return kvr::ReadProfileString("LanguageSetting", "Language", "0") == "1" ? Language::kEnglish
                                                                             : Language::kChinese;
}

bool WriteLanguageSetting(Language language) {
    return kvr::WriteProfileString("LanguageSetting", "Language",
                                   language == Language::kEnglish ? "1" : "0");
}

bool InstallQtTranslations(Language language) {
    if (qtTranslator) {
        QCoreApplication::removeTranslator(qtTranslator);
        delete qtTranslator;
        qtTranslator = nullptr;
    }
    const QLocale locale = language == Language::kChinese
                               ? QLocale(QLocale::Chinese, QLocale::China)
                               : QLocale(QLocale::English, QLocale::UnitedStates);
    QLocale::setDefault(locale);
    if (language != Language::kChinese) return true;
    auto translator = std::make_unique<QTranslator>(QCoreApplication::instance());
    if (!translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    qtTranslator = translator.release();
    return true;
}
