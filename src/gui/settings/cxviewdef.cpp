#include "gui/settings/cxviewdef.h"

#include <QApplication>
#include <string>

#include "core/settings/display_defaults.h"
#include "core/settings/profile.h"
#include "gui/settings/settings_dialog.h"
#include "gui/settings/view_def_dlg.h"

namespace {

constexpr char kSection[] = "ViewSetting";
constexpr std::int64_t kMaxColor = 0x00FFFFFF;

std::string ColorKey(int i) { return "Color" + std::to_string(i + 1); }

}  // namespace

void CXViewDef::GetView(kvr::ViewDef* view) const {
    const kvr::ViewDef defaults;
    *view = defaults;
    view->xMode =
        static_cast<std::uint8_t>(kvr::ReadProfileNumber(kSection, "XMode", defaults.xMode, 0, 1));
    view->yMode =
        static_cast<std::uint8_t>(kvr::ReadProfileNumber(kSection, "YMode", defaults.yMode, 0, 1));
    const float low = kvr::ReadProfileFloat(kSection, "YLow", defaults.yLow);
    const float high = kvr::ReadProfileFloat(kSection, "YHigh", defaults.yHigh);
    if (low < high) {  // a kept empty range would be unusable
        view->yLow = low;
        view->yHigh = high;
    }
    view->gridCount1 = static_cast<std::uint8_t>(
        kvr::ReadProfileNumber(kSection, "GridCount1", defaults.gridCount1, 1, 100));
    view->gridCount2 = static_cast<std::uint8_t>(
        kvr::ReadProfileNumber(kSection, "GridCount2", defaults.gridCount2, 1, 100));
    view->gridColor = static_cast<std::uint32_t>(
        kvr::ReadProfileNumber(kSection, "GridColor", defaults.gridColor, 0, kMaxColor));
    view->backgroundColor = static_cast<std::uint32_t>(kvr::ReadProfileNumber(
        kSection, "BackgroundColor", defaults.backgroundColor, 0, kMaxColor));
    for (int i = 0; i < 8; ++i)
        view->curveColors[i] = static_cast<std::uint32_t>(kvr::ReadProfileNumber(
            kSection, ColorKey(i).c_str(), defaults.curveColors[i], 0, kMaxColor));
    view->realtimeInterval = static_cast<std::int32_t>(kvr::ReadProfileNumber(
        kSection, "RealtimeInterval", defaults.realtimeInterval, 1, kvr::kMaxRecordInterval));
}

int CXViewDef::ShowXWnd(Language language) {
    kvr::ViewDef view;
    GetView(&view);
    CViewDefDlg dialog(view, language, QApplication::activeWindow());
    return RunSettingsDialog(
        dialog, [&dialog] { return KeepView(dialog.View()); }, language);
}

bool CXViewDef::KeepView(const kvr::ViewDef& view) {
    bool kept = kvr::WriteProfileNumber(kSection, "XMode", view.xMode) &&
                kvr::WriteProfileNumber(kSection, "YMode", view.yMode) &&
                kvr::WriteProfileFloat(kSection, "YLow", view.yLow) &&
                kvr::WriteProfileFloat(kSection, "YHigh", view.yHigh) &&
                kvr::WriteProfileNumber(kSection, "GridCount1", view.gridCount1) &&
                kvr::WriteProfileNumber(kSection, "GridCount2", view.gridCount2) &&
                kvr::WriteProfileNumber(kSection, "GridColor", view.gridColor) &&
                kvr::WriteProfileNumber(kSection, "BackgroundColor", view.backgroundColor) &&
                kvr::WriteProfileNumber(kSection, "RealtimeInterval", view.realtimeInterval);
    for (int i = 0; i < 8 && kept; ++i)
        kept = kvr::WriteProfileNumber(kSection, ColorKey(i).c_str(), view.curveColors[i]);
    return kept;
}
