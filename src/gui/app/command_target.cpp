#include "gui/app/command_target.h"

#include <array>

namespace {

std::array<QString, 6> statusTexts;
StatusSink statusSink = nullptr;
CircleChartSink circleChartSink = nullptr;

}  // namespace

void SetStatusText(int pane, const QString& text) {
    if (pane < 0 || pane >= static_cast<int>(statusTexts.size())) return;
    statusTexts[static_cast<std::size_t>(pane)] = text;
    if (statusSink) statusSink(pane, text);
}

QString StatusText(int pane) {
    if (pane < 0 || pane >= static_cast<int>(statusTexts.size())) return {};
    return statusTexts[static_cast<std::size_t>(pane)];
}

void SetStatusSink(StatusSink sink) { statusSink = sink; }

void SetCircleChartItems(const QStringList& channelNames) {
    if (circleChartSink) circleChartSink(channelNames);
}

void SetCircleChartSink(CircleChartSink sink) { circleChartSink = sink; }
