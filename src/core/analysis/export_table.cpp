#include "core/analysis/export_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/analysis/channel_text.h"

namespace kvr {

namespace {

constexpr ExportTexts kChinese = {
    "时间范围：",
    "提示...",
    "请确认 开始时间 < 结束时间！",
    "开始时间超出范围！",
    "结束时间超出范围！",
    "间隔必须是不小于 1 的整数！",
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
    "Fail!",
    "Writing the file failed (the disk may be full); the incomplete file was deleted!",
    "OK!",
    "[No]",
    "[Time]",
};

// The channel format is "%.<d>f" or "%.<d>E".
void ReadFormat(const std::string& format, ExportColumn& column) {
    column.scientific = !format.empty() && (format.back() == 'E' || format.back() == 'e');
    const std::size_t dot = format.find('.');
    column.decimals = dot == std::string::npos ? 2 : std::atoi(format.c_str() + dot + 1);
}

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
    std::vector<ExportColumn> columns{{texts.numberColumn}, {texts.timeColumn}};
    for (int c = 0; c < file.GetChannelCount() && c < kMaxChannels; ++c) {
        if (!IsChannelInUse(file, c)) continue;
        ExportColumn column{ExportColumnName(file.GetChannelName(c), file.GetChannelUnit(c)), c};
        ReadFormat(file.GetValueFormat(c), column);
        columns.push_back(std::move(column));
    }
    return columns;
}

ExportPlanResult MakeExportPlan(const CXFile& file, Time start, Time end, std::int64_t every,
                                ExportLanguage language) {
    const ExportTexts& texts = TextsFor(language);
    if (start > end) return {std::nullopt, texts.startAfterEnd};
    if (start < file.GetStartTime()) return {std::nullopt, texts.startBeforeFile};
    if (end > file.GetEndTime()) return {std::nullopt, texts.endAfterFile};
    if (every < 1) return {std::nullopt, texts.badInterval};
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
    row.time = plan.start + (number - 1) * plan.step;
    row.values.resize(columns.size() > 2 ? columns.size() - 2 : 0);
    for (std::size_t i = 2; i < columns.size(); ++i) {
        const ExportColumn& column = columns[i];
        ExportValue& cell = row.values[i - 2];
        float value = 0.0f;
        cell.present = file.GetValue(column.channel, row.time, &value, nullptr) != 0;
        if (!cell.present) continue;
        // An infinite or undefined value is written as zero in the channel's format.
        const double number = std::isfinite(value) ? static_cast<double>(value) : 0.0;
        // Read back from the text so that a workbook cell holds exactly what a CSV file or
        // the list shows, ties included.
        cell.number = std::strtod(FormatExportValue(column, number).c_str(), nullptr);
    }
}

std::string FormatExportValue(const ExportColumn& column, double value) {
    char text[64];
    std::snprintf(text, sizeof text, column.scientific ? "%.*E" : "%.*f", column.decimals, value);
    return text;
}

std::string ExportNumberFormat(const ExportColumn& column) {
    std::string format = "0";
    if (column.decimals > 0) format += "." + std::string(static_cast<std::size_t>(column.decimals), '0');
    if (column.scientific) format += "E+00";
    return format;
}

}  // namespace kvr
