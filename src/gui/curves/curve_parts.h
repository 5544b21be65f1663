#pragma once
// The three children both curve views (history and realtime) are made of: the time scroll
// bar across the top, the curve control below it and the channel panel at the right, laid
// out and switched the same way in both.
#include <array>
#include <functional>

#include "gui/common/command_ids.h"
#include "gui/common/command_menu.h"

class CChannelPanel;
class CommandMap;
class CTimeScrollBar;
class CXCurveCtrl;
class QWidget;

namespace kvr {
class CXFile;
}

// The run of context-menu items both curve views offer: copying and the curves shown.
inline constexpr auto kCurveMenuItems = std::to_array<CommandMenuItem>({
    {cmd::kCopy, "复制(&C)\tCtrl+C"},
    {cmd::kSelectAll, "全选(&A)\tCtrl+A"},
    {0, nullptr},
    {cmd::kShowAllCurves, "显示全部曲线(&S)"},
    {cmd::kHideAllCurves, "隐藏全部曲线(&H)"},
    {cmd::kPreviousFour, "前4条曲线\tCtrl+←"},
    {cmd::kNextFour, "后4条曲线\tCtrl+→"},
});

struct CurveParts {
    static constexpr int kScrollBarHeight = 16;
    static constexpr int kMargin = 2;

    CTimeScrollBar* scrollBar = nullptr;
    CXCurveCtrl* curve = nullptr;
    CChannelPanel* panel = nullptr;
    bool panelShown = false;
    int page = 0;  // where the next or previous four curves start from

    // Places the scroll bar, the given curve control and a hidden panel in view.
    void Create(QWidget* view, CXCurveCtrl* curveCtrl);
    // Fits the children to the view's size.
    void Layout() const;
    // Every part that leaves room for the panel is told, then all are laid out again.
    void SetPanelShown(bool shown);
    // Writes the file's channel display states; redraws the curves and the panel's ticks,
    // or tells the user the header could not be written.
    bool SaveDisplayChange(kvr::CXFile& file, QWidget* parent) const;
    // The commands that choose the curves shown (all, none, the next or previous four) and
    // the channel panel's, on map. file() is the file whose display states they change;
    // they are greyed while it is null.
    void RegisterDisplayCommands(CommandMap& map, std::function<kvr::CXFile*()> file,
                                 QWidget* parent);
};
