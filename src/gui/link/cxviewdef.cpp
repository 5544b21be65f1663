#include "gui/link/cxviewdef.h"

#include <QApplication>
#include <string>

#include "core/datafile/program.h"
#include "core/link/display_defaults.h"
#include "gui/link/profile_values.h"
#include "gui/link/view_def_dlg.h"

namespace {

constexpr char kSection[] = "ViewSetting";
constexpr std::int64_t kMaxColor = 0x00FFFFFF;

std::string ColorKey(int i) { return "Color" + std::to_string(i + 1); }

}  // namespace

void CXViewDef::GetView(_tagViewDef* view) const {
    const _tagViewDef defaults;
    *view = defaults;
    view->xMode =
        static_cast<std::uint8_t>(ReadProfileNumber(kSection, "XMode", defaults.xMode, 0, 1));
    view->yMode =
        static_cast<std::uint8_t>(ReadProfileNumber(kSection, "YMode", defaults.yMode, 0, 1));
    const float low = ReadProfileFloat(kSection, "YLow", defaults.yLow);
    const float high = ReadProfileFloat(kSection, "YHigh", defaults.yHigh);
    if (low < high) {  // a kept empty range would be unusable
        view->yLow = low;
        view->yHigh = high;
    }
    view->gridCount1 = static_cast<std::uint8_t>(
        ReadProfileNumber(kSection, "GridCount1", defaults.gridCount1, 1, 100));
    view->gridCount2 = static_cast<std::uint8_t>(
        ReadProfileNumber(kSection, "GridCount2", defaults.gridCount2, 1, 100));
    view->gridColor = static_cast<std::uint32_t>(
        ReadProfileNumber(kSection, "GridColor", defaults.gridColor, 0, kMaxColor));
    view->backgroundColor = static_cast<std::uint32_t>(
        ReadProfileNumber(kSection, "BackgroundColor", defaults.backgroundColor, 0, kMaxColor));
    for (int i = 0; i < 8; ++i)
        view->curveColors[i] = static_cast<std::uint32_t>(ReadProfileNumber(
            kSection, ColorKey(i).c_str(), defaults.curveColors[i], 0, kMaxColor));
    view->realtimeInterval = static_cast<std::int32_t>(ReadProfileNumber(
        kSection, "RealtimeInterval", defaults.realtimeInterval, 1, kvr::kMaxRecordInterval));
}

int CXViewDef::ShowXWnd(Language language) {
    _tagViewDef view;
    GetView(&view);
    CViewDefDlg dialog(view, language, QApplication::activeWindow());
    return RunSettingsDialog(
        dialog, [&dialog] { return KeepView(dialog.View()); }, language);
}

bool CXViewDef::KeepView(const _tagViewDef& view) {
    bool kept = WriteProfileNumber(kSection, "XMode", view.xMode) &&
                WriteProfileNumber(kSection, "YMode", view.yMode) &&
                WriteProfileFloat(kSection, "YLow", view.yLow) &&
                WriteProfileFloat(kSection, "YHigh", view.yHigh) &&
                WriteProfileNumber(kSection, "GridCount1", view.gridCount1) &&
                WriteProfileNumber(kSection, "GridCount2", view.gridCount2) &&
                WriteProfileNumber(kSection, "GridColor", view.gridColor) &&
                WriteProfileNumber(kSection, "BackgroundColor", view.backgroundColor) &&
                WriteProfileNumber(kSection, "RealtimeInterval", view.realtimeInterval);
    for (int i = 0; i < 8 && kept; ++i)
        kept = WriteProfileNumber(kSection, ColorKey(i).c_str(), view.curveColors[i]);
    return kept;
}
