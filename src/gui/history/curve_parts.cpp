#include "gui/history/curve_parts.h"

#include "core/datafile/cxfile.h"
#include "gui/common/message_box.h"
#include "gui/history/channel_panel.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/time_scroll_bar.h"

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
