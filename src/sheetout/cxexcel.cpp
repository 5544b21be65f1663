#include "sheetout/cxexcel.h"

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "sheetout/export_dlg.h"

CXExcel::~CXExcel() = default;

void CXExcel::SetFile(kvr::CXFile* file) {
    file_ = file;
    if (file_ == nullptr) return;
    start_ = file_->GetStartTime();
    end_ = file_->GetSpanEndTime();
}

void CXExcel::SetRange(kvr::Time start, kvr::Time end) {
    start_ = start;
    end_ = end;
}

void CXExcel::ShowXWnd(int language) {
    if (language != 0 && language != 1) return;
    CXExportDlg dialog(language == 1 ? kvr::Language::kEnglish : kvr::Language::kChinese);
    dialog.Bind(file_);
    dialog.SetRange(start_, end_);
    dialog.exec();
}

void CXExcel::SetSettingsFolder(const char* folder) { kvr::SetProgramFolder(folder ? folder : ""); }
