#pragma once
// CXExcel: the export library's one exported class. The caller hands over an open data
// file and a period; ShowXWnd runs the export dialog modally in the caller's language.
#include "core/datafile/time.h"

#define SHEETOUT_API __attribute__((visibility("default")))

namespace kvr {
class CXFile;
}

class SHEETOUT_API CXExcel {
public:
    CXExcel() = default;
    CXExcel(const CXExcel&) = default;
    CXExcel& operator=(const CXExcel&) = default;
    virtual ~CXExcel();

    // The period becomes the whole file unless the file is null. The file is borrowed and
    // must stay open until ShowXWnd returns.
    void SetFile(kvr::CXFile* file);
    // Stored as given; the dialog checks the period when the user exports.
    void SetRange(kvr::Time start, kvr::Time end);
    // 0 Chinese, 1 English; any other value shows nothing. Returns when the dialog closes.
    void ShowXWnd(int language);

    // The folder that holds the caller's Config.ini (with its last-used folder). The library
    // keeps its own copy of the settings code, so a caller whose settings are not beside
    // the executable (a per-user folder) says where they are before ShowXWnd. Null or
    // empty: beside the executable.
    static void SetSettingsFolder(const char* folder);

private:
    kvr::Time start_ = 0;
    kvr::Time end_ = 0;
    kvr::CXFile* file_ = nullptr;
};
