#include "gui/app/language.h"

#include "core/datafile/program.h"

namespace {

int englishFlag = 0;

}  // namespace

int EnglishFlag() { return englishFlag; }

void SetEnglishFlag(int english) { englishFlag = english ? 1 : 0; }

int ReadLanguageSetting() {
    return kvr::ReadProfileString("LanguageSetting", "Language", "0") == "1" ? 1 : 0;
}

bool WriteLanguageSetting(int english) {
    return kvr::WriteProfileString("LanguageSetting", "Language", english ? "1" : "0");
}
