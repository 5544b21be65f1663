#include "gui/charts/bar_view.h"

#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/bar_panel_ctrl.h"

namespace {
int RefreshMs(const kvr::CXFile* file) {
    return std::max(file ? file->GetInterval() : 1, 1) * 1000;
}
}  // namespace

CBarView::CBarView(kvr::CXFile* file, QWidget* parent)
    : QWidget(parent), file_(file), tabs_(new QTabBar(this)), panel_(new CBarPanelCtrl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(tabs_);
    layout->addWidget(panel_, 1);
    const int tabCount = kvr::BarTabCount(file ? file->GetChannelCount() : 0);
    for (int t = 0; t < tabCount; ++t) tabs_->addTab(QStringLiteral("第%1组").arg(t + 1));
    panel_->SetGroups(tabCount, 0);
    panel_->SetFile(file);
    connect(tabs_, &QTabBar::currentChanged, this, &CBarView::SelectTab);
    connect(&timer_, &QTimer::timeout, panel_, &CBarPanelCtrl::Refresh);
    timer_.start(RefreshMs(file));
}

void CBarView::SelectTab(int tab) {
    if (tab < 0 || tab == selectedTab_) return;
    selectedTab_ = tab;
    panel_->SetGroups(tabs_->count(), tab);
    panel_->Layout();
}

CMinBarView::CMinBarView(kvr::CXFile* file, QWidget* parent)
    : QWidget(parent), panel_(new CBarPanelCtrl(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(panel_);
    panel_->SetGroups(1, 0);
    panel_->SetFile(file);
    connect(&timer_, &QTimer::timeout, panel_, &CBarPanelCtrl::Refresh);
    timer_.start(RefreshMs(file));
}

QWidget* CreateBarWindowView(kvr::CXFile* file) {
    const bool paged = file && kvr::ChannelsInUse(*file).size() > kvr::kBarCellsPerGroup;
    if (paged) return new CBarView(file);
    return new CMinBarView(file);
}
