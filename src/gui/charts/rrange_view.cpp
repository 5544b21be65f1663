#include "gui/charts/rrange_view.h"

#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/range_dial_ctrl.h"

CRRangeView::CRRangeView(kvr::CXFile* file, QWidget* parent)
    : QWidget(parent), tabs_(new QTabBar(this)), dial_(new CRangeDialCtrl(this)) {
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
}

void CRRangeView::SelectTab(int tab) {
    if (tab < 0 || tab == selectedTab_) return;
    selectedTab_ = tab;
    dial_->SetGroups(tabs_->count(), tab);
    dial_->Layout();
}
