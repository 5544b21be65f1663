#include "gui/charts/chart_text.h"

#include <QFontMetrics>
#include <array>
#include <cstdio>

#include "core/datafile/cxfile.h"

const QColor kChartRed(255, 0, 0);
const QColor kChartGreen(0, 255, 0);

namespace {
// Configuration bytes: flow-total unit, heat-total unit, heat computed at all.
constexpr int kFlowTotalUnitByte = 0x3B6;
constexpr int kHeatTotalUnitByte = 0x3F7;
constexpr int kHeatEnabledByte = 0x3F1;

// The order differs from the flow-rate units at entries 3 and 4.
constexpr std::array<const char*, 8> kFlowTotalUnits = {"kg", "t",   "Nm3", "kNm3",
                                                        "m3", "km3", "",    ""};
constexpr std::array<const char*, 8> kHeatTotalUnits = {"kJ", "MJ", "GJ", "kWh", "", "", "", ""};

template <std::size_t N>
QString UnitAt(const std::array<const char*, N>& table, std::uint8_t code) {
    return code < table.size() ? QString::fromLatin1(table[code]) : QString();
}
}  // namespace

QString FormatChannelValue(const kvr::CXFile& file, int c, double value) {
    const std::string format = file.GetValueFormat(c);
    if (format.empty()) return QStringLiteral("----");
    char text[64];
    std::snprintf(text, sizeof text, format.c_str(), value);
    return QString::fromLatin1(text);
}

QString ChannelTitle(const kvr::CXFile& file, int c) {
    return QString::fromStdString(file.GetChannelName(c)) + QStringLiteral("    ") +
           QString::fromStdString(file.GetChannelUnit(c));
}

QString FlowTotalUnit(const kvr::CXFile& file) {
    return UnitAt(kFlowTotalUnits, file.Header().config[kFlowTotalUnitByte]);
}

QString HeatTotalUnit(const kvr::CXFile& file) {
    return UnitAt(kHeatTotalUnits, file.Header().config[kHeatTotalUnitByte]);
}

bool HasHeatTotal(const kvr::CXFile& file) { return file.Header().config[kHeatEnabledByte] != 0; }

bool NewestValue(const kvr::CXFile& file, int c, float* value) {
    float percent = 0.0f;
    *value = 0.0f;
    return file.GetValue(c, file.GetEndTime(), value, &percent) != 0;
}

QFont ChartFont(int pixelHeight, int weight) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(std::max(pixelHeight, 1));
    font.setWeight(static_cast<QFont::Weight>(weight));
    return font;
}

QFont FittedChartFont(const QString& text, int pixelHeight, int width, int weight) {
    QFont font = ChartFont(pixelHeight, weight);
    for (int size = font.pixelSize(); size > kMinChartFont; --size) {
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) return font;
    }
    font.setPixelSize(std::min(font.pixelSize(), kMinChartFont));
    return font;
}
