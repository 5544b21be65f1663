#include "gui/charts/rrange_view.h"

#include <QMenu>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/range_dial_ctrl.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_menu.h"
#include "gui/common/file_events.h"
#include "gui/common/view_host.h"

namespace {

constexpr auto kContextItems = std::to_array<CommandMenuItem>({
    {cmd::kFileInfo, "文件信息(&F)..."},
});

}  // namespace

CRRangeView::CRRangeView(kvr::CXFile* file, QWidget* parent)
    : QWidget(parent), file_(file), tabs_(new QTabBar(this)), dial_(new CRangeDialCtrl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(tabs_);
    layout->addWidget(dial_, 1);
    const int inUse = file ? static_cast<int>(kvr::ChannelsInUse(*file).size()) : 0;
    const int tabCount =
        (inUse + CRangeDialCtrl::kChannelsPerGroup - 1) / CRangeDialCtrl::kChannelsPerGroup;
    for (int t = 0; t < tabCount; ++t) tabs_->addTab(QStringLiteral("第%1组").arg(t + 1));
    dial_->SetGroups(tabCount, 0);
    dial_->SetFile(file);
    connect(tabs_, &QTabBar::currentChanged, this, &CRRangeView::SelectTab);
    connect(&timer_, &QTimer::timeout, dial_, &CRangeDialCtrl::Refresh);
    timer_.start(std::max(file ? file->GetInterval() : 1, 1) * 1000);

    RegisterCommand(cmd::kFileInfo,
                    {[this] {
                         OpenChildWindow(ChildWindow::kFileInfo, {this, file_});
                     },
                     [this] { return file_ && HasChildFactory(ChildWindow::kFileInfo); },
                     {}});
    connect(dial_, &CRangeDialCtrl::rightButtonReleased, this, &CRRangeView::ShowContextMenu);
    connect(FileEvents::Instance(), &FileEvents::DisplaySettingsChanged, this,
            [this](kvr::CXFile* changed) {
                if (changed == file_) dial_->Layout();
            });
}

QMenu* CRRangeView::BuildContextMenu() {
    return BuildCommandMenu(
        this, kContextItems, [this](int id) { return IsCommandEnabled(id); },
        [this](int id) { ExecuteCommand(id); });
}

void CRRangeView::ShowContextMenu(const QPoint& globalPosition) {
    QMenu* menu = BuildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void CRRangeView::SelectTab(int tab) {
    if (tab < 0 || tab == selectedTab_) return;
    selectedTab_ = tab;
    dial_->SetGroups(tabs_->count(), tab);
    dial_->Layout();
}
