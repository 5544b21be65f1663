#include "gui/history/hc_view.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

#include "gui/common/command_ids.h"
#include "gui/common/command_menu.h"
#include "gui/common/file_events.h"
#include "gui/common/system_colors.h"
#include "gui/common/view_host.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/file_status.h"
#include "gui/curves/span_panel.h"
#include "gui/curves/time_scroll_bar.h"
#include "gui/history/hc_navigation.h"
#include "gui/history/hc_print.h"

namespace {

// The context menu, 0 marking a separator: the windows on the file, tags and the
// selection, the curve items, and the file's own information.
constexpr auto kWindowItems = std::to_array<CommandMenuItem>({
    {cmd::kDataList, "历史数据列表(&D)"},
    {cmd::kCumulativeReport, "累积报表(&U)"},
    {cmd::kExcelExport, "Excel 导出(&E)"},
    {0, nullptr},
    {cmd::kAddTag, "添加时间标签(&L)"},
    {cmd::kValueLabel, "值标签(&V)"},
    {0, nullptr},
    {cmd::kSetStartPoint, "设置成起点(&S)"},
    {cmd::kSetEndPoint, "设置成终点(&E)"},
    {cmd::kZoomSelection, "显示为整屏(&P)"},
    {cmd::kSpanPanel, "区间面板(&N)"},
    {0, nullptr},
});
constexpr auto kFileItems = std::to_array<CommandMenuItem>({
    {0, nullptr},
    {cmd::kCumulativeList, "查看累积报表(&L)"},
    {cmd::kFileInfo, "查看文件信息(&F)"},
});
constexpr auto kContextItems = JoinCommandMenus(kWindowItems, kCurveMenuItems, kFileItems);

}  // namespace

CHCView::CHCView(QWidget* parent) : QWidget(parent) {
    parts_.Create(this, new CXCurveCtrl(this));
    setFocusProxy(parts_.curve);
    connect(parts_.curve, &CXCurveCtrl::plotRightButtonReleased, this, &CHCView::ShowContextMenu);
    // "总时间" follows every change of the window, the scroll bar's handles included.
    connect(parts_.curve, &CXCurveCtrl::windowChanged, this, &CHCView::UpdateStatusBar);
    RegisterCurveCommands();
    RegisterDisplayCommands();
    RegisterWindowCommands();
    connect(FileEvents::Instance(), &FileEvents::DisplaySettingsChanged, this,
            &CHCView::DisplaySettingsChanged);
    new CHCNavigation(this);  // tags, value labels, go-to, range, find, data list
    new CHCPrint(this);       // printing, circular charts
    span_ = new CSpanPanel(parts_.curve, this);
    span_->RegisterToggle(*this);
    span_->SetExportShown(HasChildFactory(ChildWindow::kExcelExport));
    connect(span_, &CSpanPanel::exportRequested, this, &CHCView::OpenExport);
}

CHCView::~CHCView() {
    // The children outlive the members; they must not see the file go.
    parts_.curve->SetFile(nullptr);
    parts_.panel->SetFile(nullptr);
}

void CHCView::SetFile(kvr::CXFile* file) {
    // The children let go of a file before it is deleted.
    parts_.curve->SetFile(file);
    parts_.panel->SetFile(file);
    file_.reset(file);
    if (!file) return;
    parts_.scrollBar->SetTarget(parts_.curve);
    parts_.scrollBar->SetFixedWidth(false);
    parts_.curve->ApplyFileSettings();
    parts_.curve->SetScrollBar(parts_.scrollBar);
    parts_.panel->SetTarget(parts_.curve);
    parts_.curve->SetWindowRange(file->GetStartTime(), file->GetEndTime());
    shownEnd_ = file->GetEndTime();
    RebuildCircleChartMenu();
    UpdateStatusBar();
    parts_.Layout();
}

void CHCView::resizeEvent(QResizeEvent*) { parts_.Layout(); }

void CHCView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ButtonFaceColor());
    UpdateStatusBar();
}

void CHCView::OnActivated() {
    RebuildCircleChartMenu();
    UpdateStatusBar();
}

void CHCView::UpdateStatusBar() {
    if (!file_) return;
    const auto [start, end] = parts_.curve->GetWindowRange();
    ShowFileStatus(*file_, end - start);
}

void CHCView::RebuildCircleChartMenu() {
    if (!file_) return;
    QStringList names;
    const int count =
        std::min(file_->GetChannelCount(), cmd::kCircleChartLast - cmd::kCircleChartFirst + 1);
    for (int c = 0; c < count; ++c) names << QString::fromStdString(file_->GetChannelName(c));
    SetCircleChartItems(names);
}

bool CHCView::HasSelection() const {
    if (!parts_.curve->IsSelectMode()) return false;
    const auto [start, end] = parts_.curve->GetSelection();
    return start != 0 && start != end;
}

QMenu* CHCView::BuildContextMenu() {
    // Commands of windows the program does not have are left out.
    return BuildCommandMenu(
        this, kContextItems, [this](int id) { return IsCommandEnabled(id); },
        [this](int id) { ExecuteCommand(id); }, [this](int id) { return HandlesCommand(id); });
}

void CHCView::ShowContextMenu(const QPoint& globalPosition) {
    QMenu* menu = BuildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void CHCView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) ShowContextMenu(event->globalPosition().toPoint());
}
