#pragma once
// CXCom: the serial parameters the user keeps for talking to an instrument. GetComm reads
// them from Config.ini (section "ComSetting", defaults where none are kept); ShowXWnd lets
// the user edit them in CComDlg and keeps them on OK.
#include "core/settings/com_param.h"
#include "gui/common/language.h"

class CXCom {
public:
    void GetComm(kvr::ComParam* param) const;
    // The dialog in the language; 1 when the user kept new settings.
    int ShowXWnd(Language language);
    // Writes the record to Config.ini; false when it cannot be written.
    static bool KeepComm(const kvr::ComParam& param);
};
