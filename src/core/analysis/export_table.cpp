#include "core/analysis/export_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/analysis/table_workbook.h"
#include "core/view/channel_text.h"

namespace kvr {

namespace {

constexpr ExportTexts kChinese = {
    "时间范围：",
    "提示...",
    "请确认 开始时间 < 结束时间！",
    "开始时间超出范围！",
    "结束时间超出范围！",
    "间隔必须是不小于 1 的整数！",
    "间隔不能大于文件的记录数！",
    kTargetIsSource,
    kTargetIsFolder,
    "建立文件失败，可能缺少Excel驱动！",
    "写入文件失败（磁盘可能已满），未完成的文件已删除！",
    "输出完成！",
    "[编号]",
    "[时间]",
};

constexpr ExportTexts kEnglish = {
    "Time Range：",
    "Caption...",
    "Be sure start time less than end time !",
    "Out of Start Time",
    "Out of End Time!",
    "The interval must be a whole number not less than 1!",
    "The interval must not be larger than the file's record count!",
    "The data file itself cannot be the export target; choose another file name!",
    "The chosen target is a folder; enter a file name!",
    "Fail!",
    "Writing the file failed (the disk may be full); the incomplete file was deleted!",
    "OK!",
    "[No]",
    "[Time]",
};

}  // namespace

const ExportTexts& TextsFor(ExportLanguage language) {
    return language == ExportLanguage::English ? kEnglish : kChinese;
}

std::string ExportColumnName(const std::string& channelName, const std::string& unit) {
    std::string name = "[" + channelName;
    if (!unit.empty()) {
        std::string shownUnit = unit;
        for (std::size_t i = 0; i + 2 < shownUnit.size(); ++i) {
            if (shownUnit[i] == 'm' && shownUnit[i + 2] == '3') shownUnit[i + 1] = ' ';
        }
        name += "(" + shownUnit + ")";
    }
    name += "]";
    for (char& ch : name) {
        if (ch == '.') ch = ',';
    }
    return name;
}

std::vector<ExportColumn> ExportColumns(const CXFile& file, ExportLanguage language) {
    const ExportTexts& texts = TextsFor(language);
    std::vector<ExportColumn> columns{{texts.numberColumn, "SHORT", -1, {}},
                                      {texts.timeColumn, "TEXT", -1, {}}};
    for (int c = 0; c < file.GetChannelCount() && c < kMaxChannels; ++c) {
        if (!IsChannelInUse(file, c)) continue;
        columns.push_back({ExportColumnName(file.GetChannelName(c), file.GetChannelUnit(c)),
                           "SHORT", c, file.GetValueFormat(c)});
    }
    return columns;
}

std::pair<Time, Time> ExportRangeFor(const CXFile& file, Time selectionA, Time selectionB) {
    const Time first = std::min(selectionA, selectionB);
    const Time last = std::max(selectionA, selectionB);
    if (first != 0 && first != last && first >= file.GetStartTime() &&
        last <= file.GetSpanEndTime())
        return {first, last};
    return {file.GetStartTime(), file.GetSpanEndTime()};
}

ExportPlanResult MakeExportPlan(const CXFile& file, Time start, Time end, std::int64_t every,
                                ExportLanguage language) {
    const ExportTexts& texts = TextsFor(language);
    if (start > end) return {std::nullopt, texts.startAfterEnd};
    if (start < file.GetStartTime()) return {std::nullopt, texts.startBeforeFile};
    if (end > file.GetSpanEndTime()) return {std::nullopt, texts.endAfterFile};
    if (every < 1) return {std::nullopt, texts.badInterval};
    // Larger steps would pass the whole file at once; they would also overflow the step.
    if (every > std::max(file.GetRecordCount(), 1))
        return {std::nullopt, texts.intervalBeyondRecords};
    ExportPlan plan;
    plan.start = start;
    plan.end = end;
    // A file without an interval still advances, one second per row.
    plan.step = static_cast<Time>(file.GetInterval() > 0 ? file.GetInterval() : 1) * every;
    plan.rowCount = (end - start) / plan.step + 1;
    return {plan, {}};
}

void BuildExportRow(const CXFile& file, const std::vector<ExportColumn>& columns,
                    const ExportPlan& plan, std::int64_t number, ExportRow& row) {
    row.number = number;
    row.cells.resize(columns.size());
    const Time t = plan.start + (number - 1) * plan.step;
    row.cells[0] = std::to_string(number);
    row.cells[1] = FormatTime(t);
    for (std::size_t i = 2; i < columns.size(); ++i) {
        float value = 0.0f;
        if (file.GetValue(columns[i].channel, t, &value, nullptr) == 0) {
            row.cells[i] = kExportReadError;
            continue;
        }
        // An infinite or undefined value is written as zero in the channel's format.
        char text[64];
        std::snprintf(text, sizeof text, columns[i].format.c_str(),
                      std::isfinite(value) ? static_cast<double>(value) : 0.0);
        row.cells[i] = text;
    }
}

}  // namespace kvr
