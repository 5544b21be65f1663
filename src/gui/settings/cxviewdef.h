#pragma once
// CXViewDef: the default display settings new data files start with. GetView reads them
// from Config.ini (section "ViewSetting", defaults where none are kept); ShowXWnd lets the
// user edit them in CViewDefDlg and keeps them on OK.
#include "core/settings/view_def.h"
#include "gui/common/language.h"

class CXViewDef {
public:
    void GetView(kvr::ViewDef* view) const;
    // The dialog in the language; 1 when the user kept new settings.
    int ShowXWnd(Language language);
    static bool KeepView(const kvr::ViewDef& view);
};
