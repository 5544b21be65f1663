#include "core/analysis/export_table.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/analysis/table_workbook.h"
#include "core/datafile/channels.h"

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

// Decimals and notation of a channel's value format: "%.2f" or "%.1E".
void SetNotation(const std::string& format, ExportColumn& column) {
    const auto point = format.find('.');
    column.decimals = point == std::string::npos ? 0 : std::atoi(format.c_str() + point + 1);
    column.scientific = !format.empty() && (format.back() == 'E' || format.back() == 'e');
}

}  // namespace

const ExportTexts& TextsFor(Language language) {
    return language == Language::kEnglish ? kEnglish : kChinese;
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

std::vector<ExportColumn> ExportColumns(const CXFile& file, Language language) {
    const ExportTexts& texts = TextsFor(language);
    std::vector<ExportColumn> columns{{texts.numberColumn, ColumnType::kNumber},
                                      {texts.timeColumn, ColumnType::kText}};
    for (int c = 0; c < file.GetChannelCount() && c < kMaxChannels; ++c) {
        if (!IsChannelInUse(file, c)) continue;
        ExportColumn& column = columns.emplace_back();
        column.name = ExportColumnName(file.GetChannelName(c), file.GetChannelUnit(c));
        column.channel = c;
        SetNotation(file.GetValueFormat(c), column);
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
                                Language language) {
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

namespace {

// Rows a run reads per channel: a few thousand, so a run's values stay in the cache.
constexpr std::int64_t kRunRows = 4096;

std::size_t ChannelColumns(const std::vector<ExportColumn>& columns) {
    return columns.size() < 2 ? 0 : columns.size() - 2;
}

}  // namespace

ExportRowReader::ExportRowReader(const CXFile& file, const std::vector<ExportColumn>& columns,
                                 const ExportPlan& plan)
    : file_(file), columns_(columns), plan_(plan) {
    values_.resize(static_cast<std::size_t>(kRunRows) * ChannelColumns(columns));
    answered_.resize(values_.size());
}

void ExportRowReader::ReadRun(std::int64_t number) {
    runFirst_ = number;
    runRows_ = std::clamp<std::int64_t>(plan_.rowCount - number + 1, 1, kRunRows);
    const Time first = plan_.start + (number - 1) * plan_.step;
    for (std::size_t i = 0; i < ChannelColumns(columns_); ++i) {
        const std::size_t at = i * kRunRows;
        file_.ReadValues(columns_[i + 2].channel, first, plan_.step, static_cast<int>(runRows_),
                         values_.data() + at, answered_.data() + at);
    }
}

void ExportRowReader::Build(std::int64_t number, ExportRow& row) {
    if (runFirst_ == 0 || number < runFirst_ || number >= runFirst_ + runRows_) ReadRun(number);
    row.number = number;
    row.time = plan_.start + (number - 1) * plan_.step;
    row.values.resize(ChannelColumns(columns_));
    const auto inRun = static_cast<std::size_t>(number - runFirst_);
    for (std::size_t i = 0; i < row.values.size(); ++i) {
        const std::size_t at = i * kRunRows + inRun;
        const float value = values_[at];
        if (!answered_[at])
            row.values[i].reset();
        else  // an infinite or undefined value is written as zero
            row.values[i] = std::isfinite(value) ? static_cast<double>(value) : 0.0;
    }
}

}  // namespace kvr
