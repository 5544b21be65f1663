#include "gui/curves/curve_parts.h"

#include "core/datafile/cxfile.h"
#include "core/view/curve_pages.h"
#include "gui/common/command_map.h"
#include "gui/common/message_box.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/time_scroll_bar.h"

void CurveParts::Create(QWidget* view, CXCurveCtrl* curveCtrl) {
    scrollBar = new CTimeScrollBar(view);
    scrollBar->setGeometry(kMargin, kMargin, 100, kScrollBarHeight);
    curve = curveCtrl;
    curve->move(kMargin, kMargin + kScrollBarHeight + kMargin);
    panel = new CChannelPanel(view);
    panel->move(0, 0);
    scrollBar->SetPanelShown(panelShown);
    curve->SetPanelShown(panelShown);
    panel->SetShown(panelShown);
    panel->hide();
}

void CurveParts::Layout() const {
    scrollBar->LayoutAndRedraw(true);
    curve->Rebuild();
    panel->LayoutPanel();
}

void CurveParts::SetPanelShown(bool shown) {
    panelShown = shown;
    scrollBar->SetPanelShown(panelShown);
    curve->SetPanelShown(panelShown);
    panel->SetShown(panelShown);
    panel->LayoutPanel();
    scrollBar->LayoutAndRedraw(true);
    curve->Rebuild();
}

bool CurveParts::SaveDisplayChange(kvr::CXFile& file, QWidget* parent) const {
    if (!file.FlushHeader()) {
        // The changed states stay in memory; the curves keep what they show.
        ShowStopMessage(parent, QStringLiteral("保存文件信息失败！"), NoticeCaption());
        return false;
    }
    curve->Rebuild();
    // The panel's ticks follow the states, or it would contradict the curves.
    if (panelShown) panel->RebuildControls();
    return true;
}

void CurveParts::RegisterDisplayCommands(CommandMap& map, std::function<kvr::CXFile*()> file,
                                         QWidget* parent) {
    const auto withFile = [file] { return file() != nullptr; };
    const auto showAll = [this, file, parent](bool shown) {
        kvr::SetAllCurvesShown(file()->Header(), shown);
        // A page that was not saved is not shown either.
        if (SaveDisplayChange(*file(), parent)) page = 0;
    };
    map.RegisterCommand(cmd::kShowAllCurves, {[showAll] { showAll(true); }, withFile, {}});
    map.RegisterCommand(cmd::kHideAllCurves, {[showAll] { showAll(false); }, withFile, {}});
    const auto step = [this, file, parent](int (*turn)(kvr::FileHeader&, int)) {
        page = turn(file()->Header(), page);
        SaveDisplayChange(*file(), parent);
    };
    map.RegisterCommand(cmd::kNextFour, {[step] { step(kvr::ShowNextFourCurves); }, withFile, {}});
    map.RegisterCommand(cmd::kPreviousFour,
                        {[step] { step(kvr::ShowPreviousFourCurves); }, withFile, {}});
    map.RegisterCommand(
        cmd::kChannelPanel,
        {[this] { SetPanelShown(!panelShown); }, {}, [this] { return panelShown; }});
}
