#include "gui/common/language.h"

#include "core/datafile/program.h"

namespace {

Language programLanguage = Language::Chinese;

}  // namespace

Language ProgramLanguage() { return programLanguage; }

void SetProgramLanguage(Language language) { programLanguage = language; }

Language ReadLanguageSetting() {
    return kvr::ReadProfileString("LanguageSetting", "Language", "0") == "1" ? Language::English
                                                                              : Language::Chinese;
}

bool WriteLanguageSetting(Language language) {
    return kvr::WriteProfileString("LanguageSetting", "Language", language == Language::English ? "1" : "0");
}
