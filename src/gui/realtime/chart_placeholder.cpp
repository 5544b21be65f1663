#include "gui/realtime/chart_placeholder.h"

#include <QLabel>
#include <QVBoxLayout>

CChartPlaceholder::CChartPlaceholder(Kind kind, QWidget* parent) : QWidget(parent), kind_(kind) {
    auto* label = new QLabel(Message(), this);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
}

QString CChartPlaceholder::TitleOf(Kind kind) {
    return kind == Kind::Bar ? QStringLiteral("实时棒图") : QStringLiteral("实时圆图");
}

QString CChartPlaceholder::Message() const {
    return kind_ == Kind::Bar ? QStringLiteral("此窗口将以棒图显示各通道的实时数值。")
                              : QStringLiteral("此窗口将以圆盘仪表按组显示各通道的实时数值。");
}
