#include "gui/common/command_target.h"

#include <array>

#include "gui/common/view_host.h"

namespace {

std::array<QString, 6> statusTexts;
CircleChartSink circleChartSink = nullptr;

}  // namespace

void SetStatusText(int pane, const QString& text) {
    if (pane < 0 || pane >= static_cast<int>(statusTexts.size())) return;
    statusTexts[static_cast<std::size_t>(pane)] = text;
    if (ViewHost* host = ViewHost::Instance()) host->SetStatusText(pane, text);
}

QString StatusText(int pane) {
    if (pane < 0 || pane >= static_cast<int>(statusTexts.size())) return {};
    return statusTexts[static_cast<std::size_t>(pane)];
}

void SetCircleChartItems(const QStringList& channelNames) {
    if (circleChartSink) circleChartSink(channelNames);
}

void SetCircleChartSink(CircleChartSink sink) { circleChartSink = sink; }
