#include "gui/history/hc_view.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

#include "gui/common/command_ids.h"
#include "gui/common/file_events.h"
#include "gui/common/system_colors.h"
#include "gui/history/channel_panel.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/hc_navigation.h"
#include "gui/history/hc_print.h"
#include "gui/history/time_scroll_bar.h"

namespace {

QString FullTime(kvr::Time t) { return QString::fromStdString(kvr::FormatTime(t)); }

// The context menu: 0 marks a separator.
struct ContextItem {
    int id;
    const char* text;
};

constexpr ContextItem kContextItems[] = {
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
    {0, nullptr},
    {cmd::kCopy, "复制(&C)\tCtrl+C"},
    {cmd::kSelectAll, "全选(&A)\tCtrl+A"},
    {0, nullptr},
    {cmd::kShowAllCurves, "显示全部曲线(&S)"},
    {cmd::kHideAllCurves, "隐藏全部曲线(&H)"},
    {cmd::kPreviousFour, "前4条曲线\tCtrl+←"},
    {cmd::kNextFour, "后4条曲线\tCtrl+→"},
    {0, nullptr},
    {cmd::kCumulativeList, "查看累积报表(&L)"},
    {cmd::kFileInfo, "查看文件信息(&F)"},
};

}  // namespace

CHCView::CHCView(QWidget* parent) : QWidget(parent) {
    scrollBar_ = new CTimeScrollBar(this);
    scrollBar_->setGeometry(kMargin, kMargin, 100, kScrollBarHeight);
    curve_ = new CXCurveCtrl(this);
    curve_->move(kMargin, kMargin + kScrollBarHeight + kMargin);
    panel_ = new CChannelPanel(this);
    panel_->move(0, 0);

    // The panel starts hidden; every part that leaves room for it is told so.
    scrollBar_->SetPanelShown(panelShown_);
    curve_->SetPanelShown(panelShown_);
    panel_->SetShown(panelShown_);
    panel_->hide();

    setFocusProxy(curve_);
    connect(curve_, &CXCurveCtrl::plotRightButtonReleased, this, &CHCView::ShowContextMenu);
    // "总时间" follows every change of the window, the scroll bar's handles included.
    connect(curve_, &CXCurveCtrl::windowChanged, this, &CHCView::UpdateStatusBar);
    RegisterCurveCommands();
    RegisterDisplayCommands();
    RegisterWindowCommands();
    connect(FileEvents::Instance(), &FileEvents::DisplaySettingsChanged, this,
            &CHCView::DisplaySettingsChanged);
    new CHCNavigation(this);  // tags, value labels, go-to, range, find, data list
    new CHCPrint(this);       // printing, circular charts
}

CHCView::~CHCView() {
    // The children outlive the members; they must not see the file go.
    curve_->SetFile(nullptr);
    panel_->SetFile(nullptr);
}

void CHCView::SetFile(kvr::CXFile* file) {
    // The children let go of a file before it is deleted.
    curve_->SetFile(file);
    panel_->SetFile(file);
    file_.reset(file);
    if (!file) return;
    scrollBar_->SetTarget(curve_);
    scrollBar_->SetFixedWidth(false);
    curve_->ApplyFileSettings();
    curve_->SetScrollBar(scrollBar_);
    panel_->SetTarget(curve_);
    curve_->SetWindowRange(file->GetStartTime(), file->GetEndTime());
    RebuildCircleChartMenu();
    UpdateStatusBar();
    LayoutChildren();
}

void CHCView::LayoutChildren() {
    scrollBar_->LayoutAndRedraw(true);
    curve_->Rebuild();
    panel_->LayoutPanel();
}

void CHCView::resizeEvent(QResizeEvent*) { LayoutChildren(); }

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
    SetStatusText(1, QStringLiteral("设备名称：") + QString::fromStdString(file_->GetDeviceName()));
    SetStatusText(2, QStringLiteral("通道数目：") + QString::number(file_->GetChannelCount()));
    SetStatusText(3, QStringLiteral("记录时段：") + FullTime(file_->GetStartTime()) +
                         QStringLiteral(" => ") + FullTime(file_->GetEndTime()));
    SetStatusText(4,
                  QStringLiteral("记录间隔：") + QStringLiteral("%1S").arg(file_->GetInterval()));
    const auto [start, end] = curve_->GetWindowRange();
    const long long seconds = end - start;
    SetStatusText(
        5, QStringLiteral("总时间:") + QString::asprintf("%lld小时%lld分%lld秒", seconds / 3600,
                                                         seconds / 60 % 60, seconds % 60));
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
    if (!curve_->IsSelectMode()) return false;
    const auto [start, end] = curve_->GetSelection();
    return start != 0 && start != end;
}

QMenu* CHCView::BuildContextMenu() {
    auto* menu = new QMenu(this);
    bool separatorDue = false;
    for (const ContextItem& item : kContextItems) {
        // Commands of windows the program does not have are left out, and so are the
        // separators they would leave doubled.
        if (item.id == 0) {
            separatorDue = !menu->isEmpty();
            continue;
        }
        if (!HandlesCommand(item.id)) continue;
        if (separatorDue) menu->addSeparator();
        separatorDue = false;
        QAction* action = menu->addAction(QString::fromUtf8(item.text));
        const int id = item.id;
        action->setData(id);
        action->setEnabled(IsCommandEnabled(id));
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    }
    return menu;
}

void CHCView::ShowContextMenu(const QPoint& globalPosition) {
    QMenu* menu = BuildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void CHCView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) ShowContextMenu(event->globalPosition().toPoint());
}
